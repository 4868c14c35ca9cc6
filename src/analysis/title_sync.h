#pragma once
// txtTitle (the program-chain number) and cmbPGC (its entry) follow each other. Writes that
// leave a value unchanged raise nothing, so the pair settles after one round.

#include "frame/app_state.h"

namespace ravlo {

// A chain was picked: its number goes to txtTitle, and the calculator runs for its length.
void cmbPGC_Click(AppState& app);

// The number changed: the chain with that number is selected ("0" selects none). A text that
// is not a number or names no chain is ignored without a message.
void txtTitle_Change(AppState& app);

}  // namespace ravlo
