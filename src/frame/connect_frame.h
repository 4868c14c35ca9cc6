#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Connects the window's simple commands (Exit, Help, About, Options checks, codec, web page).
void ConnectFrameHandlers(AppState& app);

}  // namespace ravlo
