#include "project/writers.h"

namespace ravlo {
namespace {

void WriteOne(AppState& app, SaveReport& report, const char* name,
              std::string (*text)(const ProjectPlan&)) {
  const PlanResult result = BuildProjectPlan(app);
  if (!result.plan) {
    report.Add(name, result.refusal);
    return;
  }
  WriteProjectFile(app, name, text(*result.plan), report);
}

}  // namespace

std::vector<ProjectFile> WindowsProjectFiles(const ProjectPlan& plan) {
  std::vector<ProjectFile> files;
  files.push_back({"project.avs", FrameServerScriptText(plan)});
  if (!plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::VobSub) {
    files.push_back({"subparam", SubtitleParametersText(plan)});
  }
  files.push_back({"project.lst", StreamListText(plan)});
  files.push_back({"project.bat", ProjectBatchText(plan)});
  files.push_back({"movie.bat", PlaybackScriptText(plan)});
  return files;
}

void WriteFrameServerScript(AppState& app, SaveReport& report) {
  WriteOne(app, report, "project.avs", FrameServerScriptText);
}
void WriteStreamList(AppState& app, SaveReport& report) {
  app.globals.ListFilePath = app.globals.ProjectFolder + "project.lst";
  WriteOne(app, report, "project.lst", StreamListText);
}
void WriteSubtitleParameters(AppState& app, SaveReport& report) {
  WriteOne(app, report, "subparam", SubtitleParametersText);
}
void WriteProjectBatch(AppState& app, SaveReport& report) {
  WriteOne(app, report, "project.bat", ProjectBatchText);
}
void WritePlaybackScript(AppState& app, SaveReport& report) {
  WriteOne(app, report, "movie.bat", PlaybackScriptText);
}

}  // namespace ravlo
