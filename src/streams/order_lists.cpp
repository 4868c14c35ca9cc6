#include "streams/order_lists.h"

namespace ravlo {

std::optional<std::string> StreamIdOf(const std::string& item, const char* primary,
                                      const char* secondary) {
  std::size_t position = item.find(primary);
  if (position == std::string::npos) position = item.find(secondary);
  if (position == std::string::npos) return std::nullopt;
  return item.substr(position, 4);
}

std::string LanguageOf(const std::string& item) {
  const std::size_t dot = item.find(". ");
  if (dot == std::string::npos) return {};
  const std::size_t start = dot + 2;
  const std::size_t end = item.find(" (", start);
  return item.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool ToggleStream(Field& codes, Field& labels, const std::string& code, const std::string& label) {
  // Code and label are removed as a pair, so the two lists stay the same length even if two
  // streams ever produced the same label.
  bool found = false;
  for (int i = codes.ItemCount() - 1; i >= 0; --i) {
    if (codes.Item(i) != code) continue;
    found = true;
    codes.RemoveItem(i);
    labels.RemoveItem(i);
  }
  if (found) return false;
  codes.AddItem(code);
  labels.AddItem(label);
  return true;
}

void CheckAll(Field& list, bool checked) {
  for (int i = 0; i < list.ItemCount(); ++i) list.SetChecked(i, checked);
}

}  // namespace ravlo
