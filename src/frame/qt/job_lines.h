#pragma once
// What project.sh tells on its output, line by line, as the progress window reads it:
//   "[n/m] NAME"  or  "[n/m] NAME (note)"      a stage starts
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

// How far the whole job is, 0..1: the stages done plus the running one's share.
double JobFraction(int stage, int stages, int percent);

// Seconds left of the whole job from the time it has taken so far; -1 while nothing is known.
int JobSecondsLeft(double elapsedSeconds, double fraction);

// "1:05", "1:02:03".
std::string ClockText(int seconds);

}  // namespace ravlo
