#pragma once
// The VOB files of a title set (VTS_nn_1.VOB ... VTS_nn_9.VOB) as one address space of
// 2048-byte sectors, as the cell tables count them. Files are read through fixed buffers;
// nothing is ever held whole in memory.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "disc_source.h"

namespace ifoscan {

class VobSet : public TitleVobs {
 public:
  VobSet() = default;
  VobSet(const VobSet&) = delete;
  VobSet& operator=(const VobSet&) = delete;
  ~VobSet() override;

  // Opens the VOB files that belong to the title set IFO at ifoPath (VTS_nn_0.IFO or .BUP),
  // from _1 up to the first number that does not exist. Returns why not, or "".
  std::string Open(const std::string& ifoPath);

  // "" when every sector of range lies in the files; otherwise which file is missing or short.
  std::string CheckRange(SectorRange range) const override;

  // Reads count sectors from sector on, crossing from one file into the next as needed.
  bool Read(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, std::string& error) override;

 private:
  struct Part {
    std::string path;
    std::FILE* file = nullptr;
    std::uint64_t firstSector = 0;
    std::uint64_t sectors = 0;
    std::uint64_t position = ~std::uint64_t{0};  // byte offset the next read starts at
  };
  std::string VobPath(int number) const;

  std::string stem_;       // the IFO path up to the file number: ".../VTS_01_"
  std::string extension_;  // ".VOB" or ".vob", following the IFO name's case
  std::vector<Part> parts_;
};

}  // namespace ifoscan
