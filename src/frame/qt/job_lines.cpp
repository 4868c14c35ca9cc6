#include "frame/qt/job_lines.h"

#include <algorithm>
#include <cstdio>
#include <regex>

namespace ravlo {

JobLine ParseJobLine(std::string_view text) {
  static const std::regex progress(
      R"(^\[(\d+)/(\d+)\] (.+?) (\d{1,3})%(?: (?:(\d+):)?(\d+):(\d\d) left)?\s*$)");
  static const std::regex stage(R"(^\[(\d+)/(\d+)\] (.+?)(?: \((.*)\))?\s*$)");
  static const std::regex result(R"(^\s*(\d+) bytes  (.+?)\s*$)");
  static const std::regex total(R"(^Total (\d+) bytes: ([0-9.]+)% of the medium)");
  // Searched anywhere: on a terminal the message may follow an unfinished refresh.
  static const std::regex failure(R"(project\.sh: (.+?) failed: (.*?)\s*$)");
  const std::string line(text);
  std::smatch m;
  JobLine parsed;
  if (std::regex_search(line, m, failure)) {
    parsed.kind = JobLine::Kind::Failure;
    parsed.name = m[1];
    parsed.reason = m[2];
    return parsed;
  }
  if (std::regex_match(line, m, progress)) {
    parsed.kind = JobLine::Kind::Progress;
    parsed.percent = std::min(100, std::stoi(m[4]));
    if (m[6].matched) {
      parsed.secondsLeft = (m[5].matched ? std::stoi(m[5]) * 3600 : 0) + std::stoi(m[6]) * 60 +
                           std::stoi(m[7]);
    }
  } else if (std::regex_match(line, m, stage)) {
    parsed.kind = JobLine::Kind::Stage;
    parsed.note = m[4];
  } else if (std::regex_match(line, m, result)) {
    parsed.kind = JobLine::Kind::Result;
    parsed.bytes = std::stoll(m[1]);
    parsed.name = m[2];
    return parsed;
  } else if (std::regex_search(line, m, total)) {
    parsed.kind = JobLine::Kind::Total;
    parsed.bytes = std::stoll(m[1]);
    parsed.fill = std::stod(m[2]);
    return parsed;
  } else if (line.starts_with("It cannot fill more: ")) {
    parsed.kind = JobLine::Kind::Short;
    parsed.reason = line;
    return parsed;
  } else {
    return parsed;
  }
  parsed.stage = std::stoi(m[1]);
  parsed.stages = std::stoi(m[2]);
  parsed.name = m[3];
  if (parsed.stage < 1 || parsed.stage > parsed.stages) return JobLine{};
  return parsed;
}

std::vector<std::string> SplitJobOutput(std::string& pending, std::string_view chunk) {
  std::vector<std::string> lines;
  for (char c : chunk) {
    if (c == '\n' || c == '\r') {
      if (!pending.empty()) lines.push_back(pending);
      pending.clear();
    } else {
      pending += c;
    }
  }
  return lines;
}

bool JobProgress::Take(const JobLine& line) {
  if (line.kind != JobLine::Kind::Stage && line.kind != JobLine::Kind::Progress) return false;
  const bool again = line.kind == JobLine::Kind::Stage && line.stage == stage;
  const bool starts = again || line.stage != stage || line.name != name;
  if (again) {
    from_ = shown_;
    again_ = stage;
  }
  if (starts) {
    percent = -1;
    secondsLeft = -1;
    note = line.note;
  }
  stage = line.stage;
  stages = line.stages;
  name = line.name;
  if (line.kind == JobLine::Kind::Progress) {
    percent = line.percent;
    secondsLeft = line.secondsLeft;
  }
  shown_ = std::max(shown_, Reached());
  return starts;
}

void JobProgress::Finish() {
  shown_ = 1;
  percent = 100;
  secondsLeft = -1;
}

// What is left after `from_` is shared among the steps still to come then: the stage made
// again and the stages after it (before any stage started again: every stage).
double JobProgress::Reached() const {
  if (stages <= 0 || stage <= 0) return 0;
  const int extra = again_ > 0 ? 1 : 0;
  const double steps = stages - again_ + extra;
  const double done = stage - again_ - 1 + extra + (percent < 0 ? 0 : percent) / 100.0;
  if (steps <= 0) return from_;
  return from_ + (1 - from_) * std::clamp(done / steps, 0.0, 1.0);
}

int JobSecondsLeft(double elapsedSeconds, double fraction) {
  // Too early a guess swings wildly: wait for a little of the job to be done.
  if (fraction < 0.02 || elapsedSeconds < 2) return -1;
  return static_cast<int>(elapsedSeconds * (1 - fraction) / fraction + 0.5);
}

std::string ClockText(int seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  }
  return text;
}

}  // namespace ravlo
