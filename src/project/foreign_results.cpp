#include "project/foreign_results.h"

#include <algorithm>
#include <vector>

#include "project/shell_road.h"

namespace ravlo {

std::vector<std::string> ForeignResultFiles(AppState& app, const ProjectPlan& plan) {
  std::vector<std::string> ours = AudioResultFiles(plan);
  if (!plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::VobSub) {
    ours.insert(ours.end(), {"movie.idx", "movie.sub"});
  }
  // The one file's tracks are made in a folder of their own: only another movie file could pass
  // for its result.
  const std::vector<const char*> patterns =
      plan.OneFile() ? std::vector<const char*>{"*.mkv", "*.mp4"}
                     : std::vector<const char*>{"*.ac3", "*.mp3", "*.ogg", "*.wav", "movie.idx", "movie.sub"};
  if (plan.OneFile()) ours = {plan.movieName};
  if (plan.SeveralTitles()) ours = plan.titleMovies;
  std::vector<std::string> foreign;
  for (const char* pattern : patterns) {
    for (const std::string& name : app.platform.ListFiles(plan.projectFolder, pattern)) {
      if (std::find(ours.begin(), ours.end(), name) == ours.end()) foreign.push_back(name);
    }
  }
  std::sort(foreign.begin(), foreign.end());
  return foreign;
}

std::vector<std::string> ReplacedFiles(AppState& app, const ProjectPlan& plan) {
  std::vector<std::string> names{"project.sh", "movie.sh"};
  if (plan.SeveralTitles()) {
    names.push_back("mux.sh");
    names.insert(names.end(), plan.titleMovies.begin(), plan.titleMovies.end());
  } else if (plan.OneFile()) {
    names.insert(names.end(), {"mux.sh", plan.movieName});
  } else {
    if (!plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::VobSub) {
      names.insert(names.end(), {"movie.idx", "movie.sub"});
    }
    for (const std::string& name : AudioResultFiles(plan)) names.push_back(name);
    names.push_back("movie.avi");
  }
  std::vector<std::string> replaced;
  for (const std::string& name : names) {
    if (app.platform.FileExists(plan.projectFolder + name)) replaced.push_back(name);
  }
  return replaced;
}

std::optional<std::string> ForeignResultsRefusal(AppState& app, const ProjectPlan& plan) {
  const std::vector<std::string> foreign = ForeignResultFiles(app, plan);
  if (foreign.empty()) return std::nullopt;
  std::string text = plan.projectFolder + " holds result files that this plan does not make:";
  for (const std::string& name : foreign) text += "\n  " + name;
  text += "\nThey would pass for results of this plan. Move or delete them, or save into another folder.";
  return text;
}

}  // namespace ravlo
