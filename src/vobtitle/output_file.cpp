#include "output_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vobtitle {
namespace {

std::string Reason() { return std::string(" (") + std::strerror(errno) + ")"; }

#ifndef _WIN32
// The file a path stands for: a symbolic link's final target, a relative target taken from
// the link's folder. A path that is no link (or does not exist) stands for itself.
std::string FinalTarget(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {  // the system's own limit on links in a row
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4095) + 1, '\0');
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return path;
    target.resize(static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    path = target.front() == '/' || slash == std::string::npos ? target
                                                                : path.substr(0, slash + 1) + target;
  }
  return path;
}

// Whether the path exists and is something other than a regular file (FIFO, device, socket).
bool IsSpecial(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}
#endif

}  // namespace

OutputFile::~OutputFile() {
  if (file_ && !toStdout_) {
    std::fclose(file_);
    if (!direct_) std::remove(temporary_.c_str());
  }
}

bool OutputFile::Open(const std::string& path, std::string& error) {
  path_ = path;
  if (path == "-") {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    file_ = stdout;
    toStdout_ = true;
    return true;
  }
#ifndef _WIN32
  path_ = FinalTarget(path);
  if (IsSpecial(path_)) {
    direct_ = true;
    temporary_ = path_;  // the name every message gives
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) {
      error = path_ + ": cannot open for writing" + Reason();
      return false;
    }
    return true;
  }
#endif
  temporary_ = path_ + ".part";
  file_ = std::fopen(temporary_.c_str(), "wb");
  if (!file_) {
    error = temporary_ + ": cannot create" + Reason();
    return false;
  }
  return true;
}

bool OutputFile::Write(const void* data, std::size_t size, std::string& error) {
  if (std::fwrite(data, 1, size, file_) != size) {
    error = (toStdout_ ? std::string("standard output") : temporary_) + ": cannot write" + Reason();
    return false;
  }
  written_ += size;
  return true;
}

bool OutputFile::Commit(std::string& error) {
  if (toStdout_) {
    if (std::fflush(stdout) != 0) {
      error = "standard output: cannot write" + Reason();
      return false;
    }
    return true;
  }
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) {
    error = temporary_ + ": cannot write" + Reason();
    if (!direct_) std::remove(temporary_.c_str());
    return false;
  }
  if (direct_) return true;
#ifdef _WIN32
  std::remove(path_.c_str());  // rename does not replace an existing file on Windows
#endif
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    error = path_ + ": cannot replace with " + temporary_ + Reason();
    std::remove(temporary_.c_str());
    return false;
  }
  return true;
}

}  // namespace vobtitle
