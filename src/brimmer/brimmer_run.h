#pragma once
// The program's whole work: measure what the second pass must leave room for and append the
// remaining size to 2nd.reg. Each step runs on its own; one that fails is skipped.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimmer {

struct BrimmerOutcome {
  std::optional<std::int32_t> targetKB;
  std::uint64_t measuredBytes = 0;
  std::optional<std::int32_t> usedKB;
  std::optional<std::int32_t> desiredKB;
  bool lineAppended = false;
};

// Total length of movie.rar, movie.idx and every .ac3, .mp3 and .ogg file in folder;
// a file that cannot be measured counts as nothing.
std::uint64_t MeasuredBytes(const std::string& folder);

// folder ends with the path separator; mediaSizeText is the whole argument text (megabytes).
BrimmerOutcome RunBrimmer(const std::string& folder, std::string_view mediaSizeText);

}  // namespace brimmer
