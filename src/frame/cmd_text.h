#pragma once
// Text that goes to the Windows command interpreter: what it can carry, and how to write it
// so that it arrives literally. cmd expands %NAME% everywhere (inside quotes too) and treats
// & | < > ^ outside quotes as its own; a path can hold all of these.

#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// The longest path Windows programs take: MAX_PATH less the terminating zero.
inline constexpr std::size_t kMaxPathChars = 259;

// Why a text cannot be carried in a line of a generated file or a command line: it holds a
// line break or another control character. Nothing when it can be.
std::optional<std::string> TextProblem(std::string_view text);

// Why a path cannot be carried: a control character; "?", "*" or a quotation mark (no Windows
// name holds them: the system puts "?" where a character has no place in the ANSI code page);
// or more than maxLength characters. Nothing when it can be.
std::optional<std::string> PathProblem(std::string_view path, std::size_t maxLength);

// For a batch file, inside quotation marks: every % doubled.
std::string BatchQuoted(std::string_view text);
// For a batch file, outside quotation marks: every % doubled, ^ before & | < > ^.
std::string BatchBare(std::string_view text);


}  // namespace ravlo
