#include "platform/path_form.h"

#include <algorithm>

namespace ravlo {
namespace {

std::string Replaced(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

}  // namespace

std::string NativePath(const std::string& recordPath) { return Replaced(recordPath, '\\', '/'); }
std::string RecordPath(const std::string& nativePath) { return Replaced(nativePath, '/', '\\'); }

}  // namespace ravlo
