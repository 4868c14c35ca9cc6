#include "videopass/encoder_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace videopass {

namespace {

// Hands `take` what a growing file holds past `offset` bytes, block by block, and moves the
// offset on.
template <typename Take>
void ReadOn(const std::string& path, long long& offset, Take take) {
  std::ifstream in(path, std::ios::binary);
  if (!in.seekg(offset)) return;
  char buffer[8192];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    take(buffer, static_cast<std::size_t>(in.gcount()));
    offset += in.gcount();
  }
}

}  // namespace

long ProgressReader::Frames(const std::string& path) {
  if (path.empty()) return 0;
  ReadOn(path, read_, [&](const char* block, std::size_t size) {
    partial_.append(block, size);
    std::size_t start = 0;
    for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = partial_.substr(start, end - start);
      if (line.rfind("frame=", 0) == 0) frames_ = std::atol(line.c_str() + 6);
      if (line.rfind("progress=", 0) == 0) ended_ = line == "progress=end";
    }
    partial_.erase(0, start);
  });
  return frames_;
}

long ProgressFrames(const std::string& path) { return ProgressReader().Frames(path); }

long PassLogCounter::Count(const std::string& path) {
  ReadOn(path, read_, [&](const char* block, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      // Frame lines start with the frame's type; the header's with '#' or nothing.
      if (lineStart_ && std::isalpha(static_cast<unsigned char>(block[i]))) ++frames_;
      lineStart_ = block[i] == '\n';
    }
  });
  return frames_;
}

bool ProgressEnded(const std::string& path) {
  ProgressReader reader;
  reader.Frames(path);
  return reader.Ended();
}

std::string WriteComplaint(const std::string& messages) {
  static const char* const kSigns[] = {"no space left", "disk quota", "file too large", "input/output error",
                                       "read-only file system", "error writing", "error closing", "cannot write"};
  std::istringstream in(messages);
  std::string line, found;
  while (std::getline(in, line)) {
    std::string lower = line;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* sign : kSigns) {
      if (lower.find(sign) != std::string::npos) found = line;
    }
  }
  return found;
}

namespace {

// A running job: its process and the pipe its messages come through.
struct Running {
  std::size_t index = 0;
  std::vector<std::string> args;  // the command it was started with
  int messages = -1;
  std::string said;  // the last of its messages
  ProgressReader reported;
  PassLogCounter logged;
};

// Started with fork and exec rather than posix_spawn: between them the child asks to be killed
// when videopass dies, however it dies (a SIGKILL leaves no handler to stop the encoders, and an
// encoder left running holds the cores and writes into the folder of the next run).
pid_t Start(Running& running, std::string& error) {
  // Neither pipe passes to a later job: only this child's standard output and error are its.
  int pipeEnds[2], execEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
    error = std::string("no pipe for ") + running.args[0] + ": " + std::strerror(errno);
    return -1;
  }
  // The child writes exec's errno here; closed on a good exec, the parent then reads nothing.
  if (pipe2(execEnds, O_CLOEXEC) != 0) {
    error = std::string("no pipe for ") + running.args[0] + ": " + std::strerror(errno);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return -1;
  }
  std::vector<char*> argv;
  for (const std::string& arg : running.args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Only calls that are safe after fork from here on.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // videopass died before the request was made: nobody would kill this child.
    if (getppid() != parent) _exit(127);
    const int input = open("/dev/null", O_RDONLY);
    if (input < 0 || dup2(input, STDIN_FILENO) < 0 || dup2(pipeEnds[1], STDOUT_FILENO) < 0 ||
        dup2(pipeEnds[1], STDERR_FILENO) < 0) {
      const int failed = errno;
      (void)!write(execEnds[1], &failed, sizeof failed);
      _exit(127);
    }
    // Started with a standard stream closed, videopass may have been handed these as 0 to 2.
    if (input > STDERR_FILENO) close(input);
    if (pipeEnds[1] > STDERR_FILENO) close(pipeEnds[1]);
    else fcntl(pipeEnds[1], F_SETFD, 0);
    execvp(argv[0], argv.data());
    const int failed = errno;
    (void)!write(execEnds[1], &failed, sizeof failed);
    _exit(127);
  }
  const int forkError = errno;
  close(pipeEnds[1]);
  close(execEnds[1]);
  int failed = pid < 0 ? forkError : 0;
  if (pid > 0) {
    ssize_t got;
    while ((got = read(execEnds[0], &failed, sizeof failed)) < 0 && errno == EINTR) {
    }
    if (got != sizeof failed) failed = 0;
    else waitpid(pid, nullptr, 0);
  }
  close(execEnds[0]);
  if (failed != 0) {
    close(pipeEnds[0]);
    error = running.args[0] + " could not be started: " + std::strerror(failed);
    return -1;
  }
  fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
  running.messages = pipeEnds[0];
  return pid;
}

