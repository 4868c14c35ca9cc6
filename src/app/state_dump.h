#pragma once
#include "app/text_sink.h"
#include "frame/app_state.h"

namespace ravlo {

// The whole state as NAME=VALUE lines: every field in table order (items as NAME[i]=TEXT,
// check marks as NAME[i].checked, flags as NAME.enabled / NAME.visible), then AppGlobals.
void DumpState(const AppState& app, TextSink& out);

}  // namespace ravlo
