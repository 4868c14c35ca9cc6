#include "videopass/stats_cut.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace videopass {
namespace {

// The number after `key` ("in:", "out:") at the start of a word of the line; -1 when absent.
long Number(const std::string& line, const std::string& key) {
  const std::size_t at = line.rfind(key, 0) == 0 ? 0 : line.find(" " + key);
  if (at == std::string::npos) return -1;
  const char* start = line.c_str() + at + (at == 0 ? 0 : 1) + key.size();
  char* end = nullptr;
  const long value = std::strtol(start, &end, 10);
  return end != start && value >= 0 ? value : -1;
}

bool ReadWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream whole;
  whole << in.rdbuf();
  text = whole.str();
  return true;
}

}  // namespace

std::string CutStatsFrom(const std::string& text, const std::string& cutree, long first, std::string& tailText,
                         std::string& tailCutree) {
  std::istringstream in(text);
  std::string line, header, kept;
  long frames = 0, referenced = 0, referencedBefore = 0, keptFrames = 0;
  bool beforeDone = false;  // a frame from `first` on has been coded
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line[0] == '#') {
      header += line + '\n';
      continue;
    }
    const long shown = Number(line, "in:"), coded = Number(line, "out:");
    const std::size_t type = line.find(" type:");
    if (shown < 0 || coded < 0 || type == std::string::npos || type + 6 >= line.size())
      return "line " + std::to_string(frames + 1) + " of the statistics is no frame";
    const bool refersTo = line[type + 6] != 'b';
    const bool tail = shown >= first;
    if (tail != (coded >= first) || (!tail && beforeDone))
      return "frame " + std::to_string(first) + " is no key frame that closes what comes before it";
    ++frames;
    referenced += refersTo;
    if (!tail) {
      referencedBefore += refersTo;
      continue;
    }
    beforeDone = true;
    const std::size_t rest = line.find(' ', line.find(" out:") + 1);
    kept += "in:" + std::to_string(shown - first) + " out:" + std::to_string(coded - first) + line.substr(rest) + '\n';
    ++keptFrames;
  }
  if (header.empty() || keptFrames == 0 || frames - keptFrames != first)
    return "the statistics hold " + std::to_string(frames) + " frames, none from frame " + std::to_string(first);
  if (referenced == 0 || cutree.size() % referenced != 0)
    return "the cu-tree records (" + std::to_string(cutree.size()) + " bytes) do not fit its " +
           std::to_string(referenced) + " referenced frames";
  const std::size_t record = cutree.size() / referenced;
  tailText = header + kept;
  tailCutree = cutree.substr(record * referencedBefore);
  return {};
}

std::string CutStatsFile(const std::string& stats, long first, const std::string& tail) {
  std::string text, cutree, tailText, tailCutree;
  if (!ReadWhole(stats, text) || !ReadWhole(stats + ".cutree", cutree))
    return stats + " or " + stats + ".cutree cannot be read";
  if (std::string e = CutStatsFrom(text, cutree, first, tailText, tailCutree); !e.empty()) return stats + ": " + e;
  std::ofstream(tail, std::ios::binary) << tailText;
  std::ofstream out(tail + ".cutree", std::ios::binary);
  out << tailCutree;
  if (!out.flush()) return tail + ".cutree cannot be written";
  return {};
}

}  // namespace videopass
