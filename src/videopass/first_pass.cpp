#include "videopass/first_pass.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <regex>
#include <string>
#include <vector>

#include "videopass/borders.h"
#include "videopass/encodes.h"
#include "videopass/one_file.h"
#include "videopass/titles.h"
#include "videopass/pass_log.h"
#include "videopass/plan_file.h"
#include "videopass/progress_line.h"

namespace videopass {
namespace {

// The job that has ffmpeg describe the chain's output, one frame through it.
EncoderJob ProbeJob(const Options& options, const EncoderWords& words) {
  std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-y", "-i", options.source,
                                   "-map", "0:v:0", "-an", "-sn"};
  if (!words.chain.empty()) args = Concat(args, {"-vf", words.chain});
  args = Concat(args, {"-frames:v", "1", "-f", "null", "-"});
  const std::string log = Path(options, "probe.log");
  std::remove(log.c_str());
  EncoderJob job;
  job.args = args;
  job.log = log;
  return job;
}

// The frame rate the chain puts out, from the probe's description of its output.
bool ReadFrameRate(const std::string& log, double& fps, std::string& error) {
  std::ifstream in(log);
  std::string line;
  bool output = false;
  const std::regex rate(R"(([0-9.]+) fps)");
  while (std::getline(in, line)) {
    if (line.rfind("Output #0", 0) == 0) output = true;
    std::smatch match;
    if (output && std::regex_search(line, match, rate)) {
      fps = std::stod(match[1]);
      return fps > 0;
    }
  }
  error = "ffmpeg did not say the frame rate of the filtered video; see " + log;
  return false;
}

// The job that lists the source's video packets in decoding order (a quick read: nothing is
// decoded).
EncoderJob PacketJob(const Options& options) {
  const std::string list = Path(options, "packets.txt");
  std::remove(list.c_str());
  EncoderJob job;
  job.args = SourceTimingCommand(options.source);
  job.log = list;
  return job;
}

// The chain's frame rate and the source's packets, read side by side. Packets that cannot be
// read are none (every frame then counts the same, and no segment seeks); a rate that cannot be
// had fails.
bool ProbeSource(const Options& options, const EncoderWords& words, double& fps, SourceTiming& timing,
                 std::string& error) {
  ProgressLine quiet("", 0);
  // On one core the title is one segment (and the trailing one, cut from the first pass's
  // output): nothing seeks, nothing is balanced, and the packets are not needed.
  if (UsableCores() == 1) {
    timing = SourceTiming();
    error = RunJobs({ProbeJob(options, words)}, 1, quiet);
    return error.empty() && ReadFrameRate(Path(options, "probe.log"), fps, error);
  }
  const EncoderJob probe = ProbeJob(options, words), packets = PacketJob(options);
  if (RunJobs({probe, packets}, UsableCores(), quiet).empty()) {
    timing = ReadSourceTimingFile(packets.log);
    return ReadFrameRate(probe.log, fps, error);
  }
  // One of them failed: which one matters.
  error = RunJobs({ProbeJob(options, words)}, 1, quiet);
  if (!error.empty() || !ReadFrameRate(probe.log, fps, error)) return false;
  timing = RunJobs({PacketJob(options)}, 1, quiet).empty() ? ReadSourceTimingFile(packets.log) : SourceTiming();
  return true;
}

}  // namespace

bool ChainFrameRate(const Options& options, const EncoderWords& words, double& fps, std::string& error) {
  ProgressLine quiet("", 0);
  error = RunJobs({ProbeJob(options, words)}, 1, quiet);
  return error.empty() && ReadFrameRate(Path(options, "probe.log"), fps, error);
}

