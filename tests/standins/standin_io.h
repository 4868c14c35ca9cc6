#pragma once
// Shared helpers of the stand-in tools. The stand-ins are test doubles: each one produces, in
// the working folder, the files the real outside tool would produce for the batch, with
// deterministic content and sizes, and nothing more.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Appends "<tool> <argument text>" to standin-calls.txt in the working folder, so a test can
// see which tools ran, in which order, with which arguments.
void LogCall(std::string_view tool, std::string_view argumentText);

// The argument text of this process (its command line without the program name).
std::string ArgumentText();

std::optional<std::string> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, std::string_view content);
bool FileExists(const std::string& path);

// Deterministic filler bytes: the same seed and length always give the same bytes.
std::string FillerBytes(std::size_t length, std::uint32_t seed);

// Text between "open" and the next "close" in text, e.g. "-OF=[" and "]".
std::optional<std::string> Between(std::string_view text, std::string_view open,
                                   std::string_view close);

// Lines of a text, CR LF or LF ended, without their line ends.
std::vector<std::string> Lines(std::string_view text);

}  // namespace standin
