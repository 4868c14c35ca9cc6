#pragma once
// Start-up of the planner: the process-wide strings, tool paths, tools-folder preparation,
// the audio controls and the first-run help page.

#include <functional>

#include "frame/app_state.h"

namespace ravlo {

// `setUpAudioControls` is step 7 (the audio format's quality list); the composition root
// passes the audio-format handler, which lives in a subsystem that builds on this one.
void Form_Load(AppState& app, const std::function<void()>& setUpAudioControls);

void ApplyToolPaths(AppState& app);
void PrepareToolsFolder(AppState& app);
void ShowFirstRunHelp(AppState& app);

}  // namespace ravlo
