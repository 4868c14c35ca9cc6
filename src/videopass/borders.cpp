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
