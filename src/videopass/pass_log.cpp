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

long long FirstPassBytes(const PassLog& log, long first, long end) {
  long long sum = 0;
  for (long i = first; i < end; ++i) sum += log.frames[i].length;
  return sum;
}

}  // namespace videopass
