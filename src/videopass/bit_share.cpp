#include "videopass/bit_share.h"

#include <algorithm>
#include <cmath>

namespace videopass {

std::vector<double> ShareBytes(const std::vector<long long>& firstPassBytes, double payload) {
  double sum = 0;
  for (long long bytes : firstPassBytes) sum += static_cast<double>(bytes);
  std::vector<double> shares;
  for (long long bytes : firstPassBytes) {
    shares.push_back(sum > 0 ? payload * static_cast<double>(bytes) / sum : payload / firstPassBytes.size());
  }
  return shares;
}

double RequestBitrate(double target, long long firstPassBytes, long frames, double fps) {
  const double perByte = 8 * fps / std::max(frames, 1L);
  return std::min(target, static_cast<double>(firstPassBytes)) * perByte;
}

double NextRequest(const std::vector<Try>& tries, double goal) {
  const Try& last = tries.back();
  double next;
  if (tries.size() == 1 || tries[tries.size() - 2].bytes == last.bytes) {
    next = last.bitrate * std::exp(std::log(goal / std::max(last.bytes, 1.0)) / 1.1);
  } else {
    const Try& before = tries[tries.size() - 2];
    next = last.bitrate + (goal - last.bytes) * (last.bitrate - before.bitrate) / (last.bytes - before.bytes);
    // A secant through noisy points can point the wrong way; then scale as with one try.
    if (!std::isfinite(next) || (next - last.bitrate) * (goal - last.bytes) < 0) {
      next = last.bitrate * std::exp(std::log(goal / std::max(last.bytes, 1.0)) / 1.1);
    }
  }
  return std::max(next, 1000.0);
}

}  // namespace videopass
