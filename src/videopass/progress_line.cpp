#include "videopass/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace videopass {

std::string ProgressText(const std::string& title, long done, long total, double elapsed) {
  const double part = total > 0 ? std::clamp(static_cast<double>(done) / total, 0.0, 1.0) : 0.0;
  char text[64];
  std::snprintf(text, sizeof text, " %d%%", static_cast<int>(part * 100));
  std::string line = title + text;
  if (part > 0.01 && elapsed >= 2 && part < 1) {
    const long left = std::lround(elapsed * (1 - part) / part);
    std::snprintf(text, sizeof text, " %ld:%02ld left", left / 60, left % 60);
    line += text;
  }
  return line;
}

ProgressLine::ProgressLine(std::string title, long total)
    : title_(std::move(title)), total_(total), terminal_(isatty(STDOUT_FILENO) == 1),
      start_(std::chrono::steady_clock::now()) {}

void ProgressLine::Update(long done) {
  if (title_.empty()) return;
  done += base_;
  const auto now = std::chrono::steady_clock::now();
  if (now - shown_ < std::chrono::seconds(1) || (done >= total_ && shownDone_ >= total_)) return;
  shownDone_ = done;
  shown_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const std::string text = ProgressText(title_, done, total_, elapsed);
  if (terminal_) {
    // A shorter text (the estimate gone at the end) covers the longer one before it.
    const std::string pad(shownLength_ > text.size() ? shownLength_ - text.size() : 0, ' ');
    std::printf("\r%s%s", text.c_str(), pad.c_str());
    shownLength_ = text.size();
    open_ = true;
  } else {
    std::printf("%s\n", text.c_str());
  }
  std::fflush(stdout);
}

void ProgressLine::Break() {
  if (open_) std::printf("\n");
  open_ = false;
  shownLength_ = 0;
  std::fflush(stdout);
}

}  // namespace videopass
