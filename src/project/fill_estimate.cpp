#include "project/fill_estimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ravlo {
namespace {

constexpr double kBytesPerMB = 1024 * 1024;

struct Picture {
  int width, height;
};

// The picture the encoder gets: the resize's, or the disc's (crop only makes it smaller).
Picture EncodedPicture(const ProjectPlan& plan) {
  if (plan.resize && plan.aspect != PlannedAspect::None) {
    return {640, plan.aspect == PlannedAspect::Wide ? 360 : 480};
  }
  return {720, plan.standard == PlannedStandard::Ntsc ? 480 : 576};
}

// Audio bytes a second, from the least and the most the streams can take. A converted stream
// has its bitrate (OGG's list value is its nominal one); the disc's own streams are copied,
// at most AC3's 448 kbit/s or LPCM's 6144, and at least nothing that is known.
void AudioBytesPerSecond(const ProjectPlan& plan, double& least, double& most) {
  least = most = 0;
  for (const PlannedStream& stream : plan.audio) {
    if (plan.Converts()) {
      least += plan.audioKbps * 1000.0 / 8;
      most += plan.audioKbps * 1000.0 / 8;
    } else {
      most += (stream.id >= 0xA0 ? 6144 : 448) * 1000.0 / 8;
    }
  }
}

std::string Megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", std::ceil(bytes / kBytesPerMB * 100) / 100);
  return text;
}

}  // namespace

std::string LengthText(double seconds) {
  const long total = std::lround(seconds);
  char text[32];
  if (total >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
  }
  return text;
}

std::optional<TitleSizes> EstimateTitleSizes(const ProjectPlan& plan) {
  if (!(plan.seconds > 0)) return std::nullopt;
  const bool ntsc = plan.standard == PlannedStandard::Ntsc;
  // NTSC film is found by the job itself (soft telecine): the fewer frames for the least.
  const double film = 24000.0 / 1001, video = 30000.0 / 1001;
  const double fewestFrames = std::ceil(plan.seconds * (ntsc ? film : 25));
  const double mostFrames = std::ceil(plan.seconds * (!ntsc ? 25 : plan.ivtc || plan.forceFilm ? film : video));
  const double keyFrames = std::ceil(fewestFrames / kFramesPerKeyFrame);
  const Picture picture = EncodedPicture(plan);
  const double macroblocks = std::ceil(picture.width / 16.0) * std::ceil(picture.height / 16.0);
  double audioLeast = 0, audioMost = 0;
  AudioBytesPerSecond(plan, audioLeast, audioMost);

  TitleSizes sizes;
  sizes.leastBytes = kAviHeaderBytes + fewestFrames * kAviBytesPerFrame + keyFrames * kSmallestKeyFrameBytes +
                     (fewestFrames - keyFrames) * kSmallestFrameBytes + audioLeast * plan.seconds;
  sizes.mostBytes = kAviHeaderBytes + mostFrames * (kAviBytesPerFrame + macroblocks * kMostBytesPerMacroblock) +
                    audioMost * plan.seconds;
  return sizes;
}

std::string LeastMediumText(const TitleSizes& sizes) { return Megabytes(sizes.leastBytes); }

std::optional<std::string> LowFillWarning(const ProjectPlan& plan) {
  const auto sizes = EstimateTitleSizes(plan);
  const double mediumBytes = plan.mediaMB * kBytesPerMB;
  if (!sizes || !(mediumBytes > 0) || sizes->mostBytes >= mediumBytes * kLowFillPercent / 100) return std::nullopt;
  const double percent = std::floor(100 * sizes->mostBytes / mediumBytes);
  char fill[16];
  std::snprintf(fill, sizeof fill, "%.0f%%", std::max(percent, 1.0));
  return "The title cannot fill the medium of " + plan.mediaText + " MB: even at the best quality its " +
         LengthText(plan.seconds) + " take about " + Megabytes(sizes->mostBytes) +
         " MB at most.\nExpect a fill of " + fill + " at most; a smaller medium is filled better.";
}

}  // namespace ravlo
