#include "project/save_project.h"

#include "frame/constants.h"
#include "frame/paths.h"
#include "project/writers.h"

namespace ravlo {
namespace {

void Copy(AppState& app, const std::string& source, const std::string& name, SaveReport& report) {
  std::string error;
  if (!app.platform.CopyFileTo(source, app.globals.ProjectFolder + name, error)) {
    // Naming the source tells the user where the missing tool is expected.
    report.Add(name + " (from " + source + ")", error.empty() ? "it could not be copied" : error);
  }
}

}  // namespace

void CopyProjectFiles(AppState& app, SaveReport& report) {
  const ProjectSettings& s = app.settings;
  const AppGlobals& g = app.globals;
  const bool audio = s.lstAO_code.ItemCount() > 0;
  const bool subtitles = s.lstSO_code.ItemCount() > 0;
  const std::string besweetFolder = FolderOf(g.ToolPath(Tool::BeSweet));

  Copy(app, g.MiscFolder + "1st.reg", "1st.reg", report);
  Copy(app, g.MiscFolder + "2nd.reg", "2nd.reg", report);
  Copy(app, g.MiscFolder + "brimmer.exe", "brimmer.exe", report);
  if (audio) {
    Copy(app, g.ToolPath(Tool::vStrip), "vStrip.exe", report);
    // Unconverted audio needs only the demultiplexer; conversion needs the converter set.
    if (s.chkOrig.Value() != 1) {
      if (s.optAud_AC3.IsSet()) Copy(app, besweetFolder + "ac3enc.dll", "ac3enc.dll", report);
      Copy(app, besweetFolder + "azid.dll", "azid.dll", report);
      Copy(app, g.ToolPath(Tool::BeSweet), "BeSweet.exe", report);
      Copy(app, besweetFolder + "hip.dll", "hip.dll", report);
      if (s.optAud_MP3.IsSet()) Copy(app, besweetFolder + "lame_enc.dll", "lame_enc.dll", report);
    }
  }
  if (s.chkAC.Value() == 1) Copy(app, g.ToolPath(Tool::AutoCrop), "AutoCrop.dll", report);
  if (s.chkDeinterlace.Value() == 1 || s.chkIVTC.Value() == 1) {
    Copy(app, g.ToolPath(Tool::Decomb), "Decomb.dll", report);
  }
  Copy(app, g.ToolPath(Tool::DGDecode), "DGDecode.dll", report);
  Copy(app, g.ToolPath(Tool::DGIndex), "DGIndex.exe", report);
  Copy(app, g.ToolPath(Tool::avs2avi), "avs2avi.exe", report);
  if (subtitles) {
    Copy(app, g.ToolPath(Tool::rar32), "rar32.exe", report);
    Copy(app, FolderOf(g.ToolPath(Tool::rar32)) + "rsx.exe", "rsx.exe", report);
  }
  Copy(app, g.ToolPath(Tool::mplayerc), "mplayerc.exe", report);
  Copy(app, g.ToolPath(Tool::gsar), "gsar.exe", report);
}

std::string SavedMessage(const AppState& app) {
  const std::string& br = app.globals.LineBreak;
  const std::string& pf = app.globals.ProjectFolder;
  std::string text = "Project saved" + br + br;
  text += "BAT path: " + pf + "project.bat" + br;
  text += "LST path: " + pf + "project.lst" + br;
  text += "AVS path: " + pf + "project.avs" + br;
  // Shown for SRT too, although only VOBSUB writes the file.
  if (app.settings.lstSO_code.ItemCount() > 0) text += "SUB path: " + pf + "subparam" + br;
  text += br;
  text += "Video 1st pass settings: " + pf + "1st.reg" + br;
  text += "Video 2nd pass settings: " + pf + "2nd.reg" + br;
  return text;
}

std::string SaveFailedMessage(const AppState& app, const SaveReport& report, AfterSave after) {
  const std::string& br = app.globals.LineBreak;
  std::string text = "The project in " + app.globals.ProjectFolder + " is incomplete." + br + br;
  text += "These files could not be written or copied:" + br;
  for (const SaveFailure& failure : report.failures) {
    text += failure.file + ": " + failure.reason + br;
  }
  text += br;
  text += after == AfterSave::Run ? "The batch was not started. Correct the cause and save again."
                                  : "Correct the cause and save again.";
  text += br;
  return text;
}

bool SaveProject(AppState& app, AfterSave after) {
  SaveReport report;
  WriteFrameServerScript(app, report);
  if (app.settings.lstSO_code.ItemCount() > 0 && app.settings.optSub_VOBSUB.IsSet()) {
    WriteSubtitleParameters(app, report);
  }
  WriteStreamList(app, report);
  WriteProjectBatch(app, report);
  WritePlaybackScript(app, report);
  CopyProjectFiles(app, report);

  if (report.Ok()) {
    app.platform.ShowMessage(SavedMessage(app), MessageIcon::Information, kAppTitle);
  } else {
    app.platform.ShowMessage(SaveFailedMessage(app, report, after), MessageIcon::Warning,
                             kAppTitle);
  }
  return report.Ok();
}

}  // namespace ravlo
