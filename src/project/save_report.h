#pragma once
// What one save could not do. The save goes through all its steps and then tells the user
// about every file that is missing from the project folder, instead of claiming success.

#include <string>
#include <vector>

#include "frame/app_state.h"

namespace ravlo {

struct SaveFailure {
  std::string file;    // name in the project folder, plus its source for copies
  std::string reason;  // as the system gave it
};

struct SaveReport {
  std::vector<SaveFailure> failures;

  bool Ok() const { return failures.empty(); }
  void Add(std::string file, std::string reason) {
    failures.push_back({std::move(file), std::move(reason)});
  }
};

// Files are made under this suffix and renamed over the old file only once complete, so a
// failed save leaves the earlier complete file, or none, never a part of one.
inline constexpr char kPartialSuffix[] = ".partial";

// Writes `text` and the one closing line break into ProjectFolder + `name`; a failure goes
// into the report.
void WriteProjectFile(AppState& app, const std::string& name, const std::string& text,
                      SaveReport& report);

// Copies `source` to ProjectFolder + `name`; a failure goes into the report, naming the source
// so the user knows where the missing file is expected.
void CopyProjectFile(AppState& app, const std::string& source, const std::string& name,
                     SaveReport& report);

}  // namespace ravlo
