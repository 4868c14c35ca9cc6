#include "planning/time_of_day.h"

#include <vector>

namespace ravlo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<int> SecondsOfTimeOfDay(std::string_view text) {
  text = TrimBlanks(text);
  std::vector<int> parts;
  std::size_t i = 0;
  while (true) {
    std::size_t digits = 0;
    int value = 0;
    while (i < text.size() && IsDigit(text[i]) && digits < 3) {
      value = value * 10 + (text[i] - '0');
      ++i, ++digits;
    }
    if (digits == 0 || digits > 2) return std::nullopt;
    parts.push_back(value);
    if (i == text.size()) break;
    if (text[i] != ':' || parts.size() == 3) return std::nullopt;
    ++i;
  }
  if (parts.size() < 2) return std::nullopt;
  const int hours = parts[0];
  const int minutes = parts[1];
  const int seconds = parts.size() == 3 ? parts[2] : 0;
  if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
  return hours * 3600 + minutes * 60 + seconds;
}

}  // namespace ravlo
