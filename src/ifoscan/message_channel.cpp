#include "message_channel.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

namespace ifoscan {
namespace {

// A block larger than any title set IFO or read the programs make means a garbled message.
constexpr std::uint64_t kMaxBlock = 256 * 1024 * 1024;

}  // namespace

void MessageChannel::Put(std::uint64_t number) { out_.append(reinterpret_cast<const char*>(&number), sizeof number); }

void MessageChannel::Put(const std::string& text) {
  Put(std::uint64_t{text.size()});
  out_ += text;
}

void MessageChannel::Put(const std::uint8_t* bytes, std::size_t size) {
  Put(std::uint64_t{size});
  out_.append(reinterpret_cast<const char*>(bytes), size);
}

bool MessageChannel::Send() {
  std::size_t done = 0;
  while (good_ && done < out_.size()) {
    const ssize_t sent = send(socket_, out_.data() + done, out_.size() - done, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) break;
    done += static_cast<std::size_t>(sent);
  }
  good_ = good_ && done == out_.size();
  out_.clear();
  return good_;
}

bool MessageChannel::Receive(void* into, std::size_t size) {
  auto* at = static_cast<char*>(into);
  while (good_ && size > 0) {
    const ssize_t got = read(socket_, at, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      good_ = false;
      break;
    }
    at += got;
    size -= static_cast<std::size_t>(got);
  }
  return good_;
}

bool MessageChannel::Get(std::uint64_t& number) { return Receive(&number, sizeof number); }

bool MessageChannel::Get(std::string& text) {
  std::uint64_t size = 0;
  if (!Get(size) || size > kMaxBlock) return good_ = false;
  text.resize(static_cast<std::size_t>(size));
  return Receive(text.data(), text.size());
}

bool MessageChannel::Get(std::vector<std::uint8_t>& bytes) {
  std::uint64_t size = 0;
  if (!Get(size) || size > kMaxBlock) return good_ = false;
  bytes.resize(static_cast<std::size_t>(size));
  return Receive(bytes.data(), bytes.size());
}

}  // namespace ifoscan
