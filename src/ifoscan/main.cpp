// ifoscan IFO REPORT: writes the analysis report of a DVD title set IFO (VTS_nn_0.IFO).
// On any problem with the IFO no report is written, the reason goes to stderr and the exit
// code is non-zero, so a stale or partial report can never be read as the answer.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ifo_parser.h"
#include "report_writer.h"

namespace {

// Title set IFOs are a few hundred KB at most; anything far larger is not one.
constexpr std::streamoff kMaxIfoSize = 64 * 1024 * 1024;

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open";
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxIfoSize) {
    error = "is too large to be a title set IFO";
    return false;
  }
  in.seekg(0, std::ios::beg);
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    error = "cannot be read";
    return false;
  }
  return true;
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
  std::ofstream out(reportPath, std::ios::binary | std::ios::trunc);
  if (!out || !out.write(report.data(), static_cast<std::streamsize>(report.size())) || !out.flush()) {
    std::fprintf(stderr, "ifoscan: %s: cannot write the report\n", reportPath);
    return 3;
  }
  return 0;
}
