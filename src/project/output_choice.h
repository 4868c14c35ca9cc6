#pragma once
// The codec and the container of the Linux road kept consistent as the user picks them: XviD
// goes into AVI and AVI takes only XviD, so picking one of them brings the other along, and
// leaving one brings H.264 in MKV.

#include "frame/app_state.h"

namespace ravlo {

void cmbVideo_Change(AppState& app);
void cmbContainer_Change(AppState& app);

}  // namespace ravlo
