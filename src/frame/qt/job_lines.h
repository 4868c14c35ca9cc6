#pragma once
// What project.sh tells on its output, line by line, as the progress window reads it:
//   "[n/m] NAME"  or  "[n/m] NAME (note)"      a stage starts; the running stage's header
//                                               again is a further step of it (a correction)
//   "[n/m] NAME NN%"  or  "... NN% M:SS left"   a stage's progress (refreshes, "\r" or "\n")
//   "   1234 bytes  FILE"                        a result file at the end
//   "Total T bytes: F% of the medium ..."        the fill of the medium
//   "It cannot fill more: WHY."                  why the result stays under the medium
//   "project.sh: STAGE failed: REASON"           the job failed
// Plain C++, so that the rules are tested without a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

struct JobLine {
  enum class Kind { Other, Stage, Progress, Result, Total, Short, Failure };
  Kind kind = Kind::Other;
  int stage = 0, stages = 0;  // Stage, Progress
  std::string name;           // Stage, Progress: the stage; Result: the file; Failure: the stage
  std::string note;           // Stage: the text in brackets after the name
  int percent = -1;           // Progress
  int secondsLeft = -1;       // Progress: -1 while unknown
  std::int64_t bytes = 0;     // Result, Total
  double fill = 0;            // Total: percent of the medium
  std::string reason;         // Failure; Short: the whole line
};

JobLine ParseJobLine(std::string_view line);

// Splits arriving output into lines at "\n" and "\r" (a terminal refresh); `pending` keeps an
// unfinished line for the next chunk.
std::vector<std::string> SplitJobOutput(std::string& pending, std::string_view chunk);

// How far the whole job is, from its stage and progress lines. Each stage is an equal share;
// a stage that starts again (the second pass corrected to fill the medium) is a step of its
// own placed between what is done and the stages still to come, so that the job's fraction
// slows down then rather than falls back.
class JobProgress {
 public:
  // Stage and Progress lines; true when the line starts a step (a stage, or one again).
  bool Take(const JobLine& line);
  // The job ended well: all of it is done.
  void Finish();
  double Fraction() const { return shown_; }  // 0..1, never less than before

  int stage = 0, stages = 0;
  int percent = -1;      // of the running step; -1 while it has said none
  int secondsLeft = -1;  // of the running step, as it says
  std::string name, note;

 private:
  double Reached() const;

  double from_ = 0;  // the fraction when the running stage started again
  int again_ = 0;    // that stage; 0 while none did
  double shown_ = 0;
};

// Seconds left of the whole job from the time it has taken so far; -1 while nothing is known.
int JobSecondsLeft(double elapsedSeconds, double fraction);

// "1:05", "1:02:03".
std::string ClockText(int seconds);

}  // namespace ravlo
