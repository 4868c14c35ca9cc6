#include "ifo_file.h"

#include <cstdio>

namespace ifoscan {
namespace {

// Title set IFOs are a few hundred KB at most; anything far larger is not one.
constexpr std::size_t kMaxIfoSize = 64 * 1024 * 1024;

}  // namespace

// Plain stdio rather than streams: the programs start, read one small file and end, so
// start-up cost is most of their run time.
bool ReadIfoFile(const char* path, std::vector<std::uint8_t>& bytes, std::string& error) {
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

}  // namespace ifoscan
