#pragma once
// Options > Set author...: the 17-character text the batch writes into the audio files.

#include "frame/app_state.h"

namespace ravlo {

void mnuSetAuthor_Click(AppState& app);

}  // namespace ravlo
