#include "child_source.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>

#include "message_channel.h"

namespace ifoscan {
namespace {

// Every call is sent as its kind and three numbers; the child answers each but kCloseVobs.
enum Call : std::uint64_t { kTitleSets = 1, kReadIfo, kTitleSetPath, kOpenVobs, kCheckRange, kReadVobs, kCloseVobs };

// No read the programs make comes near this; more means a garbled call.
constexpr std::uint64_t kMaxReadSectors = 64 * 1024;

// --- the child: answers the calls on the source it opened, until the program hangs up ---

void Serve(MessageChannel& channel, DiscSource& source) {
  std::map<std::uint64_t, std::unique_ptr<TitleVobs>> vobs;
  std::uint64_t nextVobs = 1;
  std::vector<std::uint8_t> buffer;
  std::uint64_t call = 0, a = 0, b = 0, c = 0;
  while (channel.Get(call) && channel.Get(a) && channel.Get(b) && channel.Get(c)) {
    std::string error;
    const auto found = vobs.find(a);
    TitleVobs* const opened = found == vobs.end() ? nullptr : found->second.get();
    switch (call) {
      case kTitleSets: {
        const std::vector<int> sets = source.TitleSets(error);
        channel.Put(sets.size());
        for (int number : sets) channel.Put(static_cast<std::uint64_t>(number));
        break;
      }
      case kReadIfo: {
        const bool read = source.ReadTitleSetIfo(static_cast<int>(a), buffer, error);
        channel.Put(buffer.data(), read ? buffer.size() : 0);
        channel.Put(read);
        break;
      }
      case kTitleSetPath: channel.Put(source.TitleSetPath(static_cast<int>(a))); break;
      case kOpenVobs: {
        std::unique_ptr<TitleVobs> title = source.OpenTitleVobs(static_cast<int>(a), error);
        channel.Put(title ? nextVobs : 0);
        if (title) vobs[nextVobs++] = std::move(title);
        break;
      }
      case kCheckRange:
        error = opened ? opened->CheckRange({static_cast<std::uint32_t>(b), static_cast<std::uint32_t>(c)})
                       : "the title VOBs are not open";
        break;
      case kReadVobs: {
        bool read = opened && c <= kMaxReadSectors;
        if (read) {
          buffer.resize(static_cast<std::size_t>(c) * kSectorSize);
          read = opened->Read(b, static_cast<std::uint32_t>(c), buffer.data(), error);
        } else {
          error = "the title VOBs are not open";
        }
        channel.Put(buffer.data(), read ? buffer.size() : 0);
        channel.Put(read);
        break;
      }
      case kCloseVobs: vobs.erase(a); continue;
      default: return;
    }
    channel.Put(error);
    if (!channel.Send()) return;
  }
}

[[noreturn]] void RunChild(int socket, pid_t parent, const std::function<OpenedSource()>& open) {
#ifdef __linux__
  // A child stuck on a damaged disc ends with its program, which may be ended on a time limit.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(1);
#endif
  // A crash here is a damaged disc, which the program reports: it ends the child by its signal,
  // whatever handler the program has (a sanitizer's), and leaves no core file behind.
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(signal, SIG_DFL);
  MessageChannel channel(socket);
  const OpenedSource opened = open();
  channel.Put(opened.source != nullptr);
  channel.Put(static_cast<std::uint64_t>(opened.titleSet));
  channel.Put(opened.error);
  if (channel.Send() && opened.source) Serve(channel, *opened.source);
  // Nothing of the program's (buffered output, exit handlers) runs twice.
  _exit(0);
}

// --- the program's side: every call goes to the child ---

class ChildSource : public DiscSource {
 public:
  ChildSource(pid_t child, int socket, std::string damaged)
      : child_(child), socket_(socket), channel_(socket), damaged_(std::move(damaged)) {}
  ~ChildSource() override {
    close(socket_);  // the child sees the end of the calls and ends
    Reap();
  }

  bool ReadOpening(OpenedSource& opened) {
    std::uint64_t ok = 0, titleSet = 0;
    channel_.Get(ok);
    channel_.Get(titleSet);
    channel_.Get(opened.error);
    if (!Answered("while opening it", opened.error)) return false;
    opened.titleSet = static_cast<int>(titleSet);
    return ok != 0;
  }

  std::vector<int> TitleSets(std::string& error) override {
    Ask(kTitleSets);
    std::uint64_t count = 0;
    std::vector<int> sets;
    channel_.Get(count);
    for (std::uint64_t i = 0; i < count && channel_.Good(); ++i) {
      std::uint64_t number = 0;
      channel_.Get(number);
      sets.push_back(static_cast<int>(number));
    }
    channel_.Get(error);
    if (!Answered("while looking for its title sets", error)) sets.clear();
    return sets;
  }

  bool ReadTitleSetIfo(int titleSet, std::vector<std::uint8_t>& bytes, std::string& error) override {
    Ask(kReadIfo, static_cast<std::uint64_t>(titleSet));
    std::uint64_t read = 0;
    channel_.Get(bytes);
    channel_.Get(read);
    channel_.Get(error);
    char name[32];
    std::snprintf(name, sizeof name, "VTS_%02d_0.IFO", titleSet);
    return Answered(std::string("while reading ") + name, error) && read != 0;
  }

