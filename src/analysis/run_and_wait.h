#pragma once
// Starting the report parser and waiting for files to go away.

#include <chrono>
#include <string>

#include "frame/app_state.h"

namespace ravlo {

// Starts the command line and waits until the process has ended, at most `limit`; past it
// the process is ended. The caller decides what a process that did not start or did not end
// means for what it would have written.
RunOutcome RunAndWait(AppState& app, const std::string& commandLine, WindowStyle style,
                      std::chrono::milliseconds limit);

// Returns true once no file exists at `path`; false when it is still there after `limit`.
// A deleted file can stay visible while another program still holds it open.
bool WaitUntilGone(AppState& app, const std::string& path, std::chrono::milliseconds limit);

}  // namespace ravlo
