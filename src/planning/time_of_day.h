#pragma once
// Reading a program-chain length ("01:40:00") as a time of day.

#include <optional>
#include <string_view>

namespace ravlo {

// Seconds since midnight of "h:mm:ss" or "h:mm" (one or two digits each, blanks around
// allowed). Nothing when the text is not a valid time of day: 24 hours or more, 60 minutes or
// seconds or more, missing or extra parts.
std::optional<int> SecondsOfTimeOfDay(std::string_view text);

}  // namespace ravlo
