#include "videopass/encodes.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "videopass/remote_jobs.h"

namespace videopass {
namespace {

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", seconds);
  return text;
}

}  // namespace

const std::vector<std::string> kFfmpeg = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats", "-y"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

EncoderJob XvidJob(const Options& options, const EncoderWords& words, const std::string& name,
                   const std::vector<std::string>& input, const std::vector<std::string>& pass, long frames) {
  EncoderJob job;
  job.log = Path(options, name + ".log");
  job.progress = Path(options, name + ".progress");
  job.frames = frames;
  // One thread each: the segments side by side use the cores, and threads of their own would
  // only contend for them (measured: a first pass of two segments 0.1 s faster in 1.2 s).
  // Progress is reported five times as often as by default, for the progress line of
  // one-second segments.
  job.args = Concat(Concat(kFfmpeg, {"-progress", job.progress, "-stats_period", "0.1", "-threads", "1"}), input);
  job.args = Concat(job.args, {"-c:v", "libxvid", "-vtag", "XVID", "-threads", "1"});
  job.args = Concat(Concat(job.args, words.other), pass);
  std::remove(job.log.c_str());
  job.returns = {job.log, job.progress};
  return job;
}

std::string RunEncodes(const Options& options, const std::vector<EncoderJob>& jobs, ProgressLine& progress) {
  if (options.nodes.empty()) return RunJobs(jobs, UsableCores(), progress);
  return RunOnNodes({options.nodes, options.folder}, jobs, progress);
}

int SegmentCount(const Options& options) {
  if (options.nodes.empty()) return UsableCores();
  std::ifstream in(options.nodes);
  std::stringstream text;
  text << in.rdbuf();
  return std::max(UsableCores(), NodeSlots(text.str()));
}

void ReadsSource(EncoderJob& job, const Options& options, long first, long end, const SeekPoint& seek, double fps) {
  job.source = options.source;
  // Without a seek the segment decodes the title from its start: its piece does too.
  job.sourceFrom = seek.seconds < 0 ? -1 : static_cast<double>(first) / fps;
  job.sourceTo = end < 0 ? -1 : static_cast<double>(end) / fps;
}

std::vector<std::string> SourceInput(const Options& options, const SeekPoint& seek) {
  std::vector<std::string> input = {"-i", options.source};
  return seek.seconds < 0 ? input : Concat({"-copyts", "-ss", SecondsText(seek.seconds)}, input);
}

std::vector<std::string> ChainInput(const Options& options, const std::string& chain, long first, long end,
                                    const SeekPoint& seek) {
  std::vector<std::string> input = Concat(SourceInput(options, seek), {"-map", "0:v:0", "-an", "-sn"});
  if (first == 0 && end < 0) return chain.empty() ? input : Concat(input, {"-vf", chain});
  input = Concat(input, {"-vf", seek.seconds < 0 ? SegmentChain(chain, first, end) : SeekChain(chain, seek.keepFrom)});
  // Stop decoding once the segment's frames are out.
  if (end >= 0) input = Concat(input, {"-frames:v", std::to_string(end - first)});
  return input;
}

std::string TailGraph(const std::string& chain, long first, long tailFrom, const SeekPoint& seek) {
  const std::string own = seek.seconds < 0 ? SegmentChain(chain, first, -1) : SeekChain(chain, seek.keepFrom);
  return "[0:v:0]" + own + ",split[main][t];[t]trim=start_frame=" + std::to_string(tailFrom - first) +
         ",setpts=PTS-STARTPTS[tail]";
}

}  // namespace videopass
