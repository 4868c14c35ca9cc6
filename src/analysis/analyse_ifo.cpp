#include "analysis/analyse_ifo.h"

#include "analysis/report_grammar.h"
#include "analysis/reset_title_info.h"
#include "analysis/run_and_wait.h"
#include "frame/cmd_text.h"
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

// What the parser said on its error output, as one line; empty when it said nothing.
std::string ParserReason(AppState& app, const std::string& path) {
  std::string error;
  std::string text = app.platform.ReadWholeFile(path, error).value_or("");
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

std::string ParserCommandLine(const AppState& app, const std::string& reportPath) {
  const AppGlobals& g = app.globals;
  return Quoted(g.MiscFolder + kParserScript) + " " + Quoted(g.ToolPath(Tool::vStrip)) + " " +
         Quoted(g.IfoPath) + " " + Quoted(reportPath);
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

  if (const auto problem = PathProblem(app.globals.IfoPath, kMaxPathChars)) {
    ShowError(app, app.globals.IfoPath + " cannot be analysed: " + *problem + ".");
    return;
  }
  std::string reason;
  const std::string reportFolder = app.platform.ReportFolder(app.globals.MiscFolder, reason);
  if (reportFolder.empty()) {
    ShowError(app, "The folder for the analysis report cannot be made: " + reason + "\n\n" +
                       app.globals.IfoPath + " was not analysed.");
    return;
  }
  const std::string reportPath = reportFolder + kParserReport;
  const std::string errorsPath = reportFolder + kParserErrors;
  for (const std::string& old : {reportPath, errorsPath}) {
    if (!RemoveOldReport(app, old, reason)) {
      ShowError(app, "The report of an earlier analysis cannot be deleted: " + old + "\n" +
                         reason + "\n\n" + app.globals.IfoPath + " was not analysed.");
      return;
    }
  }

  app.platform.SetEnvironmentValue(kParserIfoVariable, app.globals.IfoPath);
  const RunOutcome run = RunAndWait(app, ParserCommandLine(app, reportPath), WindowStyle::Hidden,
                                    std::chrono::duration_cast<std::chrono::milliseconds>(kParserTimeLimit));
  if (run == RunOutcome::TimedOut) {
    ShowError(app, "The analysis of " + app.globals.IfoPath + " did not end within " +
                       std::to_string(kParserTimeLimit.count()) + " seconds and was stopped.");
    return;
  }

  if (!app.platform.FileExists(reportPath)) {
    const std::string said = ParserReason(app, errorsPath);
    ShowError(app, "The analysis of " + app.globals.IfoPath + " wrote no report: " + reportPath +
                       " does not exist." +
                       (said.empty() ? std::string() : "\n\nThe parser said: " + said) +
                       (run == RunOutcome::NotStarted ? "\n\nThe parser could not be started."
                                                      : std::string()));
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
