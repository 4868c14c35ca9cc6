#include "videopass/plan_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace videopass {

bool WritePlan(const Options& options, double fps, const std::vector<long>& starts, long tailFrom,
               const SourceTiming& timing) {
  std::ofstream out(Path(options, "plan.txt"));
  out.precision(17);
  out << "fps " << fps << "\ntail " << tailFrom << "\nseek " << (timing.regular ? 1 : 0) << ' '
      << timing.firstSeconds << ' ' << timing.startSeconds << ' ' << timing.frameSeconds << ' ' << timing.keyGap
      << "\nstarts";
  for (long start : starts) out << ' ' << start;
  out << '\n';
  return static_cast<bool>(out.flush());
}

namespace {

bool Number(const std::string& word, double& value) {
  char* end = nullptr;
  value = std::strtod(word.c_str(), &end);
  return !word.empty() && *end == '\0' && std::isfinite(value);
}

bool Whole(const std::string& word, long lowest, long& value) {
  errno = 0;
  char* end = nullptr;
  value = std::strtol(word.c_str(), &end, 10);
  return !word.empty() && *end == '\0' && errno == 0 && value >= lowest;
}

// A line's words from the `from`th on, for messages.
std::string Shown(const std::vector<std::string>& words, std::size_t from = 1) {
  std::string text;
  for (std::size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
  return text.size() <= 60 ? text : text.substr(0, 57) + "...";
}

}  // namespace

std::string ReadPlan(const Options& options, double& fps, std::vector<long>& starts, long& tailFrom,
                     SourceTiming& timing) {
  const std::string path = Path(options, "plan.txt");
  struct stat info;
  if (stat(path.c_str(), &info) != 0 && errno == ENOENT) return path + " is missing: the first pass has not run";
  if (!S_ISREG(info.st_mode)) return path + " is not a file";
  std::ifstream in(path);
  if (!in) return path + " cannot be read: " + std::strerror(errno);
  std::vector<std::vector<std::string>> lines;
  for (std::string line; std::getline(in, line);) {
    std::istringstream read(line);
    lines.emplace_back();
    for (std::string word; read >> word;) lines.back().push_back(word);
  }
  if (in.bad()) return path + " cannot be read";
  if (lines.empty()) return path + ": it is empty";
  const char* const keys[] = {"fps", "tail", "seek", "starts"};
  for (std::size_t i = 0; i < 4; ++i) {
    if (i == lines.size()) return path + ": it ends before its " + keys[i] + " line";
    if (lines[i].empty() || lines[i][0] != keys[i]) {
      return path + ": line " + std::to_string(i + 1) + " (\"" + Shown(lines[i], 0) + "\") is not its " + keys[i] + " line";
    }
  }
  if (lines.size() > 4) return path + ": it goes on after its starts line";
  // No chain makes more than 1000 frames a second of a disc's at most 60.
  if (lines[0].size() != 2 || !Number(lines[0][1], fps) || fps <= 0 || fps > 1000) {
    return path + ": fps \"" + Shown(lines[0]) + "\" is not a frame rate";
  }
  if (lines[1].size() != 2 || !Whole(lines[1][1], 1, tailFrom)) {
    return path + ": tail \"" + Shown(lines[1]) + "\" is not a frame";
  }
  const std::vector<std::string>& seek = lines[2];
  long regular = 0;
  if (seek.size() != 6 || !Whole(seek[1], 0, regular) || regular > 1 || !Number(seek[2], timing.firstSeconds) ||
      !Number(seek[3], timing.startSeconds) || !Number(seek[4], timing.frameSeconds) || timing.frameSeconds < 0 ||
      !Whole(seek[5], 0, timing.keyGap)) {
    return path + ": seek \"" + Shown(seek) + "\" is not a source's timing (0 or 1, three times in seconds, a "
           "count of frames)";
  }
  timing.regular = regular == 1;
  starts.clear();
  for (std::size_t i = 1; i < lines[3].size(); ++i) {
    long start = 0;
    if (!Whole(lines[3][i], 0, start)) return path + ": starts \"" + Shown(lines[3]) + "\" are not frames";
    if (starts.empty() && start != 0) {
      return path + ": the first segment starts at frame " + lines[3][i] + ", not at the title's first, 0";
    }
    if (!starts.empty() && start <= starts.back()) {
      return path + ": segment " + std::to_string(i) + " starts at frame " + lines[3][i] + ", not after segment " +
             std::to_string(i - 1) + "'s first, " + std::to_string(starts.back());
    }
    starts.push_back(start);
  }
  if (starts.empty()) return path + ": its starts line names no segment";
  return "";
}

std::string FirstLogName(std::size_t k) { return "first-" + std::to_string(k); }

}  // namespace videopass
