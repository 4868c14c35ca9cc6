#include "project/connect_project.h"

#include "project/output_choice.h"
#include "project/save_commands.h"
#include "project/set_author.h"

namespace ravlo {

void ConnectProjectHandlers(AppState& app) {
  ProjectSettings& s = app.settings;
  s.mnuSave.OnClick([&app] { mnuSave_Click(app); });
  s.mnuSaveAs.OnClick([&app] { mnuSaveAs_Click(app); });
  s.mnuSaveRun.OnClick([&app] { mnuSaveRun_Click(app); });
  s.mnuSetAuthor.OnClick([&app] { mnuSetAuthor_Click(app); });
  s.cmbVideo.OnChange([&app] { cmbVideo_Change(app); });
  s.cmbContainer.OnChange([&app] { cmbContainer_Change(app); });
}

}  // namespace ravlo
