#include "frame/startup.h"

#include <algorithm>

#include "frame/constants.h"
#include "frame/paths.h"

namespace ravlo {

void Form_Load(AppState& app, const std::function<void()>& setUpAudioControls) {
  AppGlobals& g = app.globals;
  g.LineBreak = "\r\n";
  const char separator = PathSeparator(app.road);
  g.AppFolder = AddSeparator(app.platform.ProgramFolder(), separator);
  g.MiscFolder = g.AppFolder + "misc" + separator;
  g.ToolsFolder = g.AppFolder + "tools" + separator;
  g.AuthorText = kHostName;
  ApplyToolPaths(app);
  PrepareToolsFolder(app);
  if (setUpAudioControls) setUpAudioControls();
  if (app.road == ProjectRoad::Shell) {
    // The XviD settings are the Windows codec's own dialog; on Linux libxvid has none to open.
    app.settings.cmdCfgCodec.SetVisible(false);
    // project.sh makes VobSub subtitles only: on Linux SRT would make none.
    app.settings.optSub_SRT.SetVisible(false);
  }
  ShowFirstRunHelp(app);
}

void ApplyToolPaths(AppState& app) {
  for (int i = 0; i < kToolCount; ++i) {
    // The package's own sub-folder, in the road's form of a path.
    std::string relative = kTools[i].relativePath;
    std::replace(relative.begin(), relative.end(), '\\', PathSeparator(app.road));
    app.globals.ToolPaths[i] = app.globals.ToolsFolder + relative;
  }
}

void PrepareToolsFolder(AppState& app) {
  // The script itself writes xt.txt once every tool is in place; until then it runs at
  // every start. Its result is not checked: start-up goes on either way.
  if (app.platform.FileExists(app.globals.ToolsFolder + "xt.txt")) return;
  app.platform.ShellOpen("OPEN", "xt.bat", "", app.globals.ToolsFolder, WindowStyle::Normal);
}

void ShowFirstRunHelp(AppState& app) {
  Platform& os = app.platform;
  if (!os.ReadSetting(kSettingsApp, kSettingsSection, kFirstRunKey).empty()) return;
  os.ShellOpen("OPEN", "help.htm", "", app.globals.MiscFolder, WindowStyle::Maximized);
  os.WriteSetting(kSettingsApp, kSettingsSection, kFirstRunKey, "Done");
}

}  // namespace ravlo
