#include "planning/bitrate_calculator.h"

#include <cmath>
#include <optional>
#include <string>

#include "common/numbers.h"
#include "planning/time_of_day.h"

namespace ravlo {
namespace {

constexpr double kBytesPerMB = 1048576.0;
constexpr double kBitsPerByte = 8.0;
constexpr double kBitsPerKbit = 1000.0;
constexpr double kPalFrameRate = 25.0;
// Film rate: NTSC discs are mostly 3:2-pulled-down film, and the encoder sees 23.976.
constexpr double kNtscFrameRate = 23.976;

// "Length:", then one separating character, then hh:mm:ss.
constexpr char kLengthMarker[] = "Length:";
constexpr std::size_t kLengthOffset = 8;
constexpr std::size_t kLengthTextSize = 8;

// The length text of a program-chain entry: eight characters after "Length:" and its blank.
// Without the marker the same offset counts from the start of the entry.
std::string LengthTextOf(const std::string& entry) {
  const std::size_t found = entry.find(kLengthMarker);
  const std::size_t position = (found == std::string::npos ? 0 : found + 1) + kLengthOffset;
  const std::size_t index = position - 1;
  return index < entry.size() ? entry.substr(index, kLengthTextSize) : std::string();
}

std::string TextOf(const std::optional<std::int32_t>& value) {
  return value ? FormatNumber(*value) : std::string();
}

// A result out of 32-bit range skips the step: the field keeps what it had.
void SetRounded(Field& field, double value) {
  if (const auto rounded = RoundToInt32(value)) field.SetText(FormatNumber(*rounded));
}

}  // namespace

// Every step stands alone: a text that is not a number, a division by zero or a result out of
// 32-bit range skips that step only, so the user always sees as much as can be computed.
void RecalculateBitrates(AppState& app) {
  ProjectSettings& s = app.settings;

  // Length of the selected chain, read as a time of day (24 hours or more is none).
  const std::optional<int> seconds = SecondsOfTimeOfDay(LengthTextOf(s.cmbPGC.Text()));
  s.txtSec.SetText(seconds ? FormatNumber(*seconds) : std::string());

  // The later steps read the seconds back from the field, as the user sees them.
  const std::optional<double> shownSeconds = ParseNumber(s.txtSec.Text());
  if (shownSeconds) SetRounded(s.txtMin, *shownSeconds / 60);
  if (shownSeconds && s.optPAL.IsSet()) {
    SetRounded(s.txtFra, *shownSeconds * kPalFrameRate);
  } else if (shownSeconds && s.optNTSC.IsSet()) {
    SetRounded(s.txtFra, *shownSeconds * kNtscFrameRate);
  }

  // An unreadable media size leaves the media bytes empty, which counts as 0 below.
  std::optional<double> mediaBytes;
  if (const auto megabytes = ParseNumber(s.cmbMS.Text())) mediaBytes = *megabytes * kBytesPerMB;

  std::optional<double> videoRate;
  const std::optional<double> quality = ParseNumber(s.cmbAudQual.Text());
  if (shownSeconds && *shownSeconds != 0 && quality) {
    const double rate = mediaBytes.value_or(0) * kBitsPerByte / kBitsPerKbit / *shownSeconds -
                        *quality * s.lstAO_code.ItemCount();
    if (std::isfinite(rate)) videoRate = rate;
  }
  // An empty rate rounds as 0: with no length the user sees 0, not a stale value.
  s.txtVB.SetText(TextOf(RoundToInt32(videoRate.value_or(0))));
  s.txtAB.SetText(s.cmbAudQual.Text());
}

}  // namespace ravlo
