#include "frame/access_key.h"

namespace ravlo {

std::string CaptionWithKey(const std::string& caption, char key) {
  size_t keyAt = std::string::npos;
  for (size_t i = 0; key && i < caption.size() && keyAt == std::string::npos; ++i) {
    if (caption[i] == key && (i == 0 || caption[i - 1] == ' ')) keyAt = i;
  }
  if (key && keyAt == std::string::npos) keyAt = caption.find(key);
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (i == keyAt) shown += '&';
    if (caption[i] == '&') shown += '&';
    shown += caption[i];
  }
  return shown;
}

}  // namespace ravlo
