#pragma once
// Choosing audio streams: the order lists follow the order of the user's checks.

#include "frame/app_state.h"

namespace ravlo {

// Item `index` of lstAL changed its check mark: its code is added to or removed from
// lstAO_code (with its label in lstAO_name), then the bitrates are recalculated.
void lstAL_ItemCheck(AppState& app, int index);
void cmdASA_Click(AppState& app);  // check every audio stream
void cmdASN_Click(AppState& app);  // uncheck every audio stream

// The language of the desktop, as a two-letter code ("de" for LANGUAGE=de_AT:de or
// LANG=de_DE.UTF-8); empty for the C locale or none.
std::string DesktopLanguage(Platform& platform);

// A disc just opened on the Linux road: checks the first audio stream in the desktop's
// language, or the disc's first stream when it has none in it, so that no movie is silent
// by oversight. Nothing when a stream is checked already or none can be chosen.
void CheckDesktopLanguageStream(AppState& app);

}  // namespace ravlo
