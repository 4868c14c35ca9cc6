// brimmer, native build.
//   brimmer SIZE...       the batch's step: the arguments joined by blanks stand for the
//                         Windows argument text; the program's own folder is measured.
//   brimmer --print SIZE [--] [FILE...]
//                         the Linux road's step: prints the second pass's size in KB on
//                         standard output. With files named, or after "--", it measures exactly
//                         those (the plan's own results, maybe none); without, the result files
//                         of the working folder.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "brimmer/brimmer_run.h"
#include "brimmer/folder_access.h"

namespace {

brimmer::BrimmerOutcome MeasureWorkingFolder(const char* mediaSize) {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) {
    brimmer::BrimmerOutcome outcome;
    outcome.refusal = std::string("the working folder cannot be read: ") + std::strerror(errno);
    return outcome;
  }
  return brimmer::ComputeDesiredSize(brimmer::WithTrailingSeparator(cwd), mediaSize,
                                     brimmer::Measure::LinuxRoad);
}

// `named`: the files are the plan's whole list, even when it is empty (a plan of video only).
int PrintDesiredSize(const char* mediaSize, bool named, const std::vector<std::string>& files) {
  const brimmer::BrimmerOutcome outcome = named || !files.empty()
                                              ? brimmer::ComputeDesiredSizeOf(files, mediaSize)
                                              : MeasureWorkingFolder(mediaSize);
  if (!outcome.Ok()) {
    std::fprintf(stderr, "brimmer: %s\n", outcome.refusal.c_str());
    return 1;
  }
  std::printf("%ld\n", static_cast<long>(*outcome.desiredKB));
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--print") == 0) {
    if (argc < 3) {
      std::fprintf(stderr, "usage: brimmer --print MEDIA_SIZE_MB [--] [RESULT_FILE...]\n");
      return 2;
    }
    const bool named = argc >= 4 && std::strcmp(argv[3], "--") == 0;
    return PrintDesiredSize(argv[2], named, std::vector<std::string>(argv + 3 + named, argv + argc));
  }
  std::string argumentText;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argumentText += ' ';
    argumentText += argv[i];
  }
  return brimmer::RunBrimmer(brimmer::ProgramFolder(), argumentText).Ok() ? 0 : 1;
}
