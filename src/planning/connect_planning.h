#pragma once
#include "frame/app_state.h"

namespace ravlo {

// Connects every trigger of the calculator (media size, quality, standard) to it.
void ConnectPlanningHandlers(AppState& app);

}  // namespace ravlo