  std::unique_ptr<TitleVobs> OpenTitleVobs(int titleSet, std::string& error) override;

  std::string TitleSetPath(int titleSet) const override {
    Ask(kTitleSetPath, static_cast<std::uint64_t>(titleSet));
    std::string path, error;
    channel_.Get(path);
    channel_.Get(error);
    return Answered("while naming title set " + std::to_string(titleSet), error) ? path : std::string();
  }

  std::string Lost() const override { return lost_; }

  std::string CheckRange(std::uint64_t vobs, SectorRange range) {
    Ask(kCheckRange, vobs, range.first, range.last);
    std::string error;
    channel_.Get(error);
    Answered("while checking the title VOBs", error);
    return error;
  }

  bool ReadVobs(std::uint64_t vobs, std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer,
                std::string& error) {
    Ask(kReadVobs, vobs, sector, count);
    std::uint64_t read = 0;
    channel_.Get(block_);
    channel_.Get(read);
    channel_.Get(error);
    const std::string doing = "while reading sectors " + std::to_string(sector) + " to " +
                              std::to_string(sector + count - 1) + " of the title VOBs";
    if (!Answered(doing, error) || read == 0) return false;
    if (block_.size() != std::size_t{count} * kSectorSize) {
      error = "the disc reader gave " + std::to_string(block_.size()) + " bytes for " + std::to_string(count) +
              " sectors";
      return false;
    }
    std::memcpy(buffer, block_.data(), block_.size());
    return true;
  }

  void CloseVobs(std::uint64_t vobs) {
    if (!lost_.empty()) return;
    Ask(kCloseVobs, vobs);
  }

 private:
  void Ask(std::uint64_t call, std::uint64_t a = 0, std::uint64_t b = 0, std::uint64_t c = 0) const {
    channel_.Put(call);
    channel_.Put(a);
    channel_.Put(b);
    channel_.Put(c);
    channel_.Send();
  }

  // True when the child answered; otherwise it has died, and error says how.
  bool Answered(const std::string& doing, std::string& error) const {
    if (channel_.Good()) return true;
    if (lost_.empty()) lost_ = damaged_ + ": " + HowItEnded() + " " + doing;
    error = lost_;
    return false;
  }

  std::string HowItEnded() const {
    const int status = Reap();
    if (status >= 0 && WIFSIGNALED(status)) {
      const int signal = WTERMSIG(status);
      return "libdvdread crashed reading it (signal " + std::to_string(signal) + ", " + strsignal(signal) + ")";
    }
    if (status >= 0 && WIFEXITED(status))
      return "its reader ended unexpectedly (exit code " + std::to_string(WEXITSTATUS(status)) + ")";
    return "its reader was lost";
  }

  // The child's wait status once it has ended; -1 when it was already reaped.
  int Reap() const {
    if (child_ <= 0) return -1;
    int status = 0;
    pid_t done;
    while ((done = waitpid(child_, &status, 0)) < 0 && errno == EINTR) {
    }
    child_ = -1;
    return done > 0 ? status : -1;
  }

  mutable pid_t child_;
  int socket_;
  mutable MessageChannel channel_;
  std::string damaged_;
  mutable std::string lost_;
  std::vector<std::uint8_t> block_;
};

class ChildVobs : public TitleVobs {
 public:
  ChildVobs(ChildSource& source, std::uint64_t handle) : source_(source), handle_(handle) {}
  ~ChildVobs() override { source_.CloseVobs(handle_); }

  std::string CheckRange(SectorRange range) const override { return source_.CheckRange(handle_, range); }
  bool Read(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, std::string& error) override {
    return source_.ReadVobs(handle_, sector, count, buffer, error);
  }

 private:
  ChildSource& source_;
  std::uint64_t handle_;
};

std::unique_ptr<TitleVobs> ChildSource::OpenTitleVobs(int titleSet, std::string& error) {
  Ask(kOpenVobs, static_cast<std::uint64_t>(titleSet));
  std::uint64_t handle = 0;
  channel_.Get(handle);
  channel_.Get(error);
  if (!Answered("while finding the title VOBs of title set " + std::to_string(titleSet), error) || handle == 0)
    return nullptr;
  return std::make_unique<ChildVobs>(*this, handle);
}

}  // namespace

OpenedSource OpenInChild(const std::function<OpenedSource()>& open, const std::string& damaged) {
  OpenedSource opened;
  int sockets[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
    opened.error = std::string("cannot start the disc reader: ") + std::strerror(errno);
    return opened;
  }
  const pid_t parent = getpid();
  const pid_t child = fork();
  if (child == 0) {
    close(sockets[0]);
    RunChild(sockets[1], parent, open);
  }
  close(sockets[1]);
  if (child < 0) {
    opened.error = std::string("cannot start the disc reader: ") + std::strerror(errno);
    close(sockets[0]);
    return opened;
  }
  auto source = std::make_unique<ChildSource>(child, sockets[0], damaged);
  if (source->ReadOpening(opened)) opened.source = std::move(source);
  return opened;
}

}  // namespace ifoscan
