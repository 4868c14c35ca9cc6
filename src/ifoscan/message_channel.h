#pragma once
// Messages between the programs and the child process that reads a disc for them (POSIX
// only): numbers, texts and byte blocks, over one end of a socket pair. A message is built
// whole, then sent in one go; the reader takes its parts in the order they were put.

#include <cstdint>
#include <string>
#include <vector>

namespace ifoscan {

class MessageChannel {
 public:
  explicit MessageChannel(int socket) : socket_(socket) {}

  void Put(std::uint64_t number);
  void Put(const std::string& text);
  void Put(const std::uint8_t* bytes, std::size_t size);
  // False when the other end is gone (never a SIGPIPE: the other end may have crashed).
  bool Send();

  // False when the other end is gone or ended in the middle of a message.
  bool Get(std::uint64_t& number);
  bool Get(std::string& text);
  bool Get(std::vector<std::uint8_t>& bytes);

  // False once a send or a read has failed.
  bool Good() const { return good_; }

 private:
  bool Receive(void* into, std::size_t size);

  int socket_;
  bool good_ = true;
  std::string out_;
};

}  // namespace ifoscan
