#pragma once
// The title's bits shared between segments as libxvid's second pass shares them between the
// frames of one log: what a frame spent on headers in the first pass (which ran at the finest
// quantizer) it keeps, the rest of its length is scaled by one factor for the whole title, a
// key frame's by a tenth more.
#include <utility>
#include <vector>

#include "videopass/pass_log.h"

namespace videopass {

// Bytes each segment (frames [first, end) of the log) gets of `payload`. A payload smaller
// than the headers alone is shared in proportion to them.
std::vector<double> ShareBytes(const std::vector<FrameStat>& frames, const std::vector<std::pair<long, long>>& segments,
                               double payload);

// The bitrate to ask libxvid's second pass for, for `target` bytes of picture over `frames`
// frames at `fps`. A target at or above the first pass's size is asked for at the first pass's
// size: the second pass cannot come out larger than the finest quantizer made it.
double RequestBitrate(double target, long long firstPassBytes, long frames, double fps);

// The next request after measured tries (bitrate, bytes) aiming at `goal` bytes: with one try,
// size taken as bitrate^1.1; with more, the secant through the last two. Never below 1 kbit/s.
struct Try {
  double bitrate;
  double bytes;
};
double NextRequest(const std::vector<Try>& tries, double goal);

}  // namespace videopass
