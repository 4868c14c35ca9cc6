#include "project/save_report.h"

namespace ravlo {

void WriteProjectFile(AppState& app, const std::string& name, const std::string& text,
                      SaveReport& report) {
  std::string error;
  const std::string path = app.globals.ProjectFolder + name;
  if (!app.platform.WriteWholeFile(path, text + app.globals.LineBreak, error)) {
    report.Add(name, error.empty() ? "it could not be written" : error);
  }
}

}  // namespace ravlo
