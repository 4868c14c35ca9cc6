#include "project/writers.h"

namespace ravlo {

std::string PlaybackScriptText(const ProjectPlan& plan) {
  std::string line = "mplayerc.exe movie.avi ";
  for (const PlannedStream& stream : plan.audio) {
    // Unconverted audio keeps the demultiplexed file's name; converted audio is id + format.
    line += "/dub " + (plan.original ? stream.code : stream.Id() + plan.AudioExtension()) + " ";
  }
  if (plan.subtitleOutput == SubtitleOutput::Srt) {
    for (const PlannedStream& stream : plan.subtitles) line += "/sub " + stream.code + ".srt ";
  }
  // One line: the closing line break that every file gets is its only one.
  return line + "/play /fullscreen";
}

}  // namespace ravlo
