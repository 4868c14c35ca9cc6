#pragma once
// The Linux road: project.sh and movie.sh, each a function of the plan. project.sh runs the
// stages of project.bat with free tools (vobtitle, ffmpeg with libxvid, libmp3lame, libvorbis
// and ac3, brimmer) and logs them to log.txt in the same form; movie.sh plays the result.
// Both have LF line ends and expect to lie in the project folder. Like every writer's text,
// theirs comes without the closing line break.

#include <string>
#include <vector>

#include "project/project_plan.h"
#include "project/writers.h"

namespace ravlo {

// `helperFolder`: where vobtitle and brimmer are, native form (the folder of ravlo3 itself).
std::string ProjectScriptText(const ProjectPlan& plan, const std::string& helperFolder);
std::string MovieScriptText(const ProjectPlan& plan);
// mux.sh of a plan of one file (MKV, MP4): the video of a run and the tracks into that file.
std::string MuxScriptText(const ProjectPlan& plan);

// Where the installed helpers are for a data folder: <prefix>/bin beside <prefix>/share/ravlo3;
// otherwise the folder itself (a build tree).
std::string HelperFolder(const std::string& appFolder);

// The files of the shell road, in the order a save writes them.
std::vector<ProjectFile> ShellProjectFiles(const ProjectPlan& plan, const std::string& helperFolder);

// The file each chosen audio stream ends in: "0x80.mp3", or the disc's own "0x80o.ac3" /
// "0xA0o.wav" when the streams are kept as they are.
std::vector<std::string> AudioResultFiles(const ProjectPlan& plan);

// The video's ffmpeg filters and output rate as the plan's choices ask for them, in the order
// of project.avs. On NTSC the Analysis stage sets the field filters aside and takes the film
// rate when it finds the chain is soft telecine.
struct VideoFilters {
  std::string field;    // inverse telecine or deinterlacing, "" for none
  std::string picture;  // resize and crop; "CROP" stands where the crop found at run time goes
  std::string rate;     // output options that change the frame rate ("-r 24000/1001"), or ""
};
VideoFilters PlannedVideoFilters(const ProjectPlan& plan);

}  // namespace ravlo
