// ifoscan IFO REPORT: writes the analysis report of a DVD title set IFO (VTS_nn_0.IFO).
// On any problem with the IFO no report is written, the reason goes to stderr and the exit
// code is non-zero, so a stale or partial report can never be read as the answer.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ifo_parser.h"
#include "report_writer.h"

namespace {

// Title set IFOs are a few hundred KB at most; anything far larger is not one.
constexpr std::size_t kMaxIfoSize = 64 * 1024 * 1024;

// Plain stdio rather than streams: the program starts, reads one small file and ends, so
// start-up cost is most of its run time.
bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    error = "cannot open";
    return false;
  }
  std::uint8_t chunk[64 * 1024];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (bytes.size() > kMaxIfoSize) {
      std::fclose(file);
      error = "is too large to be a title set IFO";
      return false;
    }
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) error = "cannot be read";
  return !failed;
}

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
  if (!ReadWholeFile(ifoPath, bytes, error)) {
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
