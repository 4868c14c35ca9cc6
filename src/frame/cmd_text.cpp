#include "frame/cmd_text.h"

namespace ravlo {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string Describe(unsigned char c) {
  if (c == '\r' || c == '\n') return "a line break";
  if (c == '\t') return "a tab";
  char code[8];
  static const char kHex[] = "0123456789ABCDEF";
  code[0] = '0';
  code[1] = 'x';
  code[2] = kHex[c >> 4];
  code[3] = kHex[c & 15];
  code[4] = '\0';
  return std::string("the control character ") + code;
}

}  // namespace

std::optional<std::string> TextProblem(std::string_view text) {
  for (const char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) return "it holds " + Describe(c);
  }
  return std::nullopt;
}

std::optional<std::string> PathProblem(std::string_view path, std::size_t maxLength) {
  if (auto problem = TextProblem(path)) return problem;
  for (const char c : path) {
    if (c == '?' || c == '*') {
      return std::string("it holds \"") + c +
             "\": a character outside the system's ANSI code page, which the batch and the "
             "tools cannot pass on";
    }
    if (c == '"') return "it holds a quotation mark";
  }
  if (path.size() > maxLength) {
    return "it is " + std::to_string(path.size()) + " characters long; Windows programs take " +
           std::to_string(maxLength) + " at most";
  }
  return std::nullopt;
}

std::string BatchQuoted(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '%') out += '%';
    out += c;
  }
  return out;
}

std::string BatchBare(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '%') out += '%';
    if (c == '&' || c == '|' || c == '<' || c == '>' || c == '^') out += '^';
    out += c;
  }
  return out;
}

}  // namespace ravlo
