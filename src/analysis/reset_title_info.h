#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Clears the title information, the stream lists, the lengths and the bitrates, and disables
// the save commands. Preferences and IfoPath stay as they are.
void ResetTitleInfo(AppState& app);

// "New".
void mnuNew_Click(AppState& app);

}  // namespace ravlo
