#include "videopass/second_pass.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "videopass/bit_share.h"
#include "videopass/borders.h"
#include "videopass/encodes.h"
#include "videopass/fill.h"
#include "videopass/join.h"
#include "videopass/pass_log.h"
#include "videopass/plan_file.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"

namespace videopass {
namespace {

struct Segment {
  long first = 0;
  long end = 0;  // one past its last frame
  long Frames() const { return end - first; }
};

// What the second pass works from: the first pass's plan and statistics, the other results'
// bytes, the room left for the picture, and the segments with their logs written.
struct Setup {
  double fps = 0;
  long tailFrom = 0;
  SourceTiming timing;
  PassLog title;
  long frames = 0;
  long long others = 0;      // the plan's other result files
  long long aimedVideo = 0;  // what the medium's aim leaves the movie
  double payload = 0;        // of it, the picture's
  std::vector<Segment> segments;  // the main ones, then the trailing one
  std::vector<long long> firstBytes;
  std::vector<double> shares;
  std::vector<std::string> names, files;  // each segment's log name and file
  long long firstTotal = 0;
};

// Reads the first pass and sets the second up; "" or the reason it cannot.
std::string Prepare(const Options& options, Setup& setup) {
  // size.log tells this second pass only: a run again must not find the last run's verdicts.
  std::remove(options.sizeLog.c_str());
  std::vector<long> starts;
  if (!ReadPlan(options, setup.fps, starts, setup.tailFrom, setup.timing)) {
    return Path(options, "plan.txt") + " is missing: the first pass has not run";
  }
  PassLog& title = setup.title;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    PassLog part;
    if (!ReadPassLog(Path(options, FirstLogName(k) + "-0.log"), part)) {
      return "the first pass's log " + Path(options, FirstLogName(k) + "-0.log") + " cannot be read";
    }
    AppendFrames(title, part);
  }
  const long frames = setup.frames = static_cast<long>(title.frames.size());
  long long& others = setup.others;
  for (const std::string& file : options.results) {
    const long long bytes = FileBytes(file);
    if (bytes < 0) return file + " is missing: the plan's result files must exist before the second pass";
    others += bytes;
  }
  const long long aimedVideo = setup.aimedVideo = AimedTotal(options.medium) - others;
  const double payload = setup.payload = static_cast<double>(aimedVideo) - 24.0 * frames - 8192;
  if (frames < 2 || payload <= 0) {
    return "the audio and subtitles leave " + std::to_string((options.medium - others) / 1024) +
           " KB of the medium, too little for " + std::to_string(frames) + " video frames";
  }
  if (setup.tailFrom >= frames) {
    return "the title has " + std::to_string(frames) + " frames, fewer than its length promised; the trailing "
           "segment kept by the first pass starts at frame " + std::to_string(setup.tailFrom);
  }

  // The segments of the second pass: the first pass's, and the trailing one cut off the end.
  std::vector<char> types;
  for (const FrameStat& frame : title.frames) types.push_back(frame.type);
  const long trailingStart = TrailingStart(types, std::max(starts.back(), setup.tailFrom - 1));
  std::vector<Segment>& segments = setup.segments;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    segments.push_back({starts[k], k + 1 < starts.size() ? starts[k + 1] : trailingStart});
  }
  segments.push_back({trailingStart, frames});
  std::vector<long long>& firstBytes = setup.firstBytes;
  std::vector<std::string>& names = setup.names;
  std::vector<std::string>& files = setup.files;
  for (std::size_t j = 0; j < segments.size(); ++j) {
    names.push_back("second-" + std::to_string(j));
    files.push_back(Path(options, "part-" + std::to_string(j) + ".avi"));
    if (!WriteSegmentLog(Path(options, names[j] + "-0.log"), title, segments[j].first, segments[j].end)) {
      return Path(options, names[j] + "-0.log") + " cannot be written";
    }
    firstBytes.push_back(FirstPassBytes(title, segments[j].first, segments[j].end));
  }
  std::vector<std::pair<long, long>> ranges;
  for (const Segment& segment : segments) ranges.push_back({segment.first, segment.end});
  setup.shares = ShareBytes(title.frames, ranges, payload);
  for (long long bytes : firstBytes) setup.firstTotal += bytes;
  // The first pass ran at the finest quantizer: a title that small at its best is made at its
  // best, and the shortfall is said, not hidden.
  if (static_cast<double>(setup.firstTotal) <= payload) {
    SizeLine(options, "Video 2nd pass: at its best quality the video takes " + std::to_string(setup.firstTotal) +
                          " bytes, less than the " + std::to_string(aimedVideo) + " bytes the medium leaves it");
  }
  {
    std::ofstream sizes(options.sizeLog, std::ios::app);
    for (std::size_t j = 0; j < segments.size(); ++j) {
      sizes << "Video 2nd pass: segment " << j + 1 << " frames " << segments[j].first << "-" << segments[j].end - 1
            << ", first pass " << firstBytes[j] << " bytes, share " << std::llround(setup.shares[j]) << " bytes\n";
    }
  }
  return "";
}

}  // namespace

