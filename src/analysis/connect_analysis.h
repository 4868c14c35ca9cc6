#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Connects "Open IFO", "New", the program-chain pick and the title number's change.
void ConnectAnalysisHandlers(AppState& app);

}  // namespace ravlo
