// brimmer, native build.
//   brimmer SIZE...       the batch's step: the arguments joined by blanks stand for the
//                         Windows argument text; the program's own folder is measured.
//   brimmer --print SIZE [FILE...]
//                         the Linux road's step: measures the named result files (without
//                         names, the working folder's) and prints the second pass's size in
//                         KB on standard output.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "brimmer/brimmer_run.h"
#include "brimmer/folder_access.h"

namespace {

int PrintDesiredSize(const char* mediaSize, const std::vector<std::string>& files) {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) {
    std::fprintf(stderr, "brimmer: the working folder cannot be read: %s\n", std::strerror(errno));
    return 1;
  }
  const std::string folder = brimmer::WithTrailingSeparator(cwd);
  const brimmer::BrimmerOutcome outcome =
      files.empty() ? brimmer::ComputeDesiredSize(folder, mediaSize, brimmer::Measure::LinuxRoad)
                    : brimmer::ComputeDesiredSize(folder, mediaSize, files);
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
      std::fprintf(stderr, "usage: brimmer --print MEDIA_SIZE_MB [FILE...]\n");
      return 2;
    }
    return PrintDesiredSize(argv[2], std::vector<std::string>(argv + 3, argv + argc));
  }
  std::string argumentText;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argumentText += ' ';
    argumentText += argv[i];
  }
  return brimmer::RunBrimmer(brimmer::ProgramFolder(), argumentText).Ok() ? 0 : 1;
}
