#include "standin_io.h"

#include <windows.h>

#include <cstdio>

namespace standin {

void LogCall(std::string_view tool, std::string_view argumentText) {
  std::FILE* log = std::fopen("standin-calls.txt", "ab");
  if (log == nullptr) return;
  std::fprintf(log, "%.*s %.*s\r\n", static_cast<int>(tool.size()), tool.data(),
               static_cast<int>(argumentText.size()), argumentText.data());
  std::fclose(log);
}

std::string ArgumentText() {
  std::string_view line = GetCommandLineA();
  std::size_t pos = 0;
  if (!line.empty() && line[0] == '"') {
    const std::size_t close = line.find('"', 1);
    pos = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
  }
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  return std::string(line.substr(pos));
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string content;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  std::fclose(file);
  return content;
}

bool WriteWholeFile(const std::string& path, std::string_view content) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  return std::fclose(file) == 0 && written;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FillerBytes(std::size_t length, std::uint32_t seed) {
  std::string bytes(length, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;  // a plain LCG: repeatable, no library needed
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::optional<std::string> Between(std::string_view text, std::string_view open,
                                   std::string_view close) {
  const std::size_t start = text.find(open);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t from = start + open.size();
  const std::size_t end = text.find(close, from);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(text.substr(from, end - from));
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    pos = end + 1;
  }
  return lines;
}

}  // namespace standin
