#pragma once
// The two forms of a path on the Linux road. The record keeps Windows-style paths ("\"
// between the parts), as every handler and writer expects them; the POSIX side of the program
// turns them into native ones ("/") where they meet the system or a shell script.

#include <string>

namespace ravlo {

// "\a\b" -> "/a/b" and back.
std::string NativePath(const std::string& recordPath);
std::string RecordPath(const std::string& nativePath);

}  // namespace ravlo
