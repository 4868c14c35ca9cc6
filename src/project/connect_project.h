#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Connects the save commands and "Set author..." to their menu items.
void ConnectProjectHandlers(AppState& app);

}  // namespace ravlo
