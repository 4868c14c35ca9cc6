#pragma once
// Text that goes into a POSIX shell script, quoted so that the shell passes it on literally.

#include <string>
#include <string_view>

namespace ravlo {

// The text in single quotes, each single quote inside written as '\'' (end the quotes, an
// escaped quote, quotes again). The shell expands nothing inside single quotes: blanks, "$",
// backquotes, ";", "*" and double quotes all arrive as they are.
std::string ShellQuoted(std::string_view text);

}  // namespace ravlo
