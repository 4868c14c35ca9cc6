#pragma once
// Path functions on Windows-style paths (backslash separated).

#include <string>

namespace ravlo {

// The path followed by "\", unless it already ends with one.
std::string AddBackslash(const std::string& path);
// The characters after the last "\" (the whole path when it has none).
std::string FileNameOf(const std::string& path);
// The characters up to and including the last "\" (empty when it has none).
std::string FolderOf(const std::string& path);

}  // namespace ravlo
