#pragma once
// The bitrate calculator: length, video bitrate and audio bitrate shown to the user.

#include "frame/app_state.h"

namespace ravlo {

// Recomputes txtSec, txtMin, txtFra, txtVB and txtAB from the selected program chain, the
// video standard, the media size and the audio choices. Each step that fails is skipped.
void RecalculateBitrates(AppState& app);

}  // namespace ravlo
