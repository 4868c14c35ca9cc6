#pragma once
// The little the program needs from the file system, one implementation per platform.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brimmer {

// Folder of the running program file, ending with the path separator.
std::string ProgramFolder();

// The path itself if it ends with the path separator, else the path followed by one.
std::string WithTrailingSeparator(const std::string& path);

// Length in bytes, read as a 64-bit value; nothing when the file cannot be measured.
std::optional<std::uint64_t> FileLength(const std::string& path);

// Names of the plain files in folder whose extension equals extension ("ac3"), compared
// without regard to case.
std::vector<std::string> FilesWithExtension(const std::string& folder,
                                            const std::string& extension);

// Adds text at the end of the file, creating it when missing; false when it cannot be written.
bool AppendToFile(const std::string& path, const std::string& text);

}  // namespace brimmer
