#include "project/save_commands.h"

#include "frame/paths.h"
#include "project/browse_for_folder.h"
#include "project/save_project.h"

namespace ravlo {
namespace {

// Asks for the project folder; false when the user cancelled (ProjectFolder unchanged).
// `before` gets the folder it replaces.
bool ChooseProjectFolder(AppState& app, std::optional<std::string>& before) {
  const std::string folder = BrowseForFolder(app.platform, "Select folder", true);
  if (folder.empty()) return false;
  before = app.globals.ProjectFolder;
  app.globals.ProjectFolder = AddSeparator(folder, PathSeparator(app.road));
  return true;
}

}  // namespace

void mnuSave_Click(AppState& app) {
  std::optional<std::string> before;
  if (app.globals.ProjectFolder.empty() && !ChooseProjectFolder(app, before)) return;
  SaveProject(app, AfterSave::Nothing, before);
}

void mnuSaveAs_Click(AppState& app) {
  std::optional<std::string> before;
  if (!ChooseProjectFolder(app, before)) return;
  SaveProject(app, AfterSave::Nothing, before);
}

void mnuSaveRun_Click(AppState& app) {
  std::optional<std::string> before;
  if (app.globals.ProjectFolder.empty() && !ChooseProjectFolder(app, before)) return;
  // An incomplete project would fail somewhere in a long unattended run: keep the window
  // open so the user can fix the cause and try again.
  if (!SaveProject(app, AfterSave::Run, before)) return;
  app.platform.ShellOpen("OPEN", "project.bat", "", app.globals.ProjectFolder,
                         WindowStyle::Normal);
  // The batch runs on its own and the planner steps aside. project.sh either ran in the
  // foreground already (command line) or runs watched by the window's progress window, and
  // the user may plan the next title meanwhile.
  if (app.road == ProjectRoad::Batch) app.platform.CloseMainWindow();
}

}  // namespace ravlo
