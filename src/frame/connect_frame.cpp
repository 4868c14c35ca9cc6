#include "frame/connect_frame.h"

#include "frame/menu_commands.h"

namespace ravlo {

void ConnectFrameHandlers(AppState& app) {
  ProjectSettings& s = app.settings;
  s.mnuExit.OnClick([&app] { mnuExit_Click(app); });
  s.mnuHelp.OnClick([&app] { mnuHelp_Click(app); });
  s.mnuAbout.OnClick([&app] { mnuAbout_Click(app); });
  s.chkDelTemp.OnClick([&app] { chkDelTemp_Click(app); });
  s.chkDelLogs.OnClick([&app] { chkDelLogs_Click(app); });
  s.chkShutDown.OnClick([&app] { chkShutDown_Click(app); });
  s.cmdCfgCodec.OnClick([&app] { cmdCfgCodec_Click(app); });
  s.cmdJO.OnClick([&app] { cmdJO_Click(app); });
}

}  // namespace ravlo
