#pragma once
// File > Save, Save As, Save & Run.

#include "frame/app_state.h"

namespace ravlo {

void mnuSave_Click(AppState& app);
void mnuSaveAs_Click(AppState& app);
void mnuSaveRun_Click(AppState& app);

}  // namespace ravlo
