#pragma once
// Starting the report parser and waiting for files to go away.

#include <chrono>
#include <string>

#include "frame/app_state.h"

namespace ravlo {

// Starts the command line and waits, without time limit, until the process has ended.
// A process that cannot be started is not reported: the caller goes on with whatever the
// process would have written.
void RunAndWait(AppState& app, const std::string& commandLine, WindowStyle style);

// Returns true once no file exists at `path`; false when it is still there after `limit`.
// A deleted file can stay visible while another program still holds it open.
bool WaitUntilGone(AppState& app, const std::string& path, std::chrono::milliseconds limit);

}  // namespace ravlo
