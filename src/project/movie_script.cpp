#include "project/shell_quote.h"
#include "project/shell_road.h"

namespace ravlo {

std::string MovieScriptText(const ProjectPlan& plan) {
  if (plan.SeveralTitles()) {
    // mpv plays the titles one after the other; ffplay the first.
    std::string movies;
    for (const std::string& movie : plan.titleMovies) movies += " " + ShellQuoted(movie);
    return "#!/bin/sh\n"
           "# Plays the titles of this project with mpv, one after the other, or without it the first with\n"
           "# ffplay. Written by ravlo3.\n"
           "cd -- \"$(dirname -- \"$0\")\" || exit 1\n"
           "command -v mpv >/dev/null 2>&1 && exec mpv" + movies + "\n"
           "exec ffplay -autoexit " + ShellQuoted(plan.titleMovies.front());
  }
  if (plan.OneFile()) {
    // The one file holds every track; mpv offers them all, ffplay the first.
    const std::string movie = ShellQuoted(plan.movieName);
    return "#!/bin/sh\n"
           "# Plays the movie of this project with mpv, or without it with ffplay. Written by ravlo3.\n"
           "cd -- \"$(dirname -- \"$0\")\" || exit 1\n"
           "command -v mpv >/dev/null 2>&1 && exec mpv " + movie + "\n"
           "exec ffplay -autoexit " + movie;
  }
  const std::vector<std::string> audio = AudioResultFiles(plan);
  std::string mpv = "  exec mpv";
  for (const std::string& file : audio) mpv += " --audio-file=" + file;
  if (!plan.subtitles.empty()) {
    if (plan.subtitleOutput == SubtitleOutput::VobSub) {
      mpv += " --sub-file=movie.idx";
    } else {
      for (const PlannedStream& stream : plan.subtitles) mpv += " --sub-file=" + stream.Id() + ".srt";
    }
  }
  mpv += " movie.avi";
  // ffplay takes one input: the video and the first audio file joined in a filter graph.
  const std::string ffplay =
      audio.empty() ? "exec ffplay -autoexit movie.avi"
                    : "exec ffplay -autoexit -f lavfi " +
                          ShellQuoted("movie=movie.avi[out0];amovie=" + audio.front() + "[out1]");

  std::string text = "#!/bin/sh\n";
  text += "# Plays the movie of this project: with mpv, every audio file and the subtitles;\n";
  text += "# without mpv, with ffplay and the first audio file. Written by ravlo3.\n";
  text += "cd -- \"$(dirname -- \"$0\")\" || exit 1\n";
  text += "if command -v mpv >/dev/null 2>&1; then\n";
  text += mpv + "\n";
  text += "fi\n";
  text += ffplay;  // the closing line break comes with the writing
  return text;
}

}  // namespace ravlo
