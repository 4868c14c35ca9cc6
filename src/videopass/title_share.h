#pragma once
// How several titles share one medium: their first passes are read as one, and each title gets
// the bits the encoder's two-pass rule would give its frames were all the titles one film. So a
// still picture and a noisy one end at the same quality, not at the same bitrate.
#include <string>
#include <vector>

namespace videopass {

// One frame of a first pass as x264 and x265 keep it in their statistics: its quantizer and
// the bits it took for texture, motion and the rest.
struct FrameCost {
  double qp = 0;
  double tex = 0;
  double mv = 0;
  double misc = 0;
};

// The frames of a statistics file ("in:.. q:.. tex:.. mv:.. misc:.." lines after "#options");
// "" when it holds some, else why not, naming the file.
std::string ReadFrameCosts(const std::string& file, std::vector<FrameCost>& frames);

// The bits each title takes of `totalBits`: one rate factor for all frames of all titles, the
// frame's quantizer following its complexity to the power the encoders use (1 - qcomp, 0.4),
// its bits scaling from the first pass's as the encoders model them.
std::vector<double> ShareBits(const std::vector<std::vector<FrameCost>>& titles, double totalBits);

}  // namespace videopass
