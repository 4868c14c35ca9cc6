// ifoscan [--ifo-from VARIABLE] IFO REPORT: writes the analysis report of a DVD title set IFO (VTS_nn_0.IFO).
// On any problem with the IFO no report is written, the reason goes to stderr and the exit
// code is non-zero, so a stale or partial report can never be read as the answer.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ifo_file.h"
#include "ifo_parser.h"
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

}  // namespace

int main(int argc, char** argv) {
  // --ifo-from NAME: the IFO path comes from that environment variable when it is set. A
  // batch file cannot hand every path on literally as an argument (cmd expands %NAME%).
  const char* fromVariable = nullptr;
  if (argc == 5 && std::strcmp(argv[1], "--ifo-from") == 0) {
    fromVariable = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: ifoscan [--ifo-from VARIABLE] IFO REPORT\n");
    return 2;
  }
  const char* fromEnvironment = fromVariable ? std::getenv(fromVariable) : nullptr;
  const char* ifoPath = fromEnvironment && *fromEnvironment ? fromEnvironment : argv[1];
  const char* reportPath = argv[2];

  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!ifoscan::ReadIfoFile(ifoPath, bytes, error)) {
    std::fprintf(stderr, "ifoscan: %s: %s\n", ifoPath, error.c_str());
    return 1;
  }
  const ifoscan::ParseResult parsed = ifoscan::ParseTitleSetIfo(bytes);
  if (!parsed.ok) {
    std::fprintf(stderr, "ifoscan: %s: %s\n", ifoPath, parsed.error.c_str());
    return 1;
  }

  const std::string report = ifoscan::FormatReport(parsed.titleSet);
  if (!WriteWholeFile(reportPath, report, error)) {
    std::fprintf(stderr, "ifoscan: %s: cannot write the report: %s\n", reportPath, error.c_str());
    return 3;
  }
  return 0;
}
