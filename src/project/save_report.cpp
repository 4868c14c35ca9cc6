#include "project/save_report.h"

namespace ravlo {
namespace {

// Puts the finished temporary file in place; on any failure neither it nor a part remains.
bool PutInPlace(AppState& app, const std::string& partial, const std::string& path,
                bool made, std::string& error) {
  if (made && app.platform.MoveFileOver(partial, path, error)) return true;
  std::string ignored;
  if (app.platform.FileExists(partial)) app.platform.RemoveFile(partial, ignored);
  return false;
}

}  // namespace

void WriteProjectFile(AppState& app, const std::string& name, const std::string& text,
                      SaveReport& report) {
  std::string error;
  const std::string path = app.globals.ProjectFolder + name;
  const std::string partial = path + kPartialSuffix;
  // The shell road's scripts end their lines with LF, the batch road's files with CR LF.
  const std::string closing = app.road == ProjectRoad::Shell ? "\n" : app.globals.LineBreak;
  const bool made = app.platform.WriteWholeFile(partial, text + closing, error);
  if (!PutInPlace(app, partial, path, made, error)) {
    report.Add(name, error.empty() ? "it could not be written" : error);
  }
}

void CopyProjectFile(AppState& app, const std::string& source, const std::string& name,
                     SaveReport& report) {
  std::string error;
  const std::string path = app.globals.ProjectFolder + name;
  const std::string partial = path + kPartialSuffix;
  const bool made = app.platform.CopyFileTo(source, partial, error);
  if (!PutInPlace(app, partial, path, made, error)) {
    report.Add(name + " (from " + source + ")", error.empty() ? "it could not be copied" : error);
  }
}

}  // namespace ravlo
