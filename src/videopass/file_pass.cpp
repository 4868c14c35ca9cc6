#include "videopass/file_pass.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "videopass/encodes.h"
#include "videopass/one_file.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"

namespace videopass {

std::string Bitrate(double bitsPerSecond) { return std::to_string(std::llround(bitsPerSecond)); }

std::string Stats(const Options& options) { return Path(options, options.codec + "_stats"); }

std::string StatsFile(const Options& options) {
  return options.codec == "hevc" ? Stats(options) : Stats(options) + "-0.log";
}

EncoderJob PassJob(const Options& options, const EncoderWords& words, int pass, double bitrate,
                   const std::vector<std::string>& output, long frames, const PassPart& part) {
  const std::string name = "video" + std::to_string(pass);
  EncoderJob job;
  job.log = Path(options, name + ".log");
  job.progress = Path(options, name + ".progress");
  job.frames = frames;
  std::remove(job.log.c_str());
  std::remove(job.progress.c_str());
  job.args = Concat(kFfmpeg, {"-progress", job.progress, "-i", options.source, "-map", "0:v:0", "-an", "-sn"});
  // The part is cut before a chain that keeps every frame as it is (the frames before it are
  // then only decoded, not scaled), else after it, where the encoder counts them.
  std::string chain = words.chain;
  if (part.first > 0 || part.end > 0) chain = SegmentChain(words.chain, part.first, part.end > 0 ? part.end : -1);
  if (!chain.empty()) job.args = Concat(job.args, {"-vf", chain});
  job.args = Concat(job.args, PassWords(options.codec, pass, bitrate, part.stats.empty() ? Stats(options) : part.stats));
  if (part.keyFrame > 0) {
    job.args = Concat(job.args, {"-force_key_frames", "expr:eq(n," + std::to_string(part.keyFrame) + ")"});
    if (options.codec == "hevc") job.args = Concat(job.args, {"-forced-idr", "1"});
  }
  job.args = Concat(Concat(job.args, words.other), output);
  return job;
}

std::string RunPass(const EncoderJob& job, const std::string& title, long frames, ProgressLine& progress) {
  std::string error = RunJobs({job}, 1, progress);
  if (!error.empty()) return error;
  const long made = ProgressFrames(job.progress);
  if (frames > 0 && made != frames)
    return title + " made " + std::to_string(made) + " frames where the first pass made " + std::to_string(frames) +
           "; see " + job.log;
  return {};
}

std::string Mux(const Options& options, const std::string& video, const std::string& out, const std::string& folder) {
  ProgressLine quiet("", 0);
  EncoderJob mux;
  mux.args = {"sh", options.mux, video, out};
  if (!folder.empty()) mux.args.push_back(folder);
  mux.log = "mux.log";
  std::remove(out.c_str());
  if (const std::string e = RunJobs({mux}, 1, quiet); !e.empty()) return "the tracks could not be put into " + out + ": " + e;
  if (FileBytes(out) <= 0) return options.mux + " wrote no " + out + "; see mux.log";
  return {};
}

std::string RecordPath(const Options& options) { return Path(options, "one_file.txt"); }

bool WriteRecord(const Options& options, double fps, long frames, long tailFrame) {
  std::ofstream record(RecordPath(options));
  record.precision(17);
  record << "fps " << fps << "\nframes " << frames << '\n';
  if (tailFrame > 0) record << "tail " << tailFrame << '\n';
  return static_cast<bool>(record.flush());
}

bool ReadRecord(const Options& options, double& fps, long& frames, long* tailFrame) {
  std::ifstream in(RecordPath(options));
  std::string fpsWord, framesWord, tailWord;
  if (!(in >> fpsWord >> fps >> framesWord >> frames) || fpsWord != "fps" || framesWord != "frames" || !(fps > 0) ||
      !std::isfinite(fps) || frames <= 0)
    return false;
  long tail = 0;
  if (in >> tailWord && (tailWord != "tail" || !(in >> tail) || tail <= 0 || tail >= frames)) return false;
  if (tailFrame) *tailFrame = tail;
  return true;
}

}  // namespace videopass
