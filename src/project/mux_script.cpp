#include <string>

#include "ifoscan/language_names.h"
#include "project/shell_quote.h"
#include "project/shell_road.h"

namespace ravlo {
namespace {

// The chapters file of vobtitle ("NUMBER START-SECONDS" lines) as mkvmerge reads chapters.
constexpr const char* kMkvChapters =
    R"(awk '{ s = $2; printf "CHAPTER%02d=%02d:%02d:%06.3f\nCHAPTER%02dNAME=Chapter %d\n", $1, int(s / 3600), int(s % 3600 / 60), s % 60, $1, $1 }' \
  tracks/chapters.txt >tracks/chapters.mkv.txt || exit 1)";

// The same as ffmpeg's metadata file: each chapter ends where the next starts, the last with
// the video.
constexpr const char* kFfmpegChapters =
    R"(length=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$video") || exit 1
awk -v last="$length" '{ start[NR] = $2 }
  END { print ";FFMETADATA1"
        for (i = 1; i <= NR; i++)
          printf "[CHAPTER]\nTIMEBASE=1/1000\nSTART=%d\nEND=%d\ntitle=Chapter %d\n", start[i] * 1000,
                 (i < NR ? start[i + 1] : last) * 1000, i }' tracks/chapters.txt >tracks/chapters.ffmeta || exit 1)";

std::string Language(const PlannedStream& stream) { return ifoscan::LanguageCode3(stream.name); }

// The tracks' folder as mux.sh names it, and the file's title.
std::string TracksFolder(const ProjectPlan& plan) { return plan.SeveralTitles() ? "$dir/tracks/" : "tracks/"; }
std::string FileTitle(const ProjectPlan& plan) { return plan.SeveralTitles() ? "\"$title\"" : ShellQuoted(plan.discName); }

// The chapter text with the tracks' folder of the plan.
std::string InTracks(const ProjectPlan& plan, std::string text) {
  const std::string folder = TracksFolder(plan);
  for (std::size_t p = 0; (p = text.find("tracks/", p)) != std::string::npos; p += folder.size()) text.replace(p, 7, folder);
  return text;
}

std::string MkvCommand(const ProjectPlan& plan, const std::vector<std::string>& audio) {
  std::string line = "mkvmerge --quiet --output \"$out\" --title " + FileTitle(plan) +
                     " --chapters " + TracksFolder(plan) + "chapters.mkv.txt \\\n  \"$video\"";
  for (std::size_t i = 0; i < plan.audio.size(); ++i) {
    const PlannedStream& stream = plan.audio[i];
    line += " \\\n  --language 0:" + Language(stream) + " --track-name 0:" + ShellQuoted(stream.name.empty() ? stream.Id() : stream.name) +
            " --default-track-flag 0:" + (i == 0 ? "yes" : "no") + " " + audio[i];
  }
  if (!plan.subtitles.empty()) {
    // The VobSub pair holds the streams in the chosen order, as tracks 0, 1, ...
    line += " \\\n ";
    for (std::size_t i = 0; i < plan.subtitles.size(); ++i) {
      const std::string track = std::to_string(i);
      const PlannedStream& stream = plan.subtitles[i];
      line += " --language " + track + ":" + Language(stream) + " --track-name " + track + ":" +
              ShellQuoted(stream.name.empty() ? stream.Id() : stream.name) + " --default-track-flag " + track + ":no";
    }
    line += " " + TracksFolder(plan) + "subtitles.idx";
  }
  // mkvmerge ends with 1 after warnings alone; the file is whole then.
  return line + "\nstatus=$?\n[ \"$status\" -le 1 ] || exit \"$status\"";
}

std::string Mp4Command(const ProjectPlan& plan, const std::vector<std::string>& audio) {
  std::string inputs = "ffmpeg -nostdin -hide_banner -loglevel error -y -i \"$video\"";
  std::string maps = "-map 0:v";
  std::string tags;
  for (std::size_t i = 0; i < plan.audio.size(); ++i) {
    const std::string n = std::to_string(i);
    inputs += " -i " + audio[i];
    maps += " -map " + std::to_string(i + 1) + ":a";
    tags += " -metadata:s:a:" + n + " language=" + Language(plan.audio[i]) + " -disposition:a:" + n +
            (i == 0 ? " default" : " 0");
  }
  inputs += " -f ffmetadata -i " + TracksFolder(plan) + "chapters.ffmeta";
  // The chapters keep their track only with the inputs' other metadata (-map_metadata -1 loses it).
  maps += " -map_chapters " + std::to_string(plan.audio.size() + 1);
  return "exec " + inputs + " \\\n  " + maps + " -c copy -metadata title=" + FileTitle(plan) + " \\\n " +
         tags + " -movflags +faststart -f mp4 \"$out\"";
}

}  // namespace

std::string MuxScriptText(const ProjectPlan& plan) {
  std::vector<std::string> audio = AudioResultFiles(plan);
  for (std::string& file : audio) file = TracksFolder(plan) + file;
  const bool mkv = plan.container == MovieContainer::Mkv;
  std::string text = "#!/bin/sh -\n";
  if (plan.SeveralTitles()) {
    text += "# Puts the video of one run of the second pass of a title, its audio and subtitle tracks\n";
    text += "# and its chapters into the title's file: mux.sh VIDEO OUT titleN, the tracks in\n";
    text += "# titleN/tracks. project.sh runs it after each run and measures OUT. Written by ravlo3.\n";
  } else {
    text += "# Puts the video of one run of the second pass, the audio and subtitle tracks and the\n";
    text += "# chapters into the one file: mux.sh VIDEO OUT. project.sh runs it after each run and\n";
    text += "# measures OUT. Written by ravlo3.\n";
  }
  text += "set -u\n";
  text += "video=$1 out=$2\n";
  if (plan.SeveralTitles()) text += "dir=$3 title=" + ShellQuoted(plan.discName + ", title ") + "${3#title}\n";
  text += InTracks(plan, mkv ? kMkvChapters : kFfmpegChapters);
  text += "\n";
  text += mkv ? MkvCommand(plan, audio) : Mp4Command(plan, audio);
  return text;  // the closing line break comes with the writing
}

}  // namespace ravlo
