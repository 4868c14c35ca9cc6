#pragma once
// What a run tells: the stage lines on the terminal, log.txt's stage times, size.log's sizes,
// and its failures.
#include <string>

#include "videopass/options.h"

namespace videopass {

// A file's bytes, -1 when it is missing.
long long FileBytes(const std::string& path);

// A stage begun again (a correction): its header line and its line in log.txt, as Stage does.
void StageAgain(const Options& options, const std::string& name, const std::string& note);

// A line of sizes, on the terminal and in size.log.
void SizeLine(const Options& options, const std::string& line);

// Says why the run failed; the exit code of a failure.
int Fail(const std::string& reason);

// `total` as a percentage of `medium`, two decimals.
std::string Percent(long long total, long long medium);

}  // namespace videopass
