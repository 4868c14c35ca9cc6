#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Connects the stream lists and their buttons, the audio format options and the audio checks.
void ConnectStreamsHandlers(AppState& app);

}  // namespace ravlo
