#include "app/window_check.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <chrono>
#include <csignal>

namespace ravlo {
namespace {

// The reason in what Qt said: its first line about the platform, else its first line, without
// the logging category ("qt.qpa.xcb: could not connect to display :99").
std::string FirstReason(const std::string& said) {
  std::size_t start = said.find("qt.qpa.");
  if (start != 0 && start != std::string::npos && said[start - 1] != '\n') start = std::string::npos;
  if (start == std::string::npos) start = 0;
  std::string line = said.substr(start, said.find('\n', start) - start);
  if (line.rfind("qt.", 0) == 0) {
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) line = line.substr(colon + 2);
  }
  return line.empty() ? "the window system could not be reached" : line;
}

}  // namespace

std::string WhyNoWindow(int argc, char** argv) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};  // cannot ask: let the window try
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return {};
  }
  if (child == 0) {
    // A trial start of the window system alone; Qt aborts here when it cannot be reached.
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    std::signal(SIGABRT, SIG_DFL);
    QGuiApplication trial(argc, argv);
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string said;
  char buffer[4096];
  // A window system that answers nothing within ten seconds is as good as none.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool timedOut = false;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd ready{pipeEnds[0], POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) == 0) {
      timedOut = true;
      break;
    }
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    if (said.size() < 65536) said.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeEnds[0]);
  if (timedOut) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut) return "the window system did not answer within ten seconds";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  return FirstReason(said);
}

}  // namespace ravlo
