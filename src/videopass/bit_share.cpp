#include "videopass/bit_share.h"

#include <algorithm>
#include <cmath>

namespace videopass {

std::vector<double> ShareBytes(const std::vector<FrameStat>& frames, const std::vector<std::pair<long, long>>& segments,
                               double payload) {
  // libxvid's keyframe boost, 10% by default.
  constexpr double kKeyBoost = 1.1;
  auto header = [](const FrameStat& frame) { return static_cast<double>(std::clamp(frame.header, 0LL, frame.length)); };
  auto weight = [&](const FrameStat& frame) {
    return (static_cast<double>(frame.length) - header(frame)) * (frame.type == 'i' ? kKeyBoost : 1.0);
  };
  double headers = 0, weights = 0;
  for (const FrameStat& frame : frames) {
    headers += header(frame);
    weights += weight(frame);
  }
  const bool fixedOnly = payload < headers || weights <= 0;
  const double scale = fixedOnly ? (headers > 0 ? payload / headers : 0) : (payload - headers) / weights;
  std::vector<double> shares;
  for (const auto& [first, end] : segments) {
    double share = 0;
    for (long i = first; i < end; ++i) {
      share += fixedOnly ? header(frames[i]) * scale : header(frames[i]) + weight(frames[i]) * scale;
    }
    shares.push_back(share);
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
