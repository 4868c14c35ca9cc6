#pragma once
// Reads a title set IFO (VTS_nn_0.IFO) held in memory.

#include <string>

#include "byte_reader.h"
#include "title_set.h"

namespace ifoscan {

struct ParseResult {
  bool ok = false;
  TitleSet titleSet;
  std::string error;  // why the file was rejected, when !ok
};

ParseResult ParseTitleSetIfo(Bytes bytes);

}  // namespace ifoscan
