// Native side of the file access, so the program and its tests also run on Linux.
#include "brimmer/folder_access.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "brimmer/name_match.h"

namespace brimmer {

std::string ProgramFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return std::string();
  path.resize(static_cast<std::size_t>(length));
  return WithTrailingSeparator(path.substr(0, path.find_last_of('/')));
}

std::string WithTrailingSeparator(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + '/';
}

std::optional<std::uint64_t> FileLength(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::vector<std::string> FilesWithExtension(const std::string& folder,
                                            const std::string& extension) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    if (!HasExtension(entry->d_name, extension)) continue;
    struct stat info;
    const std::string path = folder + entry->d_name;
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) names.emplace_back(entry->d_name);
  }
  closedir(dir);
  return names;
}

bool AppendToFile(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace brimmer
