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

// The main segments' next common request after their tries: as NextRequest, except that from
// one try that came out too large the picture is taken to shrink only as bitrate^0.6 (an easy
// picture shrinks less than its request: 3.7% less request gave 2.1% fewer bytes). The next
// run then rather lands under than over its goal: the trailing segment makes up a shortfall far
// more easily than an excess.
double NextMainRequest(const std::vector<Try>& tries, double goal);

// The main segments' runs as they were tried: measured whole, or foreseen from where a run
// stopped part-way was heading. A run's first part may come out coarser or finer than its
// rest, so once a whole run is measured the foreseen ones no longer count: a line through a
// foreseen and a measured point can point far off.
class MainTries {
 public:
  void Foreseen(double bitrate, double bytes);  // ignored once a run was measured
  void Measured(double bitrate, double bytes);
  bool AnyMeasured() const { return measured_; }
  // NextMainRequest over the tries that count. From foreseen runs alone: NextRequest (a run
  // foreseen 14% over its shares, aimed from it by the weak shrink, came out 12% under), and a
  // step goes at most to half or double the last request (two forecasts close together can
  // point a line far off: twice 111% of the shares at requests a fifth apart once pointed at
  // 1 kbit/s).
  double Next(double goal) const;

 private:
  std::vector<Try> tries_;
  bool measured_ = false;
};

}  // namespace videopass
