#pragma once
// The title's bits shared between segments as one two-pass encode shares them between frames:
// in proportion to what each took in the first pass, which ran at the finest quantizer.
#include <vector>

namespace videopass {

// Bytes each segment gets of `payload`, in proportion to its first-pass bytes.
std::vector<double> ShareBytes(const std::vector<long long>& firstPassBytes, double payload);

// The bitrate to ask libxvid's second pass for, for `target` bytes of picture over `frames`
// frames at `fps` (libxvid lands near it once the first-pass lengths are scaled to the
// picture, see ScaledLine). A target at or above the first pass's size is asked for at the first pass's
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
