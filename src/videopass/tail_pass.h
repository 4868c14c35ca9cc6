#pragma once
// The second pass of one file's H.265 video in two parts: the title up to the key frame its first
// pass forced, at the bitrate that fills the medium, then its end from that key frame on, asked
// for what the medium has left. Where the encoder misses, only the end is made again.
#include <string>

#include "videopass/options.h"
#include "videopass/segment_command.h"

namespace videopass {

struct TailResult {
  int code = -1;            // the second pass's exit code; -1: make the title whole instead
  double wholeBitrate = 0;  // the bitrate to start those whole runs at
};

TailResult SecondWithTail(const Options& options, const EncoderWords& words, double fps, long frames, long tailFrame,
                          double bitrate);

}  // namespace videopass