int Second(const Options& options) {
  Setup setup;
  if (const std::string error = Prepare(options, setup); !error.empty()) return Fail(error);
  const EncoderWords words = SplitEncoderWords(options.words);
  const double fps = setup.fps;
  const long tailFrom = setup.tailFrom, frames = setup.frames;
  const SourceTiming& timing = setup.timing;
  const long long others = setup.others, aimedVideo = setup.aimedVideo, firstTotal = setup.firstTotal;
  const double payload = setup.payload;
  const std::vector<Segment>& segments = setup.segments;
  const std::vector<long long>& firstBytes = setup.firstBytes;
  const std::vector<double>& shares = setup.shares;
  const std::vector<std::string>& names = setup.names;
  const std::vector<std::string>& files = setup.files;
  const std::size_t trailing = segments.size() - 1;
  const bool atBest = static_cast<double>(firstTotal) <= payload;
  auto bitrateText = [](double bitrate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", bitrate);
    return std::string(text);
  };
  auto passWords = [&](std::size_t j, double bitrate) {
    return std::vector<std::string>{"-b:v", bitrateText(bitrate), "-pass", "2", "-passlogfile", Path(options, names[j]),
                                    "-f", "avi", files[j]};
  };
  auto quantizers = [&](std::size_t j) { return Path(options, names[j] + ".vstats"); };
  // Every segment's log holds the whole title, its own frames first, and every segment is asked
  // for the whole title's bitrate: libxvid then gives each frame what one second pass of the
  // whole title would, and the picture stays even across the borders. The finest request is
  // the first pass's size, made at the finest quantizer.
  const double bestRate = RequestBitrate(1e18, firstTotal, frames, fps);
  double mainRate = atBest ? bestRate : RequestBitrate(payload, firstTotal, frames, fps);
  double tailRate = mainRate;
  const Segment& tail = segments[trailing];
  std::vector<std::string> tailInput = {"-i", Path(options, "tail.nut"), "-map", "0:v:0", "-an", "-sn"};
  if (tail.first > tailFrom) tailInput = Concat(tailInput, {"-vf", SegmentChain("", tail.first - tailFrom, -1)});
  ProgressLine progress("[" + options.stage + "] Video 2nd pass", frames + tail.Frames());
  auto encodeTail = [&](double bitrate) {
    tailRate = bitrate;
    const std::string error =
        RunJobs({XvidJob(options, words, "video2.tail", tailInput, passWords(trailing, bitrate), tail.Frames())}, 1, progress);
    if (!error.empty()) std::cerr << "videopass: " << error << '\n';
    return error.empty() ? FileBytes(files[trailing]) : -1;
  };

  const std::string& partial = options.out;
  int corrections = 0;
  auto correction = [&]() {
    progress.Break();
    StageAgain(options, "Video 2nd pass", "correction " + std::to_string(++corrections));
  };
  // What joining takes off each segment but the first (ffmpeg's AVI header with one video
  // stream; measured: 5718 to 5762 bytes), until a join measures it.
  double header = 5762;
  // What the main segments should take together, and the common requests tried for them with
  // the bytes each gave.
  auto mainWanted = [&]() {
    double wanted = 0;
    for (std::size_t j = 0; j < trailing; ++j) wanted += shares[j] + 24.0 * segments[j].Frames() + header;
    return wanted;
  };
  std::vector<Try> mainTries;
  // Aims the main segments again from what their requests gave; false when that changes
  // nothing: the request would not move, or every frame already had the finest quantizer and
  // only more bits were wanted.
  auto aimMainAgain = [&](bool allFinest) {
    const double next = std::min(NextMainRequest(mainTries, mainWanted()), bestRate);
    if (std::fabs(next - mainRate) <= 1 || (allFinest && next > mainRate)) return false;
    mainRate = next;
    return true;
  };
  // With a core to spare, the trailing segment is encoded beside the main ones on the core the
  // first main segment to end leaves idle: when that lands the fill, nothing is encoded after
  // the main segments.
  const bool tailBeside = !atBest && UsableCores() > 1;
  constexpr int kMainRuns = 3;
  for (int mainRun = 0;; ++mainRun) {
    std::vector<EncoderJob> jobs;
    for (std::size_t j = 0; j < trailing; ++j) {
      std::remove(quantizers(j).c_str());
      jobs.push_back(XvidJob(options, words, "video2." + std::to_string(j),
                             ChainInput(options, words.chain, segments[j].first, segments[j].end,
                                        SeekFor(timing, segments[j].first, fps)),
                             Concat({"-vstats_file", quantizers(j)}, passWords(j, mainRate)), segments[j].Frames()));
    }
    if (tailBeside) {
      EncoderJob tailJob = XvidJob(options, words, "video2.tail", tailInput, {}, tail.Frames());
      const std::vector<std::string> start = tailJob.args;
      // It starts when a main segment has ended: it makes up what the ended ones missed of
      // their shares, and lands as they did against theirs.
      tailJob.argsAtStart = [&, start]() {
        double made = 0, wanted = 0;
        for (std::size_t j = 0; j < trailing; ++j) {
          if (!ProgressEnded(jobs[j].progress)) continue;
          made += static_cast<double>(FileBytes(files[j])) - 24.0 * segments[j].Frames() - header;
          wanted += shares[j];
        }
        const double landing = wanted > 0 ? std::clamp(made / wanted, 0.5, 2.0) : 1;
        const double goal = std::clamp(shares[trailing] - (made - wanted), 0.5 * shares[trailing], 2.0 * shares[trailing]);
        tailRate = std::clamp(mainRate * goal / (shares[trailing] * landing), 1000.0, bestRate);
        return Concat(start, passWords(trailing, tailRate));
      };
      jobs.push_back(tailJob);
    }
    if (const std::string error = RunJobs(jobs, UsableCores(), progress); !error.empty()) return Fail(error);
    long long mainFiles = 0;
    bool allFinest = true;
    {
      std::ofstream sizes(options.sizeLog, std::ios::app);
      for (std::size_t k = 0; k < trailing; ++k) {
        mainFiles += FileBytes(files[k]);
        allFinest = allFinest && AllAtFinestQuantizer(quantizers(k));
        sizes << "Video 2nd pass: segment " << k + 1 << " at " << std::llround(mainRate) << " bit/s: "
              << FileBytes(files[k]) << " bytes\n";
      }
    }
    mainTries.push_back({mainRate, static_cast<double>(mainFiles)});
    // The join keeps one header and every frame's chunk and index entry: its size follows from
    // the segments' sizes less a header for each segment but the first.
    const long long joinedMain = mainFiles - static_cast<long long>(header * (trailing - 1));
    const double goal = TrailingGoal(options.medium, others, joinedMain, tail.Frames());
    // The segments missed by more than the trailing one can make up with a picture like theirs:
    // aim them again, all at one request, from what the last ones gave.
    if (!atBest && mainRun + 1 < kMainRuns && !TrailingCanCarry(goal, shares[trailing], firstBytes[trailing]) &&
        aimMainAgain(allFinest)) {
      correction();
      progress = ProgressLine("[" + options.stage + "] Video 2nd pass", frames);
      continue;
    }
    auto predicted = [&](long long tailBytes) {
      return mainFiles + tailBytes - static_cast<long long>(header * trailing) + others;
    };
    // The bytes of all results with the trailing segment as it is now; negative when the join failed.
    auto measure = [&]() -> long long {
      // Joined for real only when it may be the last try: the join's size follows from the
      // segments' closely enough to tell a try that cannot fill.
      const long long tailBytes = FileBytes(files[trailing]);
      SizeLine(options, "Video 2nd pass: segment " + std::to_string(trailing + 1) + " at " + bitrateText(tailRate) +
                            " bit/s: " + std::to_string(tailBytes) + " bytes");
      long long total = predicted(tailBytes);
      if (FillsMedium(total, options.medium) || (atBest && total <= options.medium)) {
        if (const std::string e = Join(partial, files, options.folder); !e.empty()) {
          std::cerr << "videopass: " << e << '\n';
          return -1;
        }
        total = FileBytes(partial) + others;
        header = static_cast<double>(mainFiles + tailBytes - FileBytes(partial)) / trailing;
      }
      SizeLine(options, "Video 2nd pass at " + bitrateText((total - others) * 8.0 * fps / frames) + " bit/s: " +
                            std::to_string(total) + " bytes, " + Percent(total, options.medium) + "% of the medium");
      return total;
    };
    auto again = [&]() {
      correction();
      progress = ProgressLine("[" + options.stage + "] Video 2nd pass", tail.Frames());
    };
    // The trailing segment's response so far, as bytes of all results. Its picture grows in
    // proportion to its request (measured: 1.5 to 3 Mbit/s gave 447 to 894 KB), so what it
    // adds is aimed through the total it would leave with no picture at all.
    const double emptyTail = predicted(std::llround(24.0 * tail.Frames() + header));
    // Not yet encoded, it is expected to land against its share as the main segments did.
    double mainShares = 0;
    for (std::size_t j = 0; j < trailing; ++j) mainShares += shares[j];
    const double landing = std::clamp((mainFiles - 24.0 * (frames - tail.Frames()) - header * trailing) /
                                          std::max(mainShares, 1.0), 0.5, 2.0);
    std::vector<Try> tries = {{0, emptyTail}, {mainRate, emptyTail + shares[trailing] * landing}};
    bool encodedOnce = false;
    if (!atBest) {
      if (!tailBeside) {
        tailRate = std::clamp(NextRequest(tries, static_cast<double>(AimedTotal(options.medium))), 1000.0, bestRate);
        if (encodeTail(tailRate) < 0) return 1;
      }
      progress.Break();
      const long long total = measure();
      if (total < 0) return 1;
      if (FillsMedium(total, options.medium)) break;
      tries = {{0, emptyTail}, {tailRate, static_cast<double>(total)}};
      encodedOnce = true;
    }
    const Landed landed = LandTrailing(
        tries, options.medium, bestRate, atBest, 8,
        [&](double bitrate) -> long long {
          // After the encode above, even the first one here is a correction.
          if (std::exchange(encodedOnce, false)) again();
          if (encodeTail(bitrate) < 0) return -1;
          progress.Break();
          return measure();
        },
        again);
    if (landed.kind == Landed::Error) return 1;
    if (landed.kind == Landed::Fills || landed.kind == Landed::AtBest) break;
    if (landed.kind == Landed::NeedsMain && mainRun + 1 < kMainRuns && aimMainAgain(allFinest)) {
      correction();
      progress = ProgressLine("[" + options.stage + "] Video 2nd pass", frames);
      continue;
    }
    if (landed.kind == Landed::NeedsMain && landed.total < options.medium) {
      // Every segment at its best and still short of the medium: the title is made at its best,
      // and the shortfall is said.
      if (const std::string e = Join(partial, files, options.folder); !e.empty()) return Fail(e);
      const long long total = FileBytes(partial) + others;
      SizeLine(options, "Video 2nd pass: at its best quality the video takes " + std::to_string(total - others) +
                            " bytes, less than the " + std::to_string(aimedVideo) + " bytes the medium leaves it");
      break;
    }
    std::remove(partial.c_str());
    return Fail("after " + std::to_string(corrections) + " corrections the files fill " +
                Percent(landed.total, options.medium) + "% of the medium, not 99.5% to 100%; see " + options.sizeLog);
  }
  return 0;
}

}  // namespace videopass
