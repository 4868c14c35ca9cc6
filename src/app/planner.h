#pragma once
// The composition root of the planner: every event connected to its handler, and start-up.

#include "frame/app_state.h"

namespace ravlo {

// Connects every field event of the window to the handler of its subsystem.
void ConnectHandlers(AppState& app);

// The start-up of the main window (Form_Load), with the audio controls as its step 7.
void LoadMainForm(AppState& app);

// ConnectHandlers, then LoadMainForm: what scripted mode does before its actions.
void StartPlanner(AppState& app);

}  // namespace ravlo
