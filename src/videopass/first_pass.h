#pragma once
// videopass first: the first pass of the title in as many segments as there are cores, with
// the frames the trailing segment may come from kept losslessly.
#include "videopass/options.h"

namespace videopass {

// The exit code: 0 when every segment's log holds its frames and the plan is written.
int First(const Options& options);

}  // namespace videopass
