#pragma once
// The video of one file (H.264, H.265 or AV1 in MKV or MP4): one encoder over the whole title
// in each pass, as x264 and x265 keep every core busy by themselves. Each run of the second
// pass is put into the file with the tracks (by the project's mux script) and measured there,
// container included, until the file fills the medium within [99.5%, 100%].
#include <string>
#include <vector>

#include "videopass/options.h"

namespace videopass {

class ProgressLine;

int OneFileFirst(const Options& options);
// The first pass of the title of options (its source, duration, words, segments' folder, made) at
// `fps`, its progress on `progress`, a key frame at `tailFrame` when not 0; "" when it ran whole
// and kept its statistics, else why not.
std::string TitleFirstPass(const Options& options, double fps, ProgressLine& progress, long tailFrame = 0);

// x265 lands a second pass a percent or more off what it is asked for, and it has no rate
// tolerance to narrow that. So its second pass makes the title up to a key frame first, then
// the end from there on at what the medium has left; a run off the window makes the end again,
// not the whole title. The end is this share of the frames.
inline constexpr double kTailShare = 0.15;
// The key frame the first pass of options.codec at `fps` forces for that (0: none).
long TailFrame(const Options& options, double fps);
int OneFileSecond(const Options& options);

// Where a run aims within the window: its middle, as the encoders land within a few tenths
// of a percent of what they are asked for.
inline constexpr double kFileAim = 0.9975;
inline constexpr int kFileRuns = 4;

// One run of the second pass as measured.
struct FileRun {
  double bitrate = 0;          // asked of the encoder, bits a second
  long long videoBytes = 0;    // the encoder's file
  long long fileBytes = 0;     // the one file with the tracks
};

// The end of runs that never landed in the window: a file over the medium is removed and the
// pass fails (1); one short of it is kept, said in size.log (0).
int MissedAfterRuns(const Options& options, long long fileBytes, long long medium);

// The bitrate of the next run: what the file holds beside the video (the tracks and the
// container, measured) stays, and the video is scaled to the room left at the aim. 0 when
// nothing is left for the video.
double NextFileBitrate(const FileRun& last, long long medium);

// The encoder words of a pass (1 or 2) at a bitrate, with its statistics at `stats`.
std::vector<std::string> PassWords(const std::string& codec, int pass, double bitrate, const std::string& stats);

}  // namespace videopass
