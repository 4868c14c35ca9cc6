#include "analysis/analyse_ifo.h"

#include "analysis/report_grammar.h"
#include "analysis/reset_title_info.h"
#include "analysis/run_and_wait.h"
#include "frame/cmd_text.h"
#include "frame/constants.h"
#include "frame/paths.h"
#include "planning/bitrate_calculator.h"
#include "streams/audio_selection.h"

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

struct ParserChoice {
  std::string titleSetPath;  // as the parser wrote it, which is the record's form
  std::string chain = "1";
};

// The parser's choice on a whole disc; the first chain of the IFO opened when it made none.
ParserChoice ReadChoice(AppState& app, const std::string& path) {
  ParserChoice choice;
  std::string error;
  const std::string text = app.platform.ReadWholeFile(path, error).value_or("");
  const std::size_t end = text.find('\n');
  if (end == std::string::npos || end == 0 || text[0] == '\r') return choice;
  std::string chain = text.substr(end + 1);
  while (!chain.empty() && (chain.back() == '\n' || chain.back() == '\r')) chain.pop_back();
  if (chain.empty() || chain.find_first_not_of("0123456789") != std::string::npos) return choice;
  const std::string titleSetPath = text.substr(0, text[end - 1] == '\r' ? end - 1 : end);
  choice.titleSetPath = titleSetPath;
  choice.chain = chain;
  return choice;
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
  const std::string before = app.globals.IfoPath;
  app.globals.IfoPath = path;
  // On Linux a disc that cannot be opened leaves the one loaded as it was.
  if (!AnalyseIfo(app) && app.road == ProjectRoad::Shell) app.globals.IfoPath = before;
}

bool AnalyseIfo(AppState& app) {
  ProjectSettings& s = app.settings;
  // The Windows program clears the title first; on Linux only a report that can be used does.
  const bool keepOnFailure = app.road == ProjectRoad::Shell;
  if (!keepOnFailure) ResetTitleInfo(app);

  const std::string& ifoPath = app.globals.IfoPath;
  if (const auto problem = PathProblemOnRoad(app.road, ifoPath, 0)) {
    ShowError(app, ifoPath + " cannot be analysed: " + *problem + ".");
    return false;
  }
  // On Linux the system says why a disc cannot be read; the parser would only say that it
  // could not.
  std::string openError;
  if (app.road == ProjectRoad::Shell && !app.platform.CanOpen(ifoPath, openError)) {
    ShowError(app, ifoPath + " cannot be opened: " + openError + ".");
    return false;
  }
  std::string reason;
  const std::string reportFolder = app.platform.ReportFolder(app.globals.MiscFolder, reason);
  if (reportFolder.empty()) {
    ShowError(app, "The folder for the analysis report cannot be made: " + reason + "\n\n" +
                       app.globals.IfoPath + " was not analysed.");
    return false;
  }
  const std::string reportPath = reportFolder + kParserReport;
  const std::string errorsPath = reportFolder + kParserErrors;
  const std::string choicePath = reportFolder + kParserChoice;
  for (const std::string& old : {reportPath, errorsPath, choicePath}) {
    if (!RemoveOldReport(app, old, reason)) {
      ShowError(app, "The report of an earlier analysis cannot be deleted: " + old + "\n" +
                         reason + "\n\n" + app.globals.IfoPath + " was not analysed.");
      return false;
    }
  }

  app.platform.SetEnvironmentValue(kParserIfoVariable, app.globals.IfoPath);
  const RunOutcome run = RunAndWait(app, ParserCommandLine(app, reportPath), WindowStyle::Hidden,
                                    std::chrono::duration_cast<std::chrono::milliseconds>(kParserTimeLimit));
  if (run == RunOutcome::TimedOut) {
    ShowError(app, "The analysis of " + app.globals.IfoPath + " did not end within " +
                       std::to_string(kParserTimeLimit.count()) + " seconds and was stopped.");
    return false;
  }

  if (!app.platform.FileExists(reportPath)) {
    const std::string said = ParserReason(app, errorsPath);
    ShowError(app, "The analysis of " + app.globals.IfoPath + " wrote no report: " + reportPath +
                       " does not exist." +
                       (said.empty() ? std::string() : "\n\nThe parser said: " + said) +
                       (run == RunOutcome::NotStarted ? "\n\nThe parser could not be started."
                                                      : std::string()));
    return false;
  }
  // A report no title set could give is refused whole, before any of it reaches the record.
  const std::string unusable = "The report of the analysis of " + app.globals.IfoPath +
                               " cannot be used: " + reportPath + " ";
  const auto tooLarge = [&](std::int64_t length) {
    if (length <= kMaxReportBytes) return false;
    ShowError(app, unusable + "is " + std::to_string(length) +
                       " bytes, more than any analysis report of a title set (" +
                       std::to_string(kMaxReportBytes) + " bytes).");
    return true;
  };
  if (tooLarge(app.platform.FileLength(reportPath).value_or(0))) return false;
  std::string error;
  const auto report = app.platform.ReadWholeFile(reportPath, error);
  if (!report) {
    ShowError(app, "The report of the analysis of " + app.globals.IfoPath +
                       " cannot be read: " + reportPath + "\n" + error);
    return false;
  }
  if (tooLarge(static_cast<std::int64_t>(report->size()))) return false;
  const ReportFacts facts = ReadReport(*report);
  if (const auto problem = ReportProblem(facts)) {
    ShowError(app, unusable + *problem + ".");
    return false;
  }
  if (keepOnFailure) ResetTitleInfo(app);
  ApplyReportFacts(app, facts);

  // From here on the title set is named by its own path, which a saved project reads again.
  const ParserChoice choice = ReadChoice(app, choicePath);
  if (!choice.titleSetPath.empty()) app.globals.IfoPath = choice.titleSetPath;
  s.cmbPGC.SetText(s.cmbPGC.Item(0));  // empty when the report named no chain
  s.txtTitle.SetText(choice.chain);    // selects the chain through its change event
  s.txtAngle.SetText("1");
  RecalculateBitrates(app);

  for (Field* command : {&s.mnuSave, &s.mnuSaveAs, &s.mnuSaveRun}) command->SetEnabled(true);
  s.picInfo_on.SetVisible(true);
  s.picInfo_off.SetVisible(false);
  if (app.road == ProjectRoad::Shell) {
    // Another disc is another project: its first save asks where it goes.
    app.globals.ProjectFolder.clear();
    CheckDesktopLanguageStream(app);
  }
  return true;
}

}  // namespace ravlo
