#pragma once
// videopass first: the first pass of the title in as many segments as there are cores, with
// the frames the trailing segment may come from kept losslessly.
#include <string>

#include "videopass/options.h"
#include "videopass/segment_command.h"

namespace videopass {

// The exit code: 0 when every segment's log holds its frames and the plan is written.
int First(const Options& options);

// The frame rate the chain puts out, from one frame through it; false with the reason.
bool ChainFrameRate(const Options& options, const EncoderWords& words, double& fps, std::string& error);

}  // namespace videopass
