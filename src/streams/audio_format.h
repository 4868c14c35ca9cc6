#pragma once
// Audio output format and quality: the controls of the format, kept consistent.

#include "frame/app_state.h"

namespace ravlo {

// Sets up "Original", "5.1 (6ch)" and the quality list and text for the selected format
// (AC3, MP3, OGG, then the Linux road's AAC and
// Opus, looked at in that order); nothing when none is selected.
void ApplyAudioFormat(AppState& app);
// "Original" rule: unconverted audio has no quality and no 5.1 choice.
void chkOrig_Click(AppState& app);
// "5.1" rule: six-channel output has no channel mode.
void chk51_Click(AppState& app);

}  // namespace ravlo
