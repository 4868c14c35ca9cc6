#include "videopass/pass_log.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <cstdlib>
#include <sstream>

namespace videopass {

namespace {

// An MPEG-4 macroblock codes 384 samples: even with every coefficient escape-coded (30 bits) it
// takes 1440 bytes (a first pass of noise at the finest quantizer measured 203).
constexpr long long kMostBytesPerMacroblock = 4096;
// More than an 8K picture has (129600). With both, a frame is under 2^30 bytes, and no log a
// machine can hold sums past a long long.
constexpr long long kMostMacroblocks = 1 << 18;

// A whole number of `word` alone, within [lowest, highest].
bool Whole(const std::string& word, long long lowest, long long highest, long long& value) {
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(word.c_str(), &end, 10);
  return !word.empty() && *end == '\0' && errno == 0 && value >= lowest && value <= highest;
}

}  // namespace

std::string ReadPassLog(const std::string& path, PassLog& log) {
  std::ifstream in(path);
  if (!in) return path + " cannot be read: " + std::strerror(errno);
  log = {};
  long long macroblocks = 0;
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') {
      if (log.frames.empty()) log.header.push_back(line);
      continue;
    }
    std::istringstream read(line);
    std::vector<std::string> words;
    for (std::string word; read >> word;) words.push_back(word);
    const std::string at = path + ": line " + std::to_string(number) + " (\"" +
                           (line.size() <= 60 ? line : line.substr(0, 57) + "...") + "\")";
    long long quantizer = 0, blocks[3] = {}, length = 0, header = 0;
    if (words.size() != 7 || words[0].size() != 1 || std::string("ipbs").find(words[0][0]) == std::string::npos ||
        !Whole(words[1], 1, 31, quantizer) || !Whole(words[2], 0, kMostMacroblocks, blocks[0]) ||
        !Whole(words[3], 0, kMostMacroblocks, blocks[1]) || !Whole(words[4], 0, kMostMacroblocks, blocks[2]) ||
        blocks[0] + blocks[1] + blocks[2] == 0 || blocks[0] + blocks[1] + blocks[2] > kMostMacroblocks) {
      return at + " is not a frame's statistics (TYPE QUANT KBLOCKS MBLOCKS UBLOCKS LENGTH HLENGTH)";
    }
    // Every frame of a title has the picture's size.
    const long long counted = blocks[0] + blocks[1] + blocks[2];
    if (macroblocks == 0) macroblocks = counted;
    if (counted != macroblocks) {
      return at + " counts " + std::to_string(counted) + " macroblocks where the frames before it count " +
             std::to_string(macroblocks);
    }
    const long long most = macroblocks * kMostBytesPerMacroblock;
    const char* const names[] = {"length", "header length"};
    long long* const values[] = {&length, &header};
    for (int i = 0; i < 2; ++i) {
      if (!Whole(words[5 + i], 1 - i, most, *values[i])) {
        return at + ": a frame of " + std::to_string(macroblocks) + " macroblocks has a " + names[i] + " of " +
               std::to_string(1 - i) + " to " + std::to_string(most) + " bytes, not " + words[5 + i];
      }
    }
    log.frames.push_back({words[0][0], length, header, line});
  }
  if (in.bad()) return path + " cannot be read";
  return "";
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

namespace {

// Whether every frame an encode's report names had a quantizer that `at` accepts; false for a
// report that cannot be read or names no frame.
bool EveryQuantizer(const std::string& vstatsPath, bool (*at)(double)) {
  std::ifstream in(vstatsPath);
  std::string line;
  long frames = 0;
  while (std::getline(in, line)) {
    const std::size_t where = line.find(" q=");
    if (where == std::string::npos) continue;
    if (!at(std::strtod(line.c_str() + where + 3, nullptr))) return false;
    ++frames;
  }
  return frames > 0;
}

}  // namespace

bool AllAtFinestQuantizer(const std::string& vstatsPath) {
  return EveryQuantizer(vstatsPath, [](double q) { return q <= 2.0; });
}

bool AllAtCoarsestQuantizer(const std::string& vstatsPath) {
  return EveryQuantizer(vstatsPath, [](double q) { return q >= 31.0; });
}

double ShareAtCoarsestQuantizer(const std::string& vstatsPath) {
  std::ifstream in(vstatsPath);
  std::string line;
  long frames = 0, coarsest = 0;
  while (std::getline(in, line)) {
    const std::size_t where = line.find(" q=");
    if (where == std::string::npos) continue;
    ++frames;
    if (std::strtod(line.c_str() + where + 3, nullptr) >= 31.0) ++coarsest;
  }
  return frames > 0 ? static_cast<double>(coarsest) / frames : 0;
}

}  // namespace videopass
