#pragma once
// The program's whole work: measure what the second pass must leave room for and hand the
// remaining size on. A size it cannot stand behind is refused: nothing is handed on, the
// reason goes where the user will look, and the exit code says so.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimmer {

// Which files take room on the medium beside the video.
enum class Measure {
  // What the Windows batch makes: movie.rar, movie.idx and every .ac3, .mp3 and .ogg file.
  WindowsBatch,
  // What the Linux road makes: the above, plus movie.sub and kept .wav originals.
  LinuxRoad,
};

struct BrimmerOutcome {
  std::optional<std::int32_t> targetKB;
  std::uint64_t measuredBytes = 0;
  std::optional<std::int32_t> usedKB;
  std::optional<std::int32_t> desiredKB;
  bool lineAppended = false;
  std::string refusal;  // why no size was handed on; empty when one was

  bool Ok() const { return refusal.empty(); }
};

// Total length of the files that `measure` counts in folder; a file that cannot be measured
// counts as nothing.
std::uint64_t MeasuredBytes(const std::string& folder, Measure measure = Measure::WindowsBatch);

// The size the second pass may use, or the reason there is none. folder ends with the path
// separator; mediaSizeText is the whole argument text (megabytes).
BrimmerOutcome ComputeDesiredSize(const std::string& folder, std::string_view mediaSizeText,
                                  Measure measure);

// The same for exactly the named result files of a plan, and no others; a file that cannot
// be measured is refused, naming it, as the plan made it and its room would go uncounted.
BrimmerOutcome ComputeDesiredSizeOf(const std::vector<std::string>& files,
                                    std::string_view mediaSizeText);

// The batch's step: computes the size and appends it to folder's 2nd.reg. A refusal appends
// nothing there and one line to folder's log.txt, the batch's own log.
BrimmerOutcome RunBrimmer(const std::string& folder, std::string_view mediaSizeText);

}  // namespace brimmer
