#include "project/save_project.h"

#include "frame/constants.h"
#include "frame/paths.h"
#include "project/fill_estimate.h"
#include "project/foreign_results.h"
#include "project/shell_road.h"
#include "project/writers.h"

namespace ravlo {
void CopyProjectFiles(AppState& app, const ProjectPlan& plan, SaveReport& report) {
  const AppGlobals& g = app.globals;
  const bool audio = !plan.audio.empty();
  const bool subtitles = !plan.subtitles.empty();
  auto Copy = [&](const std::string& source, const std::string& name) {
    CopyProjectFile(app, source, name, report);
  };
  const std::string besweetFolder = FolderOf(g.ToolPath(Tool::BeSweet), PathSeparator(app.road));

  Copy(g.MiscFolder + "1st.reg", "1st.reg");
  Copy(g.MiscFolder + "2nd.reg", "2nd.reg");
  Copy(g.MiscFolder + "brimmer.exe", "brimmer.exe");
  if (audio) {
    Copy(g.ToolPath(Tool::vStrip), "vStrip.exe");
    // Unconverted audio needs only the demultiplexer; conversion needs the converter set.
    if (!plan.original) {
      if (plan.audioOutput == AudioOutput::Ac3) Copy(besweetFolder + "ac3enc.dll", "ac3enc.dll");
      Copy(besweetFolder + "azid.dll", "azid.dll");
      Copy(g.ToolPath(Tool::BeSweet), "BeSweet.exe");
      Copy(besweetFolder + "hip.dll", "hip.dll");
      if (plan.audioOutput == AudioOutput::Mp3) Copy(besweetFolder + "lame_enc.dll", "lame_enc.dll");
    }
  }
  if (plan.autoCrop) Copy(g.ToolPath(Tool::AutoCrop), "AutoCrop.dll");
  if (plan.deinterlace || plan.ivtc) {
    Copy(g.ToolPath(Tool::Decomb), "Decomb.dll");
  }
  Copy(g.ToolPath(Tool::DGDecode), "DGDecode.dll");
  Copy(g.ToolPath(Tool::DGIndex), "DGIndex.exe");
  Copy(g.ToolPath(Tool::avs2avi), "avs2avi.exe");
  if (subtitles) {
    Copy(g.ToolPath(Tool::rar32), "rar32.exe");
    Copy(FolderOf(g.ToolPath(Tool::rar32), PathSeparator(app.road)) + "rsx.exe", "rsx.exe");
  }
  Copy(g.ToolPath(Tool::mplayerc), "mplayerc.exe");
  Copy(g.ToolPath(Tool::gsar), "gsar.exe");
}

// The Linux road: the two scripts, executable; the tools are the system's, nothing is copied.
void SaveShellScripts(AppState& app, const ProjectPlan& plan, SaveReport& report) {
  for (const ProjectFile& file : ShellProjectFiles(plan, HelperFolder(app.globals.AppFolder))) {
    const std::size_t failuresBefore = report.failures.size();
    WriteProjectFile(app, file.name, file.text, report);
    std::string error;
    if (report.failures.size() == failuresBefore &&
        !app.platform.MakeExecutable(app.globals.ProjectFolder + file.name, error)) {
      report.Add(file.name, "it cannot be made executable: " + error);
    }
  }
}

std::string ShellSavedMessage(const AppState& app) {
  const std::string& folder = app.globals.ProjectFolder;
  return "Project saved\n\nScript: " + folder + "project.sh\nPlayback: " + folder + "movie.sh\n";
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
  const bool shell = app.road == ProjectRoad::Shell;
  const std::string br = shell ? "\n" : app.globals.LineBreak;
  const std::string& folder = app.globals.ProjectFolder;
  std::string text = "The project in " + folder + " is incomplete." + br + br;
  text += "These files could not be written or copied:" + br;
  for (const SaveFailure& failure : report.failures) {
    text += failure.file + ": " + failure.reason + br;
  }
  text += br;
  text += after == AfterSave::Run ? std::string(shell ? "project.sh" : "The batch") +
                                        " was not started. Correct the cause and save again."
                                  : "Correct the cause and save again.";
  text += br;
  return text;
}

std::string PlanRefusedMessage(const AppState& app, const std::string& refusal, AfterSave after) {
  const std::string& br = app.globals.LineBreak;
  const char* notStarted = app.road == ProjectRoad::Shell
                               ? "Nothing was saved and project.sh was not started."
                               : "Nothing was saved and the batch was not started.";
  return refusal + br + br + (after == AfterSave::Run ? notStarted : "Nothing was saved.") + br;
}

// The Linux road's questions before a save; false when the user said no.
bool ConfirmShellSave(AppState& app, const ProjectPlan& plan, AfterSave after,
                      const std::optional<std::string>& folderBefore) {
  const char* question = after == AfterSave::Run ? "Save and start project.sh?" : "Save?";
  if (folderBefore) {
    const std::vector<std::string> replaced = ReplacedFiles(app, plan);
    if (!replaced.empty()) {
      std::string text = plan.projectFolder + " holds files of a project, which this save and its job replace:";
      for (const std::string& name : replaced) text += "\n  " + name;
      if (!app.platform.Confirm(text, question, kAppTitle)) {
        app.globals.ProjectFolder = *folderBefore;
        return false;
      }
    }
  }
  const auto lowFill = LowFillWarning(plan);
  return !lowFill || app.platform.Confirm(*lowFill, question, kAppTitle);
}

bool SaveProject(AppState& app, AfterSave after, const std::optional<std::string>& folderBefore) {
  const PlanResult planned = BuildProjectPlan(app);
  if (!planned.plan) {
    app.platform.ShowMessage(PlanRefusedMessage(app, planned.refusal, after), MessageIcon::Warning,
                             kAppTitle);
    return false;
  }
  const ProjectPlan& plan = *planned.plan;
  if (app.road == ProjectRoad::Shell) {
    if (const auto refusal = ForeignResultsRefusal(app, plan)) {
      app.platform.ShowMessage(PlanRefusedMessage(app, *refusal, after), MessageIcon::Warning,
                               kAppTitle);
      return false;
    }
    if (!ConfirmShellSave(app, plan, after, folderBefore)) return false;
  }

  SaveReport report;
  // A folder named in scripted mode may not exist yet; the picker only offers existing ones.
  std::string folderError;
  if (!app.platform.CreateFolder(app.globals.ProjectFolder, folderError)) {
    report.Add(app.globals.ProjectFolder, "the folder cannot be made: " + folderError);
  }
  if (app.road == ProjectRoad::Shell) {
    SaveShellScripts(app, plan, report);
  } else {
    app.globals.ListFilePath = app.globals.ProjectFolder + "project.lst";
    for (const ProjectFile& file : WindowsProjectFiles(plan)) {
      WriteProjectFile(app, file.name, file.text, report);
    }
    CopyProjectFiles(app, plan, report);
  }

  if (report.Ok()) {
    app.platform.ShowMessage(app.road == ProjectRoad::Shell ? ShellSavedMessage(app) : SavedMessage(app),
                             MessageIcon::Information, kAppTitle);
  } else {
    app.platform.ShowMessage(SaveFailedMessage(app, report, after), MessageIcon::Warning,
                             kAppTitle);
  }
  return report.Ok();
}

}  // namespace ravlo
