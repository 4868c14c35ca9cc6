#pragma once
// The five files a save writes into ProjectFolder. Each writer reads the settings and the
// process-wide strings itself, builds its file in memory and writes it in one go; a file
// that cannot be written is recorded in the report, and the save goes on.

#include "frame/app_state.h"
#include "frame/constants.h"
#include "project/save_report.h"

namespace ravlo {

// The host name the audio converter writes into every file it makes; the batch's author
// step searches for it and puts AuthorText in its place.
inline constexpr const char* ConverterSignature = kConverterSignature;

void WriteFrameServerScript(AppState& app, SaveReport& report);    // project.avs
void WriteStreamList(AppState& app, SaveReport& report);           // project.lst
void WriteSubtitleParameters(AppState& app, SaveReport& report);   // subparam
void WriteProjectBatch(AppState& app, SaveReport& report);         // project.bat
void WritePlaybackScript(AppState& app, SaveReport& report);       // movie.bat

}  // namespace ravlo
