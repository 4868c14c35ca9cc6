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

// The number of title sets a disc's VIDEO_TS.IFO announces; -1 when the bytes are no video
// manager IFO.
int TitleSetCount(Bytes bytes);

}  // namespace ifoscan
