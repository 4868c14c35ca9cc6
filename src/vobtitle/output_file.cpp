#include "output_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace vobtitle {
namespace {

std::string Reason() { return std::string(" (") + std::strerror(errno) + ")"; }

}  // namespace

OutputFile::~OutputFile() {
  if (file_ && !toStdout_) {
    std::fclose(file_);
    std::remove(temporary_.c_str());
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
  temporary_ = path + ".part";
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
    std::remove(temporary_.c_str());
    return false;
  }
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
