#include "project/writers.h"

namespace ravlo {

void WritePlaybackScript(AppState& app, SaveReport& report) {
  const ProjectSettings& s = app.settings;

  std::string extension;
  if (s.optAud_AC3.IsSet()) extension = ".ac3";
  if (s.optAud_MP3.IsSet()) extension = ".mp3";
  if (s.optAud_OGG.IsSet()) extension = ".ogg";

  std::string line = "mplayerc.exe movie.avi ";
  for (const std::string& code : s.lstAO_code.Items()) {
    // Unconverted audio keeps the demultiplexed file's name; converted audio is id + format.
    line += "/dub " + (s.chkOrig.Value() == 1 ? code : code.substr(0, 4) + extension) + " ";
  }
  if (s.optSub_SRT.IsSet()) {
    for (const std::string& code : s.lstSO_code.Items()) line += "/sub " + code + ".srt ";
  }
  line += "/play /fullscreen";
  // One line: the closing line break that every file gets is its only one.
  WriteProjectFile(app, "movie.bat", line, report);
}

}  // namespace ravlo
