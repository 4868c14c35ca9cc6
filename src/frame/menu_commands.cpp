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
// What logind's answer means for the job's last step.
std::string PowerOffNote(const std::string& permission) {
  if (permission == "yes") return {};
  const std::string stays = " The computer will then stay on, and the job will say so at its end.";
  if (permission == "challenge") {
    return "\n\nThis user may power the computer off only with an administrator's password, "
           "which nobody is there to give when the job ends." + stays;
  }
  if (!permission.empty()) {
    return "\n\nThis user may not power the computer off (logind answers \"" + permission + "\")." + stays;
  }
  return "\n\nWhether this user may power the computer off could not be checked (logind did not "
         "answer). If not, the computer stays on, and the job will say so at its end.";
}

void chkShutDown_Click(AppState& app) {
  Field& shutDown = app.settings.chkShutDown;
  // On Linux the job powers off a machine other programs may be working on: asked each time.
  if (app.road == ProjectRoad::Shell && !shutDown.IsSet()) {
    const std::string text = "When the job has made the movie, project.sh shuts the computer down "
                             "(systemctl poweroff). Work not saved in other programs is lost." +
                             PowerOffNote(app.platform.PowerOffPermission());
    if (!app.platform.Confirm(text, "Shut down the computer when the job ends?", kAppTitle)) return;
  }
  Toggle(shutDown);
}

void cmdCfgCodec_Click(AppState& app) {
  app.platform.StartProcess("rundll32.exe xvidvfw.dll, Configure", WindowStyle::NormalFocus);
}

void cmdJO_Click(AppState& app) {
  app.platform.ShellOpen("Open", kWebAddress, "", "", WindowStyle::Maximized);
}

}  // namespace ravlo
