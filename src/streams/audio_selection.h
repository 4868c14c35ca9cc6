#pragma once
// Choosing audio streams: the order lists follow the order of the user's checks.

#include "frame/app_state.h"

namespace ravlo {

// Item `index` of lstAL changed its check mark: its code is added to or removed from
// lstAO_code (with its label in lstAO_name), then the bitrates are recalculated.
void lstAL_ItemCheck(AppState& app, int index);
void cmdASA_Click(AppState& app);  // check every audio stream
void cmdASN_Click(AppState& app);  // uncheck every audio stream

}  // namespace ravlo
