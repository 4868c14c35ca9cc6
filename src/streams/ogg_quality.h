#pragma once
// The OGG quality the converter gets, resolved from the quality text at save time.

#include "frame/app_state.h"

namespace ravlo {

// Sets OggQuality from the quality text; asks the user (input box) for a typed bitrate that
// is not in the list, taking the answer as typed (a cancel leaves it empty). Does nothing,
// keeping the previous value, unless an OGG conversion is planned: at least one audio stream
// chosen, OGG the format, "Original" unchecked.
void ResolveOggQuality(AppState& app);

}  // namespace ravlo
