#include <cstdlib>

#include "common/numbers.h"
#include "project/writers.h"

namespace ravlo {
namespace {

// "0x22" -> 2: the subpicture stream index; a code that is no hex number reads as 0.
long long SubpictureIndex(const std::string& code) {
  const std::string digits = code.size() > 2 ? code.substr(2) : std::string();
  return std::strtoll(digits.c_str(), nullptr, 16) - 32;
}

}  // namespace

void WriteSubtitleParameters(AppState& app, SaveReport& report) {
  const ProjectSettings& s = app.settings;
  const std::string& br = app.globals.LineBreak;

  std::string streams;
  for (const std::string& code : s.lstSO_code.Items()) {
    streams += FormatNumber(SubpictureIndex(code)) + " ";
  }
  const std::string text = app.globals.IfoPath + br + "movie" + br + s.txtTitle.Text() + br +
                           s.txtAngle.Text() + br + streams + br + "CLOSE" + br;
  WriteProjectFile(app, "subparam", text, report);
}

}  // namespace ravlo
