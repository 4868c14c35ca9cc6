#include "videopass/one_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "videopass/encodes.h"
#include "videopass/first_pass.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"
#include "videopass/segment_command.h"

namespace videopass {
namespace {

constexpr const char* kRecord = "one_file.txt";  // the first pass's frame rate and frames
// Below this the encoders cannot make a watchable picture, nor follow the request.
constexpr double kLeastBitrate = 16000;

std::string Bitrate(double bitsPerSecond) { return std::to_string(std::llround(bitsPerSecond)); }

std::string Stats(const Options& options) { return Path(options, options.codec + "_stats"); }

EncoderJob PassJob(const Options& options, const EncoderWords& words, int pass, double bitrate,
                   const std::vector<std::string>& output, long frames) {
  const std::string name = "video" + std::to_string(pass);
  EncoderJob job;
  job.log = Path(options, name + ".log");
  job.progress = Path(options, name + ".progress");
  job.frames = frames;
  std::remove(job.log.c_str());
  std::remove(job.progress.c_str());
  job.args = Concat(kFfmpeg, {"-progress", job.progress, "-i", options.source, "-map", "0:v:0", "-an", "-sn"});
  if (!words.chain.empty()) job.args = Concat(job.args, {"-vf", words.chain});
  job.args = Concat(Concat(Concat(job.args, PassWords(options.codec, pass, bitrate, Stats(options))), words.other), output);
  return job;
}

// Encodes the pass, its progress counted against job.frames; "" when it made `frames` frames
// (any number when 0), else why not.
std::string RunPass(const Options& options, const EncoderJob& job, const std::string& title, long frames) {
  ProgressLine progress("[" + options.stage + "] " + title, job.frames);
  std::string error = RunJobs({job}, 1, progress);
  progress.Break();
  if (!error.empty()) return error;
  const long made = ProgressFrames(job.progress);
  if (frames > 0 && made != frames)
    return title + " made " + std::to_string(made) + " frames where the first pass made " + std::to_string(frames) +
           "; see " + job.log;
  return {};
}

// Puts VIDEO and the tracks into the one file; "" when the file was written.
std::string Mux(const Options& options, const std::string& video) {
  ProgressLine quiet("", 0);
  EncoderJob mux;
  mux.args = {"sh", options.mux, video, options.out};
  mux.log = "mux.log";
  std::remove(options.out.c_str());
  if (const std::string e = RunJobs({mux}, 1, quiet); !e.empty()) return "the tracks could not be put into " + options.out + ": " + e;
  if (FileBytes(options.out) <= 0) return options.mux + " wrote no " + options.out + "; see mux.log";
  return {};
}

bool ReadRecord(const Options& options, double& fps, long& frames) {
  std::ifstream in(Path(options, kRecord));
  std::string fpsWord, framesWord;
  return in >> fpsWord >> fps >> framesWord >> frames && fpsWord == "fps" && framesWord == "frames" && fps > 0 &&
         std::isfinite(fps) && frames > 0;
}

}  // namespace

std::vector<std::string> PassWords(const std::string& codec, int pass, double bitrate, const std::string& stats) {
  const std::string number = std::to_string(pass);
  if (codec == "hevc") {
    return {"-c:v", "libx265", "-preset", "medium", "-b:v", Bitrate(bitrate), "-x265-params",
            "log-level=error:pass=" + number + ":stats=" + stats};
  }
  if (codec == "av1") {
    return {"-c:v", "libsvtav1", "-b:v", Bitrate(bitrate), "-pass", number, "-passlogfile", stats};
  }
  // x264 keeps to the bitrate asked within its rate tolerance, which ffmpeg leaves at several
  // percent; a tenth of a percent lands the second pass where it is aimed (measured on a title
  // that turns hard halfway: +2.6% over with ffmpeg's tolerance, +0.14% with this, and 0.2 dB
  // better at the same size).
  std::vector<std::string> words = {"-c:v", "libx264", "-preset", "medium", "-b:v", Bitrate(bitrate),
                                    "-pass", number, "-passlogfile", stats};
  if (pass == 2) words.insert(words.end(), {"-x264-params", "ratetol=0.1"});
  return words;
}

double NextFileBitrate(const FileRun& last, long long medium) {
  const double beside = static_cast<double>(last.fileBytes - last.videoBytes);
  const double room = static_cast<double>(medium) * kFileAim - beside;
  if (room <= 0 || last.videoBytes <= 0) return 0;
  return last.bitrate * room / static_cast<double>(last.videoBytes);
}

int OneFileFirst(const Options& options) {
  const EncoderWords words = SplitEncoderWords(options.words);
  mkdir(options.folder.c_str(), 0755);
  double fps = 0;
  std::string error;
  if (!ChainFrameRate(options, words, fps, error)) return Fail(error);
  const long estimate = std::max(1L, std::lround(options.duration * fps));
  // The first pass only gauges the pictures; the second scales its statistics to its own
  // bitrate. Asked for about what the medium allows, it gauges them at a like quality.
  const double bitrate = std::max(kLeastBitrate, options.medium * 8.0 * 0.9 / options.duration);
  // Its video is kept: put into the file with the tracks before the second pass, it tells what
  // the file holds beside the video.
  const EncoderJob job = PassJob(options, words, 1, bitrate, {"-f", "matroska", Path(options, "video1.mkv")}, estimate);
  if (const std::string e = RunPass(options, job, "Video 1st pass", 0); !e.empty()) return Fail(e);
  const long frames = ProgressFrames(job.progress);
  if (frames <= 0 || frames / fps < options.duration * 0.9 - 1) {
    char text[200];
    std::snprintf(text, sizeof text, "the first pass made %ld frames, %.1f seconds, where the title lasts %.1f; "
                  "the source was not read whole", frames, frames / fps, options.duration);
    return Fail(text);
  }
  // An encoder that keeps no statistics cannot make a second pass from them.
  struct stat info {};
  const std::string stats = options.codec == "hevc" ? Stats(options) : Stats(options) + "-0.log";
  if (stat(stats.c_str(), &info) != 0 || info.st_size == 0)
    return Fail("the " + options.codec + " encoder of this ffmpeg kept no first-pass statistics (" + stats +
                " is empty): it cannot make two passes");
  std::ofstream record(Path(options, kRecord));
  record << "fps " << fps << "\nframes " << frames << '\n';
  if (!record.flush()) return Fail(Path(options, kRecord) + " cannot be written");
  return 0;
}

int OneFileSecond(const Options& options) {
  const EncoderWords words = SplitEncoderWords(options.words);
  double fps = 0;
  long frames = 0;
  if (!ReadRecord(options, fps, frames))
    return Fail(Path(options, kRecord) + " is missing or damaged: the first pass has not run whole");
  const double seconds = frames / fps;
  long long trackBytes = 0;
  for (const std::string& file : options.results) {
    const long long bytes = FileBytes(file);
    if (bytes < 0) return Fail(file + " is missing: the tracks must be made before the second pass");
    trackBytes += bytes;
  }
  const long long medium = options.medium;
  // What the file holds beside the video (the tracks as the container keeps them, its headers
  // and index) is measured on the first pass's video put into it.
  const std::string first = Path(options, "video1.mkv");
  if (const std::string e = Mux(options, first); !e.empty()) return Fail(e);
  const FileRun gauge{FileBytes(first) * 8.0 / seconds, FileBytes(first), FileBytes(options.out)};
  std::remove(options.out.c_str());
  FileRun run;
  run.bitrate = NextFileBitrate(gauge, medium);  // the room at the aim, over the title's length
  const std::string video = Path(options, "video.mkv");
  for (int n = 1; n <= kFileRuns; ++n) {
    if (run.bitrate < kLeastBitrate) {
      return Fail("the medium of " + std::to_string(medium) + " bytes leaves the video " +
                  std::to_string(std::llround(run.bitrate / 1000)) + " kbit/s beside the tracks (" +
                  std::to_string(trackBytes) + " bytes): too little for " + options.codec + "; see size.log");
    }
    if (n > 1) StageAgain(options, "Video 2nd pass", "correction " + std::to_string(n - 1));
    const EncoderJob job = PassJob(options, words, 2, run.bitrate, {"-f", "matroska", video}, frames);
    if (const std::string e = RunPass(options, job, "Video 2nd pass", frames); !e.empty()) return Fail(e);
    if (const std::string e = Mux(options, video); !e.empty()) return Fail(e);
    run.videoBytes = FileBytes(video);
    run.fileBytes = FileBytes(options.out);
    SizeLine(options, "Video 2nd pass at " + Bitrate(run.bitrate) + " bit/s: video " + std::to_string(run.videoBytes) +
                          " bytes, the file " + std::to_string(run.fileBytes) + " bytes, " +
                          Percent(run.fileBytes, medium) + "% of the medium");
    const bool inside = run.fileBytes <= medium && run.fileBytes >= medium * 0.995;
    if (inside) return 0;
    if (n == kFileRuns) break;
    const double next = NextFileBitrate(run, medium);
    // Far under what it was asked for, the encoder is at its finest: more would not be taken.
    if (run.fileBytes < medium && next > run.bitrate && run.videoBytes * 8 < 0.8 * run.bitrate * seconds) {
      SizeLine(options, "Video 2nd pass: at its best quality the video takes " + std::to_string(run.videoBytes) +
                            " bytes at " + Bitrate(run.bitrate) + " bit/s asked; the medium is larger than the title needs");
      return 0;
    }
    run.bitrate = next;
  }
  if (run.fileBytes > medium) {
    std::remove(options.out.c_str());
    return Fail("after " + std::to_string(kFileRuns) + " runs the file fills " + Percent(run.fileBytes, medium) +
                "% of the medium, over it: the encoder did not come down to the bitrate asked; see size.log");
  }
  SizeLine(options, "Video 2nd pass: short of the medium after " + std::to_string(kFileRuns) +
                        " runs: the encoder did not come up to the bitrate asked");
  return 0;
}

}  // namespace videopass
