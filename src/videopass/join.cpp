#include "videopass/join.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "videopass/encodes.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"

namespace videopass {

std::string Join(const std::string& out, const std::vector<std::string>& segments, const std::string& folder) {
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
  std::vector<std::string> args = Concat(kFfmpeg, {"-f", "concat", "-safe", "0", "-i", list, "-map", "0:v",
                                                   "-c", "copy", "-f", "avi", out});
  ProgressLine quiet("", 0);
  const std::string log = folder + "/join.log";
  std::remove(log.c_str());
  EncoderJob job;
  job.args = args;
  job.log = log;
  std::string error = RunJobs({job}, 1, quiet);
  if (error.empty() && FileBytes(log) > 0) error = ShownCommand(args) + " reported errors; see " + log;
  return error;
}

}  // namespace videopass
