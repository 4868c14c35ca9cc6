#pragma once
// The simple commands of the main window.

#include "frame/app_state.h"

namespace ravlo {

void mnuExit_Click(AppState& app);
void mnuHelp_Click(AppState& app);
void mnuAbout_Click(AppState& app);
void chkDelTemp_Click(AppState& app);
void chkDelLogs_Click(AppState& app);
void chkShutDown_Click(AppState& app);
void cmdCfgCodec_Click(AppState& app);
void cmdJO_Click(AppState& app);

}  // namespace ravlo
