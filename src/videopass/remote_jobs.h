#pragma once
// Encodes run on the machines of a GNU parallel login file (parallel's --sshloginfile format;
// ":" stands for this machine). parallel chooses each job's machine, sends the job's files
// into a folder of its own there, brings its results back, removes both there, and tries a
// job whose machine failed or vanished again on another one. Here each job's files are packed
// (its piece of the source, its pass logs, the script that runs it) and what came back is
// checked: a job whose results did not come back whole is handed to parallel once more.
// Progress is coarser than a local run's: a job's frames count when its results are back.
#include <string>
#include <vector>

#include "videopass/encoder_jobs.h"

namespace videopass {

struct Nodes {
  std::string loginFile;  // parallel's --sshloginfile
  std::string folder;     // the working files' folder, relative to the project folder
};

// How many jobs the login file's text lets run at once: each line's "N/" (":" without it: this
// machine's cores; another machine without it: one). The title is cut into at least as many
// segments; which machine takes which is parallel's choice.
int NodeSlots(const std::string& logins);

// The ssh command parallel logs in with: the user's PARALLEL_SSH (else ssh) with limits that
// keep a job from waiting on a machine that does not answer (the user's own options win).
std::string NodeSsh(const char* userSsh);

// The parallel command that runs the jobs listed in `table` (a line a job: the packed files it
// sends, the script that runs it, the packed files it returns).
std::vector<std::string> ParallelCommand(const std::string& loginFile, const std::string& ssh,
                                         const std::string& table, const std::string& jobLog);

// As RunJobs, on the machines; `argsAtStart` is not taken (every command is known before).
std::string RunOnNodes(const Nodes& nodes, const std::vector<EncoderJob>& jobs, ProgressLine& progress);

}  // namespace videopass
