#include "videopass/pass_log.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <cstdlib>
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
    log.frames.push_back({type[0], fields[4], fields[5], line});
  }
  return true;
}

void AppendFrames(PassLog& log, const PassLog& more) {
  if (log.header.empty()) log.header = more.header;
  log.frames.insert(log.frames.end(), more.frames.begin(), more.frames.end());
}

bool WriteSegmentLog(const std::string& path, const PassLog& log, long first, long end) {
  std::ofstream out(path);
  for (const std::string& line : log.header) out << line << '\n';
  const long frames = static_cast<long>(log.frames.size());
  for (long i = first; i < end; ++i) out << log.frames[i].line << '\n';
  for (long i = end; i < frames; ++i) out << log.frames[i].line << '\n';
  for (long i = 0; i < first; ++i) out << log.frames[i].line << '\n';
  return static_cast<bool>(out.flush());
}

long long FirstPassBytes(const PassLog& log, long first, long end) {
  long long sum = 0;
  for (long i = first; i < end; ++i) sum += log.frames[i].length;
  return sum;
}

std::vector<long long> ReportedFrameBytes(const std::string& vstatsPath) {
  std::ifstream in(vstatsPath);
  std::vector<long long> bytes;
  std::string line;
  while (std::getline(in, line) && !in.eof()) {
    const std::size_t at = line.find(" f_size=");
    if (at != std::string::npos) bytes.push_back(std::atoll(line.c_str() + at + 8));
  }
  return bytes;
}

bool AllAtFinestQuantizer(const std::string& vstatsPath) {
  std::ifstream in(vstatsPath);
  std::string line;
  long frames = 0;
  while (std::getline(in, line)) {
    const std::size_t at = line.find(" q=");
    if (at == std::string::npos) continue;
    if (std::strtod(line.c_str() + at + 3, nullptr) > 2.0) return false;
    ++frames;
  }
  return frames > 0;
}

}  // namespace videopass
