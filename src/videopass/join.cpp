#include "videopass/join.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "videopass/encoder_jobs.h"
#include "videopass/encodes.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"

namespace videopass {

std::string Join(const std::string& out, const std::vector<std::string>& segments, const std::string& folder,
                 long frames) {
  const std::string list = folder + "/join.txt";
  {
    std::ofstream text(list);
    for (const std::string& segment : segments) {
      std::string absolute = segment;
      if (absolute.empty() || absolute[0] != '/') {
        char here[4096];
        absolute = std::string(getcwd(here, sizeof here) ? here : ".") + "/" + segment;
      }
      std::string quoted;
      for (char c : absolute) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
      text << "file '" << quoted << "'\n";
    }
    if (!text.flush()) return list + " cannot be written";
  }
  const std::string progress = folder + "/join.progress";
  std::vector<std::string> args = Concat(kFfmpeg, {"-progress", progress, "-f", "concat", "-safe", "0", "-i", list,
                                                   "-map", "0:v", "-c", "copy", "-f", "avi", out});
  ProgressLine quiet("", 0);
  const std::string log = folder + "/join.log";
  std::remove(log.c_str());
  EncoderJob job;
  job.args = args;
  job.log = log;
  job.progress = progress;
  std::string error = RunJobs({job}, 1, quiet);
  if (error.empty() && FileBytes(log) > 0) error = ShownCommand(args) + " reported errors; see " + log;
  if (error.empty() && frames >= 0 && ProgressFrames(progress) != frames) {
    error = "the joined movie " + out + " holds " + std::to_string(ProgressFrames(progress)) + " frames, not the " +
            std::to_string(frames) + " of its segments";
  }
  return error;
}

}  // namespace videopass
