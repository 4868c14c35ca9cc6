#pragma once
// A stage's progress as project.sh shows it: "[n/m] NAME NN% M:SS left". On a terminal one
// line refreshed in place ("\r", no line end); otherwise a line of its own about once a second.
#include <chrono>
#include <string>

namespace videopass {

// The refresh text for `done` of `total` frames after `elapsed` seconds; the time left is
// left out until it can be estimated (a few seconds and some frames in).
std::string ProgressText(const std::string& title, long done, long total, double elapsed);

class ProgressLine {
 public:
  ProgressLine(std::string title, long total);  // a title of "" shows nothing
  // Shows `done` frames of the running encodes beyond those already finished.
  void Update(long done);
  // Counts frames of encodes that have finished.
  void Finished(long frames) { base_ += frames; }
  // Ends the refreshed line on a terminal, so that what follows starts on a line of its own.
  void Break();

 private:
  std::string title_;
  long total_;
  long base_ = 0;
  bool terminal_;
  bool open_ = false;
  std::size_t shownLength_ = 0;
  long shownDone_ = -1;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point shown_{};
};

}  // namespace videopass
