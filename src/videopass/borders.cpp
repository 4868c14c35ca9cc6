#include "videopass/borders.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace videopass {

std::vector<long> FirstPassStarts(long frames, int jobs, double decodeShare) {
  // Segment k ends at b(k+1) = T + e * b(k) (its time equals T, decoding from 0 at share d,
  // encoding its own frames at share e = 1 - d); the last one ends at the title's end.
  const int count = static_cast<int>(std::clamp<long>(frames / 50, 1, std::max(jobs, 1)));
  const double e = 1 - decodeShare;
  const double t = count == 1 ? frames : frames * (1 - e) / (1 - std::pow(e, count));
  std::vector<long> starts{0};
  double border = 0;
  for (int k = 1; k < count; ++k) {
    border = t + e * border;
    starts.push_back(std::lround(border));
  }
  return starts;
}

std::vector<long> FirstPassStarts(const std::vector<double>& work, int jobs, double decodeShare) {
  const long frames = static_cast<long>(work.size());
  const int count = static_cast<int>(std::clamp<long>(frames / 50, 1, std::max(jobs, 1)));
  if (count == 1) return {0};
  // The segments a time limit allows, each filled up to it; the least limit that covers the
  // title gives the balanced borders.
  auto cut = [&](double limit, std::vector<long>& starts) {
    starts.assign(1, 0);
    long i = 0;
    while (i < frames) {
      double time = decodeShare * i;
      const long first = i;
      while (i < frames && (i == first || time + work[i] <= limit)) time += work[i++];
      if (i < frames) starts.push_back(i);
    }
    return static_cast<int>(starts.size()) <= count;
  };
  double low = 0, high = 0;
  for (double w : work) high += w;
  std::vector<long> starts;
  for (int round = 0; round < 60; ++round) {
    const double middle = (low + high) / 2;
    if (cut(middle, starts)) high = middle; else low = middle;
  }
  cut(high, starts);
  return starts;
}

std::vector<double> FrameWork(const std::vector<long>& packetSizes, long frames) {
  std::vector<double> work(std::max(frames, 0L), 1.0);
  if (packetSizes.empty() || frames <= 0) return work;
  double mean = 0;
  for (long size : packetSizes) mean += static_cast<double>(size);
  mean /= static_cast<double>(packetSizes.size());
  if (mean <= 0) return work;
  const double perFrame = static_cast<double>(packetSizes.size()) / static_cast<double>(frames);
  for (long i = 0; i < frames; ++i) {
    // The source frames this output frame stands for, on average over a second around it
    // (key frames and B-frames differ more than the pictures do).
    const long centre = std::min<long>(static_cast<long>(i * perFrame), static_cast<long>(packetSizes.size()) - 1);
    const long from = std::max(0L, centre - 12), to = std::min<long>(packetSizes.size(), centre + 13);
    double sum = 0;
    for (long k = from; k < to; ++k) sum += static_cast<double>(packetSizes[k]);
    work[i] = 0.5 + 0.5 * sum / (to - from) / mean;
  }
  return work;
}

int PieceCount(long frames, int cores, int firstSegments) {
  const long most = cores * std::min<long>(8, frames / (kPieceFrames * cores));
  return static_cast<int>(std::max<long>({most, firstSegments, 1}));
}

std::vector<long> PieceStarts(const std::vector<char>& types, long end, int pieces) {
  std::vector<long> starts = {0};
  pieces = static_cast<int>(std::clamp<long>(pieces, 1, std::max(end, 1L)));
  const double length = static_cast<double>(end) / pieces;
  for (int k = 1; k < pieces; ++k) {
    const long wanted = std::lround(k * length);
    const long reach = static_cast<long>(length / 4);
    long best = wanted;
    for (long d = 0; d <= reach; ++d) {
      if (wanted - d > starts.back() && wanted - d < end && types[wanted - d] == 'i') { best = wanted - d; break; }
      if (wanted + d < end && types[wanted + d] == 'i') { best = wanted + d; break; }
    }
    if (best > starts.back() && best < end) starts.push_back(best);
  }
  return starts;
}

long TrailingLength(long frames) {
  const long wanted = std::max<long>(std::lround(frames * 0.04), 50);
  return std::max<long>(std::min(wanted, frames / 4), 1);
}

long TrailingStart(const std::vector<char>& types, long notBefore) {
  const long frames = static_cast<long>(types.size());
  const long length = TrailingLength(frames);
  const long wanted = frames - length;
  const long from = std::max(notBefore + 1, frames - 2 * length);
  const long to = frames - std::max<long>(length / 2, 1);
  // The encoder's regular key-frame distance is the commonest gap between key frames; a key
  // frame closer than that to the one before was placed at a scene change.
  std::map<long, long> gaps;
  long previous = -1;
  for (long i = 0; i < frames; ++i) {
    if (types[i] != 'i') continue;
    if (previous >= 0) ++gaps[i - previous];
    previous = i;
  }
  long regular = 0, most = 0;
  for (const auto& [gap, count] : gaps) {
    if (count > most) regular = gap, most = count;
  }
  long best = -1, bestScore = 0;
  previous = -1;
  for (long i = 0; i < frames; ++i) {
    if (types[i] != 'i') continue;
    const bool cut = previous >= 0 && i - previous < regular;
    previous = i;
    if (i < from || i > to) continue;
    const long score = std::labs(i - wanted) - (cut ? length : 0);
    if (best < 0 || score < bestScore) best = i, bestScore = score;
  }
  if (best >= 0) return best;
  return std::clamp(wanted, std::min(notBefore + 1, frames - 1), frames - 1);
}

}  // namespace videopass
