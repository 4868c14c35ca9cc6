#include "brimmer/name_match.h"

namespace brimmer {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool HasExtension(std::string_view name, std::string_view extension) {
  if (name.size() < extension.size() + 1) return false;
  const std::size_t dot = name.size() - extension.size() - 1;
  if (name[dot] != '.') return false;
  for (std::size_t i = 0; i < extension.size(); ++i) {
    if (Lower(name[dot + 1 + i]) != Lower(extension[i])) return false;
  }
  return true;
}

}  // namespace brimmer
