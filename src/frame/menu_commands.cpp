#include "frame/menu_commands.h"

#include "frame/constants.h"

namespace ravlo {
namespace {

void Toggle(Field& menuCheck) { menuCheck.SetValue(!menuCheck.IsSet()); }

}  // namespace

void mnuExit_Click(AppState& app) { app.platform.CloseMainWindow(); }

void mnuHelp_Click(AppState& app) {
  app.platform.ShellOpen("OPEN", "help.htm", "", app.globals.MiscFolder, WindowStyle::Maximized);
}

void mnuAbout_Click(AppState& app) {
  const std::string& br = app.globals.LineBreak;
  const char* writes = app.road == ProjectRoad::Shell
                          ? "writes project.sh, the script that makes it with ffmpeg."
                          : "writes the batch that makes it.";
  app.platform.ShowMessage(std::string(kWindowCaption) + br + br +
                              "Plans the backup of one DVD title into a movie that fills the "
                              "medium you choose, and " + writes +
                              br + br + kHostName,
                          MessageIcon::Information, kAppTitle);
}

void chkDelTemp_Click(AppState& app) { Toggle(app.settings.chkDelTemp); }
void chkDelLogs_Click(AppState& app) { Toggle(app.settings.chkDelLogs); }
void chkShutDown_Click(AppState& app) { Toggle(app.settings.chkShutDown); }

void cmdCfgCodec_Click(AppState& app) {
  app.platform.StartProcess("rundll32.exe xvidvfw.dll, Configure", WindowStyle::NormalFocus);
}

void cmdJO_Click(AppState& app) {
  app.platform.ShellOpen("Open", kWebAddress, "", "", WindowStyle::Maximized);
}

}  // namespace ravlo
