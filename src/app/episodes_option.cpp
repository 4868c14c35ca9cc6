#include "app/episodes_option.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ravlo {
namespace {

// Runs the reader; its first line of output, and its messages in `error` when it fails.
bool RunReader(const std::vector<std::string>& command, std::string& line, std::string& error) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return error = std::strerror(errno), false;
  const pid_t child = fork();
  if (child < 0) return error = std::strerror(errno), false;
  if (child == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]), close(out[1]), close(err[0]), close(err[1]);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    dprintf(2, "cannot start %s: %s\n", argv[0], std::strerror(errno));
    _exit(127);
  }
  close(out[1]), close(err[1]);
  auto readAll = [](int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
      if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return text;
  };
  // The reader says little: its output fits a pipe, so reading one after the other is safe.
  const std::string output = readAll(out[0]);
  error = readAll(err[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  line = output.substr(0, output.find('\n'));
  while (!error.empty() && error.back() == '\n') error.pop_back();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !line.empty();
}

}  // namespace

std::string ResolveEpisodes(const std::string& readerPath, std::vector<std::string>& args) {
  std::string disc, titleSet;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--open" || args[i] == "--title-set") && i + 1 < args.size()) {
      std::string& value = args[i] == "--open" ? disc : titleSet;
      value = args[++i];
      continue;
    }
    if (args[i] != "--episodes") continue;
    if (disc.empty()) return "--episodes: no disc is open yet (name it with --open before --episodes)";
    std::vector<std::string> command{readerPath};
    if (!titleSet.empty()) command.insert(command.end(), {"--title-set", titleSet});
    command.insert(command.end(), {"--episodes", disc});
    std::string list, error;
    if (!RunReader(command, list, error)) return "--episodes: " + (error.empty() ? "the reader found none" : error);
    args[i] = "--titles";
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, list);
    ++i;
  }
  return {};
}

}  // namespace ravlo
