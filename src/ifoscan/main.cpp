// ifoscan IFO REPORT: writes the analysis report of a DVD title set IFO (VTS_nn_0.IFO).
// On any problem with the IFO no report is written, the reason goes to stderr and the exit
// code is non-zero, so a stale or partial report can never be read as the answer.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ifo_file.h"
#include "ifo_parser.h"
#include "report_writer.h"

namespace {

bool WriteWholeFile(const char* path, const std::string& text) {
  // A fresh file rather than a truncated one: on Linux file systems truncating a file with
  // data forces that data to disk on close, which costs more than the whole analysis.
  // Only a regular file is removed: the report path may also be a device such as /dev/null.
  std::error_code ignored;
  if (std::filesystem::is_regular_file(path, ignored)) std::filesystem::remove(path, ignored);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ifoscan IFO REPORT\n");
    return 2;
  }
  const char* ifoPath = argv[1];
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
  if (!WriteWholeFile(reportPath, report)) {
    std::fprintf(stderr, "ifoscan: %s: cannot write the report\n", reportPath);
    return 3;
  }
  return 0;
}
