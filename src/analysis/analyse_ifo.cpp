#include "analysis/analyse_ifo.h"

#include "analysis/report_grammar.h"
#include "analysis/reset_title_info.h"
#include "analysis/run_and_wait.h"
#include "frame/constants.h"
#include "planning/bitrate_calculator.h"

namespace ravlo {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Deletes the report of an earlier run so that it can never be read as this run's. A file
// that will not go away (read-only, held open) is retried for a short while only.
bool RemoveOldReport(AppState& app, const std::string& path, std::string& reason) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + kOldReportWait;
  while (app.platform.FileExists(path)) {
    std::string error;
    if (!app.platform.RemoveFile(path, error)) reason = error;
    if (WaitUntilGone(app, path, std::chrono::milliseconds(50))) return true;
    if (Clock::now() >= deadline) {
      if (reason.empty()) reason = "it is still in use by another program";
      return false;
    }
  }
  return true;
}

void ShowError(AppState& app, const std::string& text) {
  app.platform.ShowMessage(text, MessageIcon::Critical, kAppTitle);
}

}  // namespace

std::string ParserCommandLine(const AppState& app) {
  const AppGlobals& g = app.globals;
  return Quoted(g.MiscFolder + kParserScript) + " " + Quoted(g.ToolPath(Tool::vStrip)) + " " +
         Quoted(g.IfoPath) + " " + Quoted(g.MiscFolder + kParserReport);
}

void mnuOpen_Click(AppState& app) {
  const std::string path = app.platform.OpenFileDialog(kIfoFilter);
  if (path.empty()) return;
  app.globals.IfoPath = path;
  AnalyseIfo(app);
}

void AnalyseIfo(AppState& app) {
  ProjectSettings& s = app.settings;
  ResetTitleInfo(app);

  const std::string reportPath = app.globals.MiscFolder + kParserReport;
  std::string reason;
  if (!RemoveOldReport(app, reportPath, reason)) {
    ShowError(app, "The report of an earlier analysis cannot be deleted: " + reportPath + "\n" +
                       reason + "\n\n" + app.globals.IfoPath + " was not analysed.");
    return;
  }

  RunAndWait(app, ParserCommandLine(app), WindowStyle::Hidden);

  if (!app.platform.FileExists(reportPath)) {
    ShowError(app, "The analysis of " + app.globals.IfoPath + " wrote no report: " + reportPath +
                       " does not exist.");
    return;
  }
  std::string error;
  const auto report = app.platform.ReadWholeFile(reportPath, error);
  if (!report) {
    ShowError(app, "The report of the analysis of " + app.globals.IfoPath +
                       " cannot be read: " + reportPath + "\n" + error);
    return;
  }
  ApplyReport(app, *report);

  s.cmbPGC.SetText(s.cmbPGC.Item(0));  // empty when the report named no chain
  s.txtTitle.SetText("1");             // selects the first chain through its change event
  s.txtAngle.SetText("1");
  RecalculateBitrates(app);

  for (Field* command : {&s.mnuSave, &s.mnuSaveAs, &s.mnuSaveRun}) command->SetEnabled(true);
  s.picInfo_on.SetVisible(true);
  s.picInfo_off.SetVisible(false);
}

}  // namespace ravlo
