#include "videopass/one_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "videopass/file_pass.h"
#include "videopass/first_pass.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"
#include "videopass/segment_command.h"
#include "videopass/tail_pass.h"

namespace videopass {

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

long TailFrame(const Options& options, double fps) {
  if (options.codec != "hevc") return 0;
  const long estimate = std::lround(options.duration * fps);
  if (estimate < 100) return 0;
  // x265 puts a key frame every 250 frames where no scene change came first: one forced there
  // takes its place instead of adding a picture that costs the bits of a key frame.
  constexpr long kKeyInterval = 250;
  const long onInterval = std::lround(estimate * (1 - kTailShare) / kKeyInterval) * kKeyInterval;
  if (onInterval >= estimate * 0.75 && onInterval <= estimate * 0.92) return onInterval;
  return std::lround(estimate * (1 - kTailShare));
}

std::string TitleFirstPass(const Options& options, double fps, ProgressLine& progress, long tailFrame) {
  const EncoderWords words = SplitEncoderWords(options.words);
  const long estimate = std::max(1L, std::lround(options.duration * fps));
  // The first pass only gauges the pictures; the second scales its statistics to its own
  // bitrate. Asked for about what the medium allows, it gauges them at a like quality.
  const double bitrate = std::max(kLeastBitrate, options.medium * 8.0 * 0.9 / options.duration);
  // Its video is kept: put into the file with the tracks before the second pass, it tells what
  // the file holds beside the video.
  PassPart whole;
  whole.keyFrame = tailFrame;
  const EncoderJob job =
      PassJob(options, words, 1, bitrate, {"-f", "matroska", Path(options, "video1.mkv")}, estimate, whole);
  if (std::string e = RunPass(job, "Video 1st pass", 0, progress); !e.empty()) return e;
  const long frames = ProgressFrames(job.progress);
  if (frames <= 0 || frames / fps < options.duration * 0.9 - 1) {
    char text[300];
    std::snprintf(text, sizeof text, "the first pass of %s made %ld frames, %.1f seconds, where the title lasts %.1f; "
                  "the source was not read whole", options.source.c_str(), frames, frames / fps, options.duration);
    return text;
  }
  // An encoder that keeps no statistics cannot make a second pass from them.
  struct stat info {};
  const std::string stats = StatsFile(options);
  if (stat(stats.c_str(), &info) != 0 || info.st_size == 0)
    return "the " + options.codec + " encoder of this ffmpeg kept no first-pass statistics (" + stats +
           " is empty): it cannot make two passes";
  if (!WriteRecord(options, fps, frames, tailFrame < frames ? tailFrame : 0)) return RecordPath(options) + " cannot be written";
  return {};
}

int OneFileFirst(const Options& options) {
  mkdir(options.folder.c_str(), 0755);
  double fps = 0;
  std::string error;
  if (!ChainFrameRate(options, SplitEncoderWords(options.words), fps, error)) return Fail(error);
  ProgressLine progress("[" + options.stage + "] Video 1st pass", std::max(1L, std::lround(options.duration * fps)));
  error = TitleFirstPass(options, fps, progress, TailFrame(options, fps));
  progress.Break();
  return error.empty() ? 0 : Fail(error);
}

int OneFileSecond(const Options& options) {
  const EncoderWords words = SplitEncoderWords(options.words);
  double fps = 0;
  long frames = 0, tailFrame = 0;
  if (!ReadRecord(options, fps, frames, &tailFrame))
    return Fail(RecordPath(options) + " is missing or damaged: the first pass has not run whole");
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
  if (const std::string e = Mux(options, first, options.out); !e.empty()) return Fail(e);
  const FileRun gauge{FileBytes(first) * 8.0 / seconds, FileBytes(first), FileBytes(options.out)};
  std::remove(options.out.c_str());
  FileRun run;
  run.bitrate = NextFileBitrate(gauge, medium);  // the room at the aim, over the title's length
  if (tailFrame > 0 && run.bitrate >= kLeastBitrate) {
    const TailResult tail = SecondWithTail(options, words, fps, frames, tailFrame, run.bitrate);
    if (tail.code >= 0) return tail.code;
    run.bitrate = tail.wholeBitrate;  // the title's end cannot make up the rest: whole runs
  }
  const std::string video = Path(options, "video.mkv");
  for (int n = 1; n <= kFileRuns; ++n) {
    if (run.bitrate < kLeastBitrate) {
      return Fail("the medium of " + std::to_string(medium) + " bytes leaves the video " +
                  std::to_string(std::llround(run.bitrate / 1000)) + " kbit/s beside the tracks (" +
                  std::to_string(trackBytes) + " bytes): too little for " + options.codec + "; see size.log");
    }
    if (n > 1) StageAgain(options, "Video 2nd pass", "correction " + std::to_string(n - 1));
    const EncoderJob job = PassJob(options, words, 2, run.bitrate, {"-f", "matroska", video}, frames);
    ProgressLine progress("[" + options.stage + "] Video 2nd pass", frames);
    const std::string e = RunPass(job, "Video 2nd pass", frames, progress);
    progress.Break();
    if (!e.empty()) return Fail(e);
    if (const std::string m = Mux(options, video, options.out); !m.empty()) return Fail(m);
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
  return MissedAfterRuns(options, run.fileBytes, medium);
}

int MissedAfterRuns(const Options& options, long long fileBytes, long long medium) {
  if (fileBytes > medium) {
    std::remove(options.out.c_str());
    return Fail("after " + std::to_string(kFileRuns) + " runs the file fills " + Percent(fileBytes, medium) +
                "% of the medium, over it: the encoder did not come down to the bitrate asked; see size.log");
  }
  SizeLine(options, "Video 2nd pass: short of the medium after " + std::to_string(kFileRuns) +
                        " runs: the encoder did not come up to the bitrate asked");
  return 0;
}

}  // namespace videopass
