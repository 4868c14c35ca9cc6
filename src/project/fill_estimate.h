#pragma once
// What a medium can hold of the title, known before anything is encoded: the least medium the
// job can fit the title into, and the most of a medium it can fill. Both from the chain's
// length, its picture and the audio the plan makes, on the codec's measured extremes. The
// job itself measures; these only keep the user from starting a job that cannot end well.

#include <optional>
#include <string>

#include "project/project_plan.h"

namespace ravlo {

// The most bytes a frame of a DVD picture takes at the finest quantizer, per 16x16
// macroblock. Measured with libxvid at quantizer 2 on the hardest picture a DVD carries well
// (a moving test pattern under fresh noise, MPEG-2 at 8 Mbit/s): 78 bytes on 640x360, 70 on
// 720x576. A film takes far less; so the fill a job can reach is at most this.
inline constexpr double kMostBytesPerMacroblock = 80;
// ffmpeg gives libxvid a key frame every 12 frames.
inline constexpr int kFramesPerKeyFrame = 12;
// Below this share of the medium a job is worth a word before it starts.
inline constexpr double kLowFillPercent = 90;

struct TitleSizes {
  double leastBytes = 0;  // video at the codec's smallest, and the audio at its least
  double mostBytes = 0;   // video at its best quality on the hardest picture, and the audio
};

// Nothing when the chain's length is not known.
std::optional<TitleSizes> EstimateTitleSizes(const ProjectPlan& plan);

// The smallest medium in MB, as the user is told it (up to the next 0.01 MB).
std::string LeastMediumText(const TitleSizes& sizes);

// The warning before a job that cannot fill more than kLowFillPercent of the medium, saying
// the fill to expect; nothing when it can.
std::optional<std::string> LowFillWarning(const ProjectPlan& plan);

// "1:30" or "1:02:03".
std::string LengthText(double seconds);

}  // namespace ravlo
