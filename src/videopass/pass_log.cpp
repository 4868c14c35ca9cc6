#include "videopass/pass_log.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace videopass {

bool ReadPassLog(const std::string& path, PassLog& log) {
  std::ifstream in(path);
  if (!in) return false;
  log = {};
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') {
      if (log.frames.empty()) log.header.push_back(line);
      continue;
    }
    std::istringstream words(line);
    std::string type;
    long long fields[6] = {};
    words >> type;
    for (long long& field : fields) words >> field;
    if (!words || type.size() != 1) return false;
    log.frames.push_back({type[0], fields[4], line});
  }
  return true;
}

void AppendFrames(PassLog& log, const PassLog& more) {
  if (log.header.empty()) log.header = more.header;
  log.frames.insert(log.frames.end(), more.frames.begin(), more.frames.end());
}

std::string ScaledLine(const FrameStat& frame, double scale) {
  if (scale == 1) return frame.line;
  std::istringstream words(frame.line);
  std::string type;
  long long fields[6] = {};
  words >> type;
  for (long long& field : fields) words >> field;
  std::ostringstream line;
  line << type;
  for (int i = 0; i < 6; ++i) {
    line << ' ' << (i >= 4 ? std::max(1LL, std::llround(fields[i] * scale)) : fields[i]);
  }
  return line.str();
}

bool WritePassLog(const std::string& path, const PassLog& log, long first, long end, double scale) {
  std::ofstream out(path);
  for (const std::string& line : log.header) out << line << '\n';
  for (long i = first; i < end; ++i) out << ScaledLine(log.frames[i], scale) << '\n';
  return static_cast<bool>(out.flush());
}

bool WritePassLog(const std::string& path, const PassLog& log, long first, long end, const std::vector<double>& scales) {
  std::ofstream out(path);
  for (const std::string& line : log.header) out << line << '\n';
  for (long i = first; i < end; ++i) out << ScaledLine(log.frames[i], scales[i]) << '\n';
  return static_cast<bool>(out.flush());
}

std::vector<double> FrameScales(const PassLog& log, long headEnd, double headScale, long tailFirst, double tailScale) {
  const long frames = static_cast<long>(log.frames.size());
  auto mean = [&](long from, long to) {
    from = std::max(from, 0L);
    to = std::min(to, frames);
    return to > from ? std::max(1.0, static_cast<double>(FirstPassBytes(log, from, to)) / (to - from)) : 1.0;
  };
  const double head = std::log(mean(0, headEnd)), tail = std::log(mean(tailFirst, frames));
  std::vector<double> scales(frames);
  constexpr long kAround = 12;
  for (long i = 0; i < frames; ++i) {
    double weight = i * 2 < frames ? 0 : 1;
    if (std::fabs(tail - head) > 0.2) {
      weight = std::clamp((std::log(mean(i - kAround, i + kAround + 1)) - head) / (tail - head), 0.0, 1.0);
    }
    scales[i] = std::exp((1 - weight) * std::log(headScale) + weight * std::log(tailScale));
  }
  return scales;
}

long long FirstPassBytes(const PassLog& log, long first, long end) {
  long long sum = 0;
  for (long i = first; i < end; ++i) sum += log.frames[i].length;
  return sum;
}

}  // namespace videopass