int First(const Options& options) {
  if (!options.titles.empty()) return TitlesFirst(options);
  if (options.codec != "xvid") return OneFileFirst(options);
  const EncoderWords words = SplitEncoderWords(options.words);
  mkdir(options.folder.c_str(), 0755);
  double fps = 0;
  std::string error;
  SourceTiming timing;
  if (!ProbeSource(options, words, fps, timing, error)) {
    std::cerr << "videopass: " << error << '\n';
    return 1;
  }
  const long estimate = std::max(1L, std::lround(options.duration * fps));
  // A chain that works on runs of frames must see the title from its start.
  if (!FrameLocal(words.chain)) timing.regular = false;
  // Frames before a segment are decoded, and filtered too unless the chain is frame-local
  // (measured on a DVD chain scaled to 640x360: decoding 0.2 of a first pass, scaling 0.2 more);
  // a segment that seeks decodes only a few groups of pictures before its own.
  const double decodeShare = Seekable(timing, fps) ? 0 : FrameLocal(words.chain) ? 0.2 : 0.4;
  const std::vector<long> starts = FirstPassStarts(FrameWork(timing.sizes, estimate), SegmentCount(options), decodeShare);
  // The trailing segment is cut off the end after this pass; the last segment keeps the
  // filtered frames it may come from, losslessly, so that the trailing segment can be encoded
  // (again) without decoding the title again.
  const long tailFrom = std::max(starts.back() + 1, estimate - TrailingLength(estimate) * 3 / 2);
  std::vector<EncoderJob> jobs;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const SeekPoint seek = SeekFor(timing, starts[k], fps);
    const long end = k + 1 < starts.size() ? starts[k + 1] : -1;
    std::vector<std::string> pass = {"-b:v", "1000000", "-pass", "1", "-passlogfile", Path(options, FirstLogName(k)),
                                     "-f", "avi", "/dev/null"};
    std::vector<std::string> input = ChainInput(options, words.chain, starts[k], end, seek);
    if (end < 0) {
      input = Concat(SourceInput(options, seek),
                     {"-filter_complex", TailGraph(words.chain, starts[k], tailFrom, seek), "-map", "[main]"});
      pass = Concat(pass, {"-map", "[tail]", "-c:v", "ffvhuff", "-f", "nut", Path(options, "tail.nut")});
    }
    jobs.push_back(XvidJob(options, words, "video1." + std::to_string(k), input, pass,
                           (end < 0 ? estimate : end) - starts[k]));
    jobs.back().passLog = Path(options, FirstLogName(k) + "-0.log");
    ReadsSource(jobs.back(), options, starts[k], end, seek, fps);
    jobs.back().returns.push_back(jobs.back().passLog);
    if (end < 0) jobs.back().returns.push_back(Path(options, "tail.nut"));
  }
  ProgressLine progress("[" + options.stage + "] Video 1st pass", estimate);
  error = RunEncodes(options, jobs, progress);
  progress.Break();
  if (!error.empty()) {
    std::cerr << "videopass: " << error << '\n';
    return 1;
  }
  long titleFrames = 0;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    PassLog log;
    if (const std::string e = ReadPassLog(Path(options, FirstLogName(k) + "-0.log"), log); !e.empty()) {
      std::cerr << "videopass: " << e << '\n';
      return 1;
    }
    const long expected = k + 1 < starts.size() ? starts[k + 1] - starts[k] : -1;
    const long made = static_cast<long>(log.frames.size());
    titleFrames += made;
    // libxvid writes its log without a word when the disk is full: it must hold every frame
    // the encode reported.
    if (const long encoded = ProgressFrames(jobs[k].progress); encoded > 0 && made != encoded) {
      std::cerr << "videopass: the log of segment " << k + 1 << " of the first pass holds " << made << " of the "
                << encoded << " frames it encoded; it was not written whole\n";
      return 1;
    }
    if ((expected >= 0 && made != expected) || made == 0) {
      std::cerr << "videopass: segment " << k + 1 << " of the first pass made " << made
                << " frames where " << (expected >= 0 ? expected : 1) << (expected >= 0 ? "" : " or more")
                << " were due; see " << jobs[k].log << '\n';
      return 1;
    }
  }
  // The title's length, as the source's container tells it, against the frames made: a source
  // that ends early (a damaged disc, a VOB cut short) is caught before the second pass.
  if (options.duration > 0 && titleFrames / fps < options.duration * 0.9 - 1) {
    char text[160];
    std::snprintf(text, sizeof text, "the first pass made %ld frames, %.1f seconds, where the title lasts %.1f",
                  titleFrames, titleFrames / fps, options.duration);
    std::cerr << "videopass: " << text << "; the source was not read whole\n";
    return 1;
  }
  if (!WritePlan(options, fps, starts, tailFrom, timing)) {
    std::cerr << "videopass: " << Path(options, "plan.txt") << " cannot be written\n";
    return 1;
  }
  return 0;
}

}  // namespace videopass
