#pragma once
// A file written under a temporary name and renamed into place only when complete, so a
// failed run never leaves a partial or stale result; "-" writes to standard output. On POSIX
// systems a symbolic link is followed to its target, which is replaced and the link kept; a
// FIFO, a device or anything else that is not a regular file is written to directly, as any
// Unix tool does (replacing it would break whatever reads it, or the system itself).

#include <cstdint>
#include <cstdio>
#include <string>

namespace vobtitle {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // removes the temporary file unless Commit succeeded

  bool Open(const std::string& path, std::string& error);
  bool Write(const void* data, std::size_t size, std::string& error);
  std::uint64_t Position() const { return written_; }
  bool Commit(std::string& error);

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
  bool toStdout_ = false;
  bool direct_ = false;  // written in place: no temporary file, no rename
  std::uint64_t written_ = 0;
};

}  // namespace vobtitle
