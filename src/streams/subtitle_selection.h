#pragma once
// Choosing subtitle streams: the order lists follow the order of the user's checks.

#include "frame/app_state.h"

namespace ravlo {

// Item `index` of lstSL changed its check mark: its code is added to or removed from
// lstSO_code (with its label in lstSO_name).
void lstSL_ItemCheck(AppState& app, int index);
void cmdSSA_Click(AppState& app);  // check every subtitle stream
void cmdSSN_Click(AppState& app);  // uncheck every subtitle stream

}  // namespace ravlo
