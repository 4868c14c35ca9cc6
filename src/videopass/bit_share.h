#pragma once
// The title's bits shared between segments as one two-pass encode shares them between frames:
// in proportion to what each took in the first pass, which ran at the finest quantizer.
#include <vector>

namespace videopass {

// Bytes each segment gets of `payload`, in proportion to its first-pass bytes.
std::vector<double> ShareBytes(const std::vector<long long>& firstPassBytes, double payload);

// libxvid's second pass starts under its request and makes up only gradually: measured on
// a noisy 640x360 chain, a segment of 50 frames came out at 0.41-0.49 of its request, 300 at
// 0.55-0.72, 600 at 0.69-0.84 and 1200 at 0.83-0.92, a shortfall of a roughly fixed number of
// frames' worth that builds up over the first few hundred frames and then stays. How many
// depends on the picture (a still one lands over its request: a negative shortfall); a short
// encode of the title's own frames measures it.
constexpr double kDeficitFrames = 150;  // before anything is measured
double Landing(long frames, double deficitFrames);
// The shortfall (in frames' worth) that a segment of `frames` frames landing at `landing` shows.
double DeficitFrames(double landing, long frames);

// The bitrate to ask libxvid's second pass for, for `target` bytes of picture over `frames`
// frames at `fps`. A target at or above the first pass's size is asked for at the first pass's
// size: the second pass cannot come out larger than the finest quantizer made it.
double RequestBitrate(double target, long long firstPassBytes, long frames, double fps,
                      double deficitFrames = kDeficitFrames);

// The next request after measured tries (bitrate, bytes) aiming at `goal` bytes: with one try,
// size taken as bitrate^1.1; with more, the secant through the last two. Never below 1 kbit/s.
struct Try {
  double bitrate;
  double bytes;
};
double NextRequest(const std::vector<Try>& tries, double goal);

}  // namespace videopass
