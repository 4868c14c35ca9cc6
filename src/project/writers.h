#pragma once
// The five files a save writes into ProjectFolder, each a function of the plan alone: the
// text of the file without the closing line break that every file gets when it is written.

#include <string>
#include <vector>

#include "frame/app_state.h"
#include "frame/constants.h"
#include "project/project_plan.h"
#include "project/save_report.h"

namespace ravlo {

// The host name the audio converter writes into every file it makes; the batch's author
// step searches for it and puts AuthorText in its place.
inline constexpr const char* ConverterSignature = kConverterSignature;

std::string FrameServerScriptText(const ProjectPlan& plan);    // project.avs
std::string StreamListText(const ProjectPlan& plan);           // project.lst
std::string SubtitleParametersText(const ProjectPlan& plan);   // subparam
std::string ProjectBatchText(const ProjectPlan& plan);         // project.bat
std::string PlaybackScriptText(const ProjectPlan& plan);       // movie.bat

struct ProjectFile {
  std::string name;
  std::string text;
};
// The files of the Windows batch road, in the order a save writes them.
std::vector<ProjectFile> WindowsProjectFiles(const ProjectPlan& plan);

// One file on its own, from the current record: builds the plan and writes the file; a
// refused plan or a failed write goes into the report.
void WriteFrameServerScript(AppState& app, SaveReport& report);
void WriteStreamList(AppState& app, SaveReport& report);
void WriteSubtitleParameters(AppState& app, SaveReport& report);
void WriteProjectBatch(AppState& app, SaveReport& report);
void WritePlaybackScript(AppState& app, SaveReport& report);

}  // namespace ravlo
