#pragma once
// Audio output format and quality: the controls of the format, kept consistent.

#include "frame/app_state.h"

namespace ravlo {

void ApplyAudioFormat(AppState& app);
void chkOrig_Click(AppState& app);
void chk51_Click(AppState& app);
// Sets OggQuality from the quality text; asks the user for a value that is not in the list.
void ResolveOggQuality(AppState& app);

}  // namespace ravlo
