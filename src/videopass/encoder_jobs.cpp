#include "videopass/encoder_jobs.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

extern char** environ;

namespace videopass {

long ProgressFrames(const std::string& path) {
  if (path.empty()) return 0;
  std::ifstream in(path);
  std::string line;
  long frames = 0;
  while (std::getline(in, line)) {
    if (line.rfind("frame=", 0) == 0) frames = std::atol(line.c_str() + 6);
  }
  return frames;
}

std::string WriteComplaint(const std::string& log) {
  static const char* const kSigns[] = {"no space left", "disk quota", "file too large", "input/output error",
                                       "read-only file system", "error writing", "error closing", "cannot write"};
  std::ifstream in(log);
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

pid_t Start(const EncoderJob& job, std::string& error) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, job.log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char*> argv;
  for (const std::string& arg : job.args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    error = job.args[0] + " could not be started: " + std::strerror(failed);
    return -1;
  }
  return pid;
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

std::string RunJobs(const std::vector<EncoderJob>& jobs, int parallel, ProgressLine& progress) {
  std::map<pid_t, std::size_t> running;
  std::vector<long> finished(jobs.size(), 0);
  std::size_t next = 0;
  std::string error;
  while ((next < jobs.size() && error.empty()) || !running.empty()) {
    while (error.empty() && next < jobs.size() && static_cast<int>(running.size()) < std::max(parallel, 1)) {
      std::remove(jobs[next].progress.c_str());
      const pid_t pid = Start(jobs[next], error);
      if (pid > 0) running[pid] = next;
      ++next;
    }
    int status = 0;
    const pid_t pid = waitpid(-1, &status, WNOHANG);
    if (pid > 0 && running.count(pid)) {
      const EncoderJob& job = jobs[running[pid]];
      finished[running[pid]] = job.frames;
      running.erase(pid);
      const bool exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      const std::string complaint = exited ? WriteComplaint(job.log) : std::string();
      if (error.empty() && (!exited || !complaint.empty())) {
        std::ostringstream reason;
        reason << ShownCommand(job.args);
        if (!complaint.empty()) reason << " reported an error: " << complaint;
        else if (WIFEXITED(status)) reason << " ended with exit code " << WEXITSTATUS(status);
        else reason << " ended with signal " << WTERMSIG(status);
        reason << "; its messages are in " << job.log;
        error = reason.str();
        for (const auto& [other, index] : running) kill(other, SIGTERM);
      }
      continue;
    }
    long done = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) done += finished[i];
    for (const auto& [other, index] : running) done += std::min(ProgressFrames(jobs[index].progress), jobs[index].frames);
    progress.Update(done);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  if (error.empty()) {
    long done = 0;
    for (const EncoderJob& job : jobs) done += job.frames;
    progress.Finished(done);
  }
  return error;
}

}  // namespace videopass
