#pragma once
// ffmpeg processes run side by side, as many at once as the job may use cores, with their
// progress read from ffmpeg's -progress files and shown as one stage line.
#include <functional>
#include <string>
#include <vector>

#include "videopass/progress_line.h"

namespace videopass {

struct EncoderJob {
  std::vector<std::string> args;  // the whole command, program first
  std::string log;                // its messages go here (and are kept in memory: a full disk may swallow them)
  std::string progress;           // the -progress file it writes ("" when it writes none)
  long frames = 0;                // frames it encodes, for the stage's percentage
  // A first pass's log, which grows by a line a frame: counted for the percentage while the
  // -progress file tells nothing. ffmpeg reports no progress until every one of its outputs has
  // had a frame, and the output of the trailing frames has its first late.
  std::string passLog;
  // When set, the command is made only when the job starts (from what the jobs before it made).
  std::function<std::vector<std::string>()> argsAtStart;
  // For a run on another machine: the files it reads beside the source and the files it
  // writes, each relative to the project folder; and the source with the seconds of it that
  // its frames come from (from < 0: the source's start, to < 0: its end; "" reads none).
  std::vector<std::string> sends;
  std::vector<std::string> returns;
  std::string source;
  double sourceFrom = -1;
  double sourceTo = -1;
};

// The last frame count an ffmpeg -progress file reports, 0 before the first report.
long ProgressFrames(const std::string& path);

// Reads an ffmpeg -progress file as ffmpeg grows it, from where the last read stopped: with a
// report every tenth of a second a long title's file grows to hundreds of kilobytes, and it is
// looked at up to twenty times a second.
class ProgressReader {
 public:
  // The last frame count reported so far (0 before the first report).
  long Frames(const std::string& path);
  // Whether the last report read said the work has ended.
  bool Ended() const { return ended_; }

 private:
  long long read_ = 0;
  std::string partial_;  // a line not yet ended
  long frames_ = 0;
  bool ended_ = false;
};

// Counts the frame lines of a first-pass log that is still growing, reading on from where the
// last count stopped (ffmpeg writes the log in blocks: a line may end in the next one).
class PassLogCounter {
 public:
  long Count(const std::string& path);

 private:
  long long read_ = 0;
  long frames_ = 0;
  bool lineStart_ = true;
};

// The line of an encoder's messages that tells of a failed write (a full disk, a quota, an
// I/O error), or "": ffmpeg can end with 0 after one.
std::string WriteComplaint(const std::string& messages);

// The cores this process may run on (what nproc says), at least one.
int UsableCores();

// Whether the ffmpeg that writes this -progress file has ended its work.
bool ProgressEnded(const std::string& path);

// Asked at every look at the running jobs with the frames each job has made so far (0 for one
// not started); true stops the running ones and starts no more.
using StopEarly = std::function<bool(const std::vector<long>& made)>;

// Runs the jobs in their order, `parallel` at once. Returns "" when all ended well or were
// stopped early, else the reason of the first failure (the others are stopped): an exit code
// other than 0 or a complaint of a failed write.
std::string RunJobs(const std::vector<EncoderJob>& jobs, int parallel, ProgressLine& progress,
                    const StopEarly& stopEarly = nullptr);

// The command as a shell would take it, for messages.
std::string ShownCommand(const std::vector<std::string>& args);

}  // namespace videopass
