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

// False when there is no plan or it cannot be read.
bool ReadPlan(const Options& options, double& fps, std::vector<long>& starts, long& tailFrom, SourceTiming& timing);

// The name libxvid's first-pass log of segment k takes (ffmpeg adds "-0.log").
std::string FirstLogName(std::size_t k);

}  // namespace videopass
