#pragma once
// Reading an IFO file from disk into memory for the parser.

#include <cstdint>
#include <string>
#include <vector>

namespace ifoscan {

// Reads the whole file at path; on failure error says why ("cannot open", ...).
bool ReadIfoFile(const char* path, std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace ifoscan
