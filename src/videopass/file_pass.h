#pragma once
// One pass of x264, x265 or SVT-AV1 over a whole title, and the file its video goes into with
// the title's tracks: what the one-file road and several titles on one medium share.
#include <string>
#include <vector>

#include "videopass/encoder_jobs.h"
#include "videopass/options.h"
#include "videopass/segment_command.h"

namespace videopass {

// Below this the encoders cannot make a watchable picture, nor follow the request.
inline constexpr double kLeastBitrate = 16000;

std::string Bitrate(double bitsPerSecond);

// The first pass's statistics of the title whose segments' folder is options.folder.
std::string Stats(const Options& options);
// The file the encoder of options.codec keeps them in (x264 and SVT-AV1 add "-0.log").
std::string StatsFile(const Options& options);

// A part of the title's frames, for a pass that makes it alone: frames [first, end) (end 0: to
// the last), counted as they reach the encoder; a key frame forced at `keyFrame` (0: none) that
// closes what comes before it, so that the title can be made again from there; the statistics
// at `stats` instead of the title's.
struct PassPart {
  long first = 0;
  long end = 0;
  long keyFrame = 0;
  std::string stats;
};

// The encode of pass 1 or 2 at a bitrate into `output`, counted against `frames`.
EncoderJob PassJob(const Options& options, const EncoderWords& words, int pass, double bitrate,
                   const std::vector<std::string>& output, long frames, const PassPart& part = {});

// Runs the pass with its progress on `progress`; "" when it made `frames` frames (any number
// when 0), else why not.
std::string RunPass(const EncoderJob& job, const std::string& title, long frames, ProgressLine& progress);

// Puts VIDEO and the title's tracks into OUT with the project's mux script (options.mux), the
// tracks in the title's `folder` ("" for the project's own); "" when the file was written.
std::string Mux(const Options& options, const std::string& video, const std::string& out,
                const std::string& folder = {});

// The first pass's frame rate and frames, kept in the segments' folder for the second, and the
// key frame from which the title's end can be made again on its own (0: none).
bool WriteRecord(const Options& options, double fps, long frames, long tailFrame = 0);
bool ReadRecord(const Options& options, double& fps, long& frames, long* tailFrame = nullptr);
std::string RecordPath(const Options& options);

}  // namespace videopass
