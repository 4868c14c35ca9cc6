#include "project/shell_quote.h"

namespace ravlo {

std::string ShellQuoted(std::string_view text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

}  // namespace ravlo
