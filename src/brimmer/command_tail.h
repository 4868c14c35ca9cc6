#pragma once
// The argument text of a Windows command line: what follows the program name.

#include <string_view>

namespace brimmer {

// Skips the program name (quoted, or up to the first blank) and the blanks after it.
// "\"C:\\My Projects\\brimmer.exe\" 699" -> "699".
std::string_view CommandTail(std::string_view commandLine);

}  // namespace brimmer
