#include "videopass/source_timing.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

namespace videopass {

std::vector<std::string> SourceTimingCommand(const std::string& source) {
  return {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
          "packet=pts,dts,size,flags:stream=time_base:format=start_time", "-of", "csv=p=1", source};
}

namespace {

bool ToLong(const std::string& text, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0';
}

}  // namespace

SourceTiming ReadSourceTiming(const std::string& listing) {
  SourceTiming timing;
  std::istringstream in(listing);
  std::vector<long long> pts, dts;
  double timeBase = 0, start = 0;
  bool anyDts = true, startKnown = false;
  long sinceKey = -1;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (fields.size() >= 4 && fields[0] == "packet") {
      long long p = 0, d = 0, size = 0;
      if (ToLong(fields[3], size)) timing.sizes.push_back(static_cast<long>(size));
      pts.push_back(ToLong(fields[1], p) ? p : -1);
      if (!ToLong(fields[2], d)) anyDts = false;
      dts.push_back(d);
      const bool key = fields.size() >= 5 && !fields[4].empty() && fields[4][0] == 'K';
      if (key) sinceKey = 0;
      if (sinceKey >= 0) timing.keyGap = std::max(timing.keyGap, ++sinceKey);
    } else if (fields.size() >= 2 && fields[0] == "stream") {
      long long num = 0, den = 0;
      const std::size_t slash = fields[1].find('/');
      if (slash != std::string::npos && ToLong(fields[1].substr(0, slash), num) &&
          ToLong(fields[1].substr(slash + 1), den) && num > 0 && den > 0) {
        timeBase = static_cast<double>(num) / static_cast<double>(den);
      }
    } else if (fields.size() >= 2 && fields[0] == "format") {
      char* end = nullptr;
      start = std::strtod(fields[1].c_str(), &end);
      startKnown = !fields[1].empty() && *end == '\0';
    }
  }
  if (dts.size() < 2 || !anyDts || timing.keyGap == 0 || timeBase <= 0 || !startKnown || pts.front() < 0) return timing;
  const long long step = dts[1] - dts[0];
  if (step <= 0) return timing;
  for (std::size_t i = 1; i < dts.size(); ++i) {
    if (dts[i] - dts[i - 1] != step) return timing;
  }
  // The first packet is the key frame that opens the title; every frame shows after it.
  const long long first = pts.front();
  const long long last = first + step * static_cast<long long>(pts.size() - 1);
  std::set<long long> seen;
  for (long long p : pts) {
    if (p < 0) continue;
    if (p < first || p > last || (p - first) % step != 0 || !seen.insert(p).second) return timing;
  }
  timing.regular = true;
  timing.firstSeconds = static_cast<double>(first) * timeBase;
  timing.startSeconds = start;
  timing.frameSeconds = static_cast<double>(step) * timeBase;
  return timing;
}

SourceTiming ReadSourceTimingFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return ReadSourceTiming(text.str());
}

bool Seekable(const SourceTiming& timing, double fps) {
  return timing.regular && std::fabs(timing.frameSeconds * fps - 1) <= 1e-3;
}

SeekPoint SeekFor(const SourceTiming& timing, long first, double fps) {
  SeekPoint seek;
  const long back = 2 * timing.keyGap + 2;
  if (!Seekable(timing, fps) || first <= back) return seek;
  seek.seconds = timing.firstSeconds - timing.startSeconds + static_cast<double>(first - back) * timing.frameSeconds;
  seek.keepFrom = timing.firstSeconds + (static_cast<double>(first) - 0.5) * timing.frameSeconds;
  return seek;
}

}  // namespace videopass
