#include "videopass/tail_pass.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "videopass/file_pass.h"
#include "videopass/one_file.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"
#include "videopass/stats_cut.h"
#include "videopass/title_share.h"

namespace videopass {
namespace {

std::string Frames(long first, long end) { return "frames " + std::to_string(first) + "-" + std::to_string(end - 1); }

// The two parts' streams one after the other, put into VIDEO (Matroska) with their timing.
std::string Join(const Options& options, const std::string& main, const std::string& end, double fps,
                 const std::string& video) {
  const std::string joined = Path(options, "video.hevc");
  {
    std::ofstream out(joined, std::ios::binary);
    out << std::ifstream(main, std::ios::binary).rdbuf() << std::ifstream(end, std::ios::binary).rdbuf();
    if (!out.flush()) return joined + " cannot be written";
  }
  EncoderJob join;
  join.log = Path(options, "join.log");
  // mkvmerge ends with 1 after warnings alone; its messages go to its output.
  join.args = {"sh", "-c", "said=$(mkvmerge --output \"$1\" --default-duration \"$2\" \"$3\") || "
               "{ s=$?; [ $s -le 1 ] || { echo \"$said\" >&2; exit $s; }; }", "join", video,
               "0:" + std::to_string(std::llround(1e9 / fps)) + "ns", joined};
  ProgressLine quiet("", 0);
  std::remove(video.c_str());
  if (std::string e = RunJobs({join}, 1, quiet); !e.empty()) return "the two parts of the video could not be joined: " + e;
  if (FileBytes(video) <= 0) return "mkvmerge wrote no " + video + "; see " + join.log;
  std::remove(joined.c_str());
  return {};
}

}  // namespace

TailResult SecondWithTail(const Options& options, const EncoderWords& words, double fps, long frames, long tailFrame,
                          double bitrate) {
  const std::string stats = Stats(options), tailStats = Path(options, options.codec + "_tail_stats");
  std::vector<FrameCost> costs;
  std::string why = CutStatsFile(stats, tailFrame, tailStats);
  if (why.empty()) why = ReadFrameCosts(stats, costs);
  if (why.empty() && static_cast<long>(costs.size()) != frames)
    why = stats + " holds " + std::to_string(costs.size()) + " frames, the first pass made " + std::to_string(frames);
  if (!why.empty()) {
    SizeLine(options, "Video 2nd pass: the title is made whole: " + why);
    return {-1, bitrate};
  }
  const double seconds = frames / fps, endSeconds = (frames - tailFrame) / fps;
  // The frames up to the key frame come first in the statistics, as they are coded first.
  const std::vector<double> share = ShareBits({{costs.begin(), costs.begin() + tailFrame}, {costs.begin() + tailFrame, costs.end()}},
                                              bitrate * seconds);
  const std::string mainVideo = Path(options, "video_main.hevc"), endVideo = Path(options, "video_end.hevc");
  const std::string video = Path(options, "video.mkv");
  const long long medium = options.medium;
  ProgressLine progress("[" + options.stage + "] Video 2nd pass", frames);
  PassPart main;
  main.end = tailFrame;
  if (std::string e = RunPass(PassJob(options, words, 2, bitrate, {"-f", "hevc", mainVideo}, tailFrame, main),
                              "Video 2nd pass", tailFrame, progress);
      !e.empty()) {
    progress.Break();
    return {Fail(e)};
  }
  const long long mainBytes = FileBytes(mainVideo);
  // The end, planned by the encoder over its own frames alone, lands close to what it is asked.
  double endRate = (bitrate * seconds / 8 - mainBytes) * 8 / endSeconds;
  SizeLine(options, "Video 2nd pass: " + Frames(0, tailFrame) + " at " + Bitrate(bitrate) + " bit/s: " +
                        std::to_string(mainBytes) + " bytes, " + Percent(mainBytes, std::llround(share[0] / 8)) +
                        "% of their share; the end asked for " + Bitrate(endRate) + " bit/s");
  // The end cannot carry a main part far off: made whole again, at the bitrate the miss asks for.
  if (endRate < std::max(kLeastBitrate, 0.5 * share[1] / endSeconds)) {
    progress.Break();
    SizeLine(options, "Video 2nd pass: the end would get under half its share; the title is made whole again");
    StageAgain(options, "Video 2nd pass", "the whole title");
    return {-1, bitrate * share[0] / (mainBytes * 8.0)};
  }
  PassPart end;
  end.first = tailFrame;
  end.stats = tailStats;
  long long fileBytes = 0;
  for (int n = 1; n <= kFileRuns; ++n) {
    if (n > 1) StageAgain(options, "Video 2nd pass", "correction " + std::to_string(n - 1) + ", the end");
    ProgressLine again("[" + options.stage + "] Video 2nd pass", frames - tailFrame);
    const EncoderJob job = PassJob(options, words, 2, endRate, {"-f", "hevc", endVideo}, frames - tailFrame, end);
    std::string e = RunPass(job, "Video 2nd pass", frames - tailFrame, n == 1 ? progress : again);
    (n == 1 ? progress : again).Break();
    if (e.empty()) e = Join(options, mainVideo, endVideo, fps, video);
    if (e.empty()) e = Mux(options, video, options.out);
    if (!e.empty()) return {Fail(e)};
    const long long endBytes = FileBytes(endVideo);
    fileBytes = FileBytes(options.out);
    SizeLine(options, "Video 2nd pass: the end, " + Frames(tailFrame, frames) + ", at " + Bitrate(endRate) +
                          " bit/s: " + std::to_string(endBytes) + " bytes; the file " + std::to_string(fileBytes) +
                          " bytes, " + Percent(fileBytes, medium) + "% of the medium");
    if (fileBytes <= medium && fileBytes >= medium * 0.995) {
      std::remove(mainVideo.c_str());
      std::remove(endVideo.c_str());
      return {0};
    }
    // Far under what it was asked for, the encoder is at its finest: more would not be taken.
    if (fileBytes < medium && endBytes * 8 < 0.8 * endRate * endSeconds) {
      SizeLine(options, "Video 2nd pass: at its best quality the end takes " + std::to_string(endBytes) + " bytes at " +
                            Bitrate(endRate) + " bit/s asked; the medium is larger than the title needs");
      return {0};
    }
    // The end makes up what the file misses of the aim, its bytes following its bitrate.
    const double wanted = endBytes + (medium * kFileAim - fileBytes);
    if (wanted < kLeastBitrate * endSeconds / 8) {
      SizeLine(options, "Video 2nd pass: the end cannot make up " + Percent(fileBytes, medium) +
                            "% of the medium; the title is made whole again");
      StageAgain(options, "Video 2nd pass", "the whole title");
      return {-1, bitrate * (medium * kFileAim) / fileBytes};
    }
    endRate *= wanted / std::max<long long>(endBytes, 1);
  }
  return {MissedAfterRuns(options, fileBytes, medium)};
}

}  // namespace videopass