// Moves what a job has said so far into its log and its memory.
void Listen(const EncoderJob& job, Running& running) {
  char buffer[4096];
  ssize_t got;
  while ((got = read(running.messages, buffer, sizeof buffer)) > 0) {
    running.said.append(buffer, static_cast<std::size_t>(got));
    std::ofstream(job.log, std::ios::app).write(buffer, got);
  }
  constexpr std::size_t kKept = 16384;
  if (running.said.size() > kKept) running.said.erase(0, running.said.size() - kKept);
}

}  // namespace

int UsableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(CPU_COUNT(&set), 1);
  return std::max<int>(static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)), 1);
}

std::string ShownCommand(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) {
    if (!text.empty()) text += ' ';
    if (arg.find_first_of(" '\"\\$`;&|<>()*?[]") == std::string::npos && !arg.empty()) {
      text += arg;
    } else {
      std::string quoted = "'";
      for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
      text += quoted + "'";
    }
  }
  return text;
}

std::string RunJobs(const std::vector<EncoderJob>& jobs, int parallel, ProgressLine& progress,
                    const StopEarly& stopEarly) {
  std::map<pid_t, Running> running;
  std::vector<long> finished(jobs.size(), 0);
  std::size_t next = 0;
  std::string error;
  bool stopping = false;
  while ((next < jobs.size() && error.empty()) || !running.empty()) {
    while (error.empty() && next < jobs.size() && static_cast<int>(running.size()) < std::max(parallel, 1)) {
      std::remove(jobs[next].progress.c_str());
      if (!jobs[next].passLog.empty()) std::remove(jobs[next].passLog.c_str());
      Running started;
      started.index = next;
      started.args = jobs[next].argsAtStart ? jobs[next].argsAtStart() : jobs[next].args;
      const pid_t pid = Start(started, error);
      if (pid > 0) running[pid] = started;
      ++next;
    }
    for (auto& [pid, job] : running) Listen(jobs[job.index], job);
    int status = 0;
    const pid_t pid = waitpid(-1, &status, WNOHANG);
    if (pid > 0 && running.count(pid)) {
      Running& ended = running[pid];
      const EncoderJob& job = jobs[ended.index];
      Listen(job, ended);
      close(ended.messages);
      finished[ended.index] = job.frames;
      const bool exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      const std::string complaint = WriteComplaint(ended.said);
      if (error.empty() && !stopping && (!exited || !complaint.empty())) {
        std::ostringstream reason;
        reason << ShownCommand(ended.args);
        if (!complaint.empty()) {
          reason << (exited ? " reported an error: " : " failed: ") << complaint;
        } else {
          if (WIFEXITED(status)) reason << " ended with exit code " << WEXITSTATUS(status);
          else reason << " ended with signal " << WTERMSIG(status);
          std::istringstream lines(ended.said);
          std::string line, last;
          while (std::getline(lines, line)) {
            if (!line.empty()) last = line;
          }
          if (!last.empty()) reason << ": " << last;
        }
        reason << "; its messages are in " << job.log;
        error = reason.str();
        for (const auto& [other, index] : running) {
          if (other != pid) kill(other, SIGTERM);
        }
      }
      running.erase(pid);
      continue;
    }
    std::vector<long> made = finished;
    for (auto& [other, job] : running) {
      const EncoderJob& started = jobs[job.index];
      long frames = job.reported.Frames(started.progress);
      if (!started.passLog.empty()) frames = std::max(frames, job.logged.Count(started.passLog));
      made[job.index] = std::min(frames, started.frames);
    }
    long done = 0;
    for (long frames : made) done += frames;
    progress.Update(done);
    if (stopEarly && error.empty() && !stopping && stopEarly(made)) {
      stopping = true;
      next = jobs.size();
      for (const auto& [other, job] : running) kill(other, SIGTERM);
    }
    // Wait for a message or a job's end (its pipe closes), a quarter second at most: a job's
    // end is seen at once, not at the next tick (8 or more jobs a title, each tick lost). Jobs
    // that may be stopped early are looked at more often: a quarter second is a fifth of a
    // one-minute title's segment.
    std::vector<pollfd> pipes;
    for (const auto& [other, job] : running) pipes.push_back({job.messages, POLLIN, 0});
    if (!pipes.empty() && poll(pipes.data(), pipes.size(), stopEarly && !stopping ? 50 : 250) > 0) {
      // A closed pipe stays readable: until its process can be reaped, yield rather than spin.
      for (const pollfd& p : pipes) {
        if (p.revents & (POLLHUP | POLLERR)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
  }
  if (error.empty() && !stopping) {
    long done = 0;
    for (const EncoderJob& job : jobs) done += job.frames;
    progress.Finished(done);
  }
  return error;
}

}  // namespace videopass
