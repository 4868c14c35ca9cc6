#pragma once
// The plan of the first pass, which the second keeps (plan.txt in the segments' folder): the
// chain's rate, where the trailing segment's frames begin, how the source seeks, and the
// segments' first frames.
#include <string>
#include <vector>

#include "videopass/options.h"
#include "videopass/source_timing.h"

namespace videopass {

bool WritePlan(const Options& options, double fps, const std::vector<long>& starts, long tailFrom,
               const SourceTiming& timing);

// Reads the plan as WritePlan wrote it; "" or why it cannot be taken, naming the file: it is
// missing (the first pass has not run) or cannot be read, or a line is out of its place or holds
// what no first pass writes (a rate that is not a positive number of at most 1000, a negative
// frame, starts that do not rise from 0).
std::string ReadPlan(const Options& options, double& fps, std::vector<long>& starts, long& tailFrom,
                     SourceTiming& timing);

// The name libxvid's first-pass log of segment k takes (ffmpeg adds "-0.log").
std::string FirstLogName(std::size_t k);

}  // namespace videopass
