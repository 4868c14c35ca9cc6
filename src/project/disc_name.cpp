#include "project/disc_name.h"

#include <cctype>
#include <cstring>
#include <cstdio>

namespace ravlo {
namespace {

constexpr std::size_t kSector = 2048;
constexpr std::size_t kLongestStem = 64;

// The volume identifier of an ISO 9660 primary volume descriptor (sector 16), blanks trimmed;
// "" when the file holds none (a folder, a file of another kind).
std::string VolumeLabel(const std::string& path) {
  // C stdio rather than a stream: the Windows program links this too, and iostreams would
  // swell it.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return {};
  char descriptor[72] = {};
  const bool read = std::fseek(file, 16 * static_cast<long>(kSector), SEEK_SET) == 0 &&
                    std::fread(descriptor, 1, sizeof descriptor, file) == sizeof descriptor;
  std::fclose(file);
  if (!read || descriptor[0] != 1 || std::memcmp(descriptor + 1, "CD001", 5) != 0) return {};
  std::string label(descriptor + 40, 32);
  label.erase(label.find_last_not_of(' ') + 1);
  return label.find_first_not_of(' ') == std::string::npos ? std::string() : label;
}

}  // namespace

std::string FileNameStem(const std::string& name) {
  std::string stem;
  for (const char c : name) {
    if (stem.size() >= kLongestStem) break;
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || (c == '.' && !stem.empty());
    stem += plain && static_cast<unsigned char>(c) < 0x80 ? c : '_';
  }
  if (!stem.empty() && stem[0] == '-') stem[0] = '_';
  while (!stem.empty() && stem.back() == '.') stem.pop_back();
  return stem.find_first_not_of('_') == std::string::npos ? std::string("movie") : stem;
}

std::string DiscName(const std::string& ifoPath) {
  // The disc is what holds VIDEO_TS; an IFO elsewhere names its own folder.
  std::string root = ifoPath.substr(0, ifoPath.find_last_of('/') + 1);
  if (const std::size_t at = ifoPath.rfind("/VIDEO_TS/"); at != std::string::npos) root = ifoPath.substr(0, at);
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (const std::string label = VolumeLabel(root); !label.empty()) return FileNameStem(label);
  return FileNameStem(root.substr(root.find_last_of('/') + 1));
}

}  // namespace ravlo
