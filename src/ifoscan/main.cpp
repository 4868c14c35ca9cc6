// ifoscan [--ifo-from VARIABLE] [--title-set N] [--choice FILE] PATH REPORT
//   writes the analysis report of a DVD title set. PATH is a title set's IFO (VTS_nn_0.IFO)
//   or, in the native build, a disc folder, an ISO image or a drive: then the title set of the
//   main feature (the longest chain), or title set N. --choice FILE gets two lines, the path
//   that names the chosen title set and its longest chain, for the planner to take.
// ifoscan [--title-set N] --list PATH
//   prints one line per chain of the disc (or of title set N), marking the episodes and the
//   main feature.
// ifoscan [--title-set N] --episodes PATH
//   prints the episodes of the main feature's title set (or of title set N) as chain numbers,
//   "1,2,3"; none is an error, with the reason.
// On any problem with the IFO no report is written, the reason goes to stderr and the exit
// code is non-zero, so a stale or partial report can never be read as the answer.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "disc_source.h"
#include "episodes.h"
#include "main_feature.h"
#include "report_writer.h"

namespace {

bool IsRegularFile(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// Every write is checked: a report cut short (a full disk) is removed, so the planner finds
// either the whole report or none, never a part it would take for the title.
bool WriteWholeFile(const char* path, const std::string& text, std::string& error) {
  // A fresh file rather than a truncated one: on Linux file systems truncating a file with
  // data forces that data to disk on close, which costs more than the whole analysis.
  // Only a regular file is removed: the report path may also be a device such as /dev/null.
  if (IsRegularFile(path)) std::remove(path);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  written = std::fflush(file) == 0 && written;
  if (!written) error = std::strerror(errno);
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = std::strerror(errno);
  }
  if (!written && IsRegularFile(path)) std::remove(path);
  return written;
}

constexpr char kUsage[] =
    "usage: ifoscan [--ifo-from VARIABLE] [--title-set N] [--choice FILE] PATH REPORT\n"
    "       ifoscan [--title-set N] --list PATH\n"
    "       ifoscan [--title-set N] --episodes PATH\n";

struct Request {
  const char* fromVariable = nullptr;
  int titleSet = 0;
  const char* choicePath = nullptr;
  bool list = false;
  bool episodes = false;
  std::vector<const char*> paths;
};

bool ParseArguments(int argc, char** argv, Request& request) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--ifo-from" && hasValue) {
      request.fromVariable = argv[++i];
    } else if (arg == "--choice" && hasValue) {
      request.choicePath = argv[++i];
    } else if (arg == "--title-set" && hasValue) {
      char* end = nullptr;
      const long number = std::strtol(argv[++i], &end, 10);
      if (*argv[i] == '\0' || *end != '\0' || number < 1 || number > 99) return false;
      request.titleSet = static_cast<int>(number);
    } else if (arg == "--list") {
      request.list = true;
    } else if (arg == "--episodes") {
      request.episodes = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      request.paths.push_back(argv[i]);
    }
  }
  if (request.list && request.episodes) return false;
  return request.paths.size() == (request.list || request.episodes ? 1u : 2u);
}

}  // namespace

int main(int argc, char** argv) {
  Request request;
  if (!ParseArguments(argc, argv, request)) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  // --ifo-from NAME: the path comes from that environment variable when it is set. A batch
  // file cannot hand every path on literally as an argument (cmd expands %NAME%).
  const char* fromEnvironment = request.fromVariable ? std::getenv(request.fromVariable) : nullptr;
  const char* path = fromEnvironment && *fromEnvironment ? fromEnvironment : request.paths[0];

  const ifoscan::OpenedSource opened = ifoscan::OpenSource(path);
  if (!opened.source) {
    std::fprintf(stderr, "ifoscan: %s: %s\n", path, opened.error.c_str());
    return 1;
  }
  const ifoscan::DiscContents disc =
      ifoscan::ReadDisc(*opened.source, request.titleSet ? request.titleSet : opened.titleSet);
  if (!disc.error.empty()) {
    std::fprintf(stderr, "ifoscan: %s: %s\n", path, disc.error.c_str());
    return 1;
  }
  for (const std::string& skipped : disc.skipped) std::fprintf(stderr, "ifoscan: %s: %s\n", path, skipped.c_str());
  const ifoscan::ChainChoice main = ifoscan::MainFeature(disc.sets);
  if (request.list) {
    std::fputs(ifoscan::FormatChainList(disc.sets, main).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 3;
  }
  if (request.episodes) {
    const ifoscan::DiscTitleSet& set = disc.sets[main.set];
    const std::vector<int> episodes = ifoscan::Episodes(set.titleSet);
    if (episodes.empty()) {
      std::fprintf(stderr, "ifoscan: %s: title set %d has no episodes: %s\n", path, set.number,
                   ifoscan::WhyNoEpisodes(set.titleSet).c_str());
      return 1;
    }
    std::string line;
    for (int chain : episodes) line += (line.empty() ? "" : ",") + std::to_string(chain);
    std::printf("%s\n", line.c_str());
    return std::fflush(stdout) == 0 ? 0 : 3;
  }

  // The choice goes first: the report is what tells the planner that the analysis succeeded.
  const char* reportPath = request.paths[1];
  const ifoscan::DiscTitleSet& chosen = disc.sets[main.set];
  // An encrypted title is refused now, not after the planning: nothing here decrypts it.
  if (main.chain <= static_cast<int>(chosen.titleSet.chains.size())) {
    const std::string encrypted =
        ifoscan::EncryptionProblem(*opened.source, chosen.number, chosen.titleSet.chains[main.chain - 1]);
    if (!encrypted.empty()) {
      std::fprintf(stderr, "ifoscan: %s: %s\n", path, encrypted.c_str());
      return 1;
    }
  }
  std::string error;
  if (request.choicePath) {
    const std::string choice =
        opened.source->TitleSetPath(chosen.number) + "\n" + std::to_string(main.chain) + "\n";
    if (!WriteWholeFile(request.choicePath, choice, error)) {
      std::fprintf(stderr, "ifoscan: %s: cannot write the choice: %s\n", request.choicePath, error.c_str());
      return 3;
    }
  }
  const std::string report = ifoscan::FormatReport(chosen.titleSet);
  if (!WriteWholeFile(reportPath, report, error)) {
    std::fprintf(stderr, "ifoscan: %s: cannot write the report: %s\n", reportPath, error.c_str());
    if (request.choicePath && IsRegularFile(request.choicePath)) std::remove(request.choicePath);
    return 3;
  }
  return 0;
}
