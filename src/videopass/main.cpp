// videopass: the video of project.sh in segments side by side.
//   videopass first  --stage N/M --duration SECONDS [--source movie.vob] [--folder segments] -- WORDS...
//   videopass second --stage N/M --medium BYTES --results 'FILES' [--out movie.avi.part] ... -- WORDS...
//   videopass join OUT SEGMENT...
// WORDS are the chain's filter and rate options and any codec options, passed to every encode.
// The first pass cuts the title into as many segments as there are cores; the second shares
// the bits by the first pass's statistics, encodes all segments but a short trailing one, and
// then that one (again if needed) until the results fill the medium within [99.5%, 100%].
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "videopass/bit_share.h"
#include "videopass/borders.h"
#include "videopass/encoder_jobs.h"
#include "videopass/fill.h"
#include "videopass/pass_log.h"
#include "videopass/segment_command.h"
#include "videopass/source_timing.h"

namespace videopass {
namespace {

struct Options {
  std::string command;
  std::string stage;  // "n/m" of the stage line
  std::string source = "movie.vob";
  std::string folder = "segments";
  std::string out = "movie.avi.part";  // the script renames it when the job checked it
  std::string log = "log.txt";
  std::string sizeLog = "size.log";
  double duration = 0;
  long long medium = 0;
  std::vector<std::string> results;
  std::vector<std::string> words;
  std::vector<std::string> files;  // join: the output, then the segments
};

struct Segment {
  long first = 0;
  long end = 0;  // one past its last frame
  long Frames() const { return end - first; }
};

const std::vector<std::string> kFfmpeg = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-nostats", "-y"};

long long FileBytes(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

std::string Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02ld", local.tm_hour, local.tm_min, local.tm_sec,
                now.tv_nsec / 10000000);
  return text;
}

// A stage begun again (a correction): its header line and its line in log.txt, as Stage does.
void StageAgain(const Options& options, const std::string& name, const std::string& note) {
  std::printf("\n[%s] %s (%s)\n", options.stage.c_str(), name.c_str(), note.c_str());
  std::fflush(stdout);
  std::ofstream(options.log, std::ios::app) << name << ": " << Now() << '\n';
}

void SizeLine(const Options& options, const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  std::ofstream(options.sizeLog, std::ios::app) << line << '\n';
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Path(const Options& options, const std::string& name) { return options.folder + "/" + name; }

// The job that has ffmpeg describe the chain's output, one frame through it.
EncoderJob ProbeJob(const Options& options, const EncoderWords& words) {
  std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-y", "-i", options.source,
                                   "-map", "0:v:0", "-an", "-sn"};
  if (!words.chain.empty()) args = Concat(args, {"-vf", words.chain});
  args = Concat(args, {"-frames:v", "1", "-f", "null", "-"});
  const std::string log = Path(options, "probe.log");
  std::remove(log.c_str());
  return {args, log, "", 0, {}};
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
  return job;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", seconds);
  return text;
}

// The source opened at the seek (if any).
std::vector<std::string> SourceInput(const Options& options, const SeekPoint& seek) {
  std::vector<std::string> input = {"-i", options.source};
  return seek.seconds < 0 ? input : Concat({"-copyts", "-ss", SecondsText(seek.seconds)}, input);
}

// The chain's frames [first, end) (end < 0: to the last): after a seek to them where the plan
// has one, else decoding from the title's start.
std::vector<std::string> ChainInput(const Options& options, const std::string& chain, long first, long end,
                                    const SeekPoint& seek) {
  std::vector<std::string> input = Concat(SourceInput(options, seek), {"-map", "0:v:0", "-an", "-sn"});
  if (first == 0 && end < 0) return chain.empty() ? input : Concat(input, {"-vf", chain});
  input = Concat(input, {"-vf", seek.seconds < 0 ? SegmentChain(chain, first, end) : SeekChain(chain, seek.keepFrom)});
  // Stop decoding once the segment's frames are out.
  if (end >= 0) input = Concat(input, {"-frames:v", std::to_string(end - first)});
  return input;
}

// The last segment's filters: its own frames to [main], the frames from `tailFrom` on to [tail].
std::string TailGraph(const std::string& chain, long first, long tailFrom, const SeekPoint& seek) {
  const std::string own = seek.seconds < 0 ? SegmentChain(chain, first, -1) : SeekChain(chain, seek.keepFrom);
  return "[0:v:0]" + own + ",split[main][t];[t]trim=start_frame=" + std::to_string(tailFrom - first) +
         ",setpts=PTS-STARTPTS[tail]";
}

// The plan of the first pass, which the second keeps: the chain's rate, where the trailing
// segment's frames begin, how the source seeks, and the segments' first frames.
bool WritePlan(const Options& options, double fps, const std::vector<long>& starts, long tailFrom,
               const SourceTiming& timing) {
  std::ofstream out(Path(options, "plan.txt"));
  out.precision(17);
  out << "fps " << fps << "\ntail " << tailFrom << "\nseek " << (timing.regular ? 1 : 0) << ' '
      << timing.firstSeconds << ' ' << timing.startSeconds << ' ' << timing.frameSeconds << ' ' << timing.keyGap
      << "\nstarts";
  for (long start : starts) out << ' ' << start;
  out << '\n';
  return static_cast<bool>(out.flush());
}

bool ReadPlan(const Options& options, double& fps, std::vector<long>& starts, long& tailFrom, SourceTiming& timing) {
  std::ifstream in(Path(options, "plan.txt"));
  std::string word;
  int regular = 0;
  if (!(in >> word >> fps >> word >> tailFrom >> word >> regular >> timing.firstSeconds >> timing.startSeconds >>
        timing.frameSeconds >> timing.keyGap >> word) ||
      word != "starts") {
    return false;
  }
  timing.regular = regular == 1;
  long start;
  while (in >> start) starts.push_back(start);
  return !starts.empty();
}

// The job that lists the source's video packets in decoding order (a quick read: nothing is
// decoded).
EncoderJob PacketJob(const Options& options) {
  const std::string list = Path(options, "packets.txt");
  std::remove(list.c_str());
  return {SourceTimingCommand(options.source), list, "", 0, {}};
}

SourceTiming ReadPackets(const std::string& list) {
  std::ifstream in(list);
  std::stringstream text;
  text << in.rdbuf();
  return ReadSourceTiming(text.str());
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
    timing = ReadPackets(packets.log);
    return ReadFrameRate(probe.log, fps, error);
  }
  // One of them failed: which one matters.
  error = RunJobs({ProbeJob(options, words)}, 1, quiet);
  if (!error.empty() || !ReadFrameRate(probe.log, fps, error)) return false;
  timing = RunJobs({PacketJob(options)}, 1, quiet).empty() ? ReadPackets(packets.log) : SourceTiming();
  return true;
}

std::string FirstLogName(std::size_t k) { return "first-" + std::to_string(k); }

int First(const Options& options) {
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
  const std::vector<long> starts = FirstPassStarts(FrameWork(timing.sizes, estimate), UsableCores(), decodeShare);
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
  }
  ProgressLine progress("[" + options.stage + "] Video 1st pass", estimate);
  error = RunJobs(jobs, UsableCores(), progress);
  progress.Break();
  if (!error.empty()) {
    std::cerr << "videopass: " << error << '\n';
    return 1;
  }
  for (std::size_t k = 0; k < starts.size(); ++k) {
    PassLog log;
    const std::string path = Path(options, FirstLogName(k) + "-0.log");
    if (!ReadPassLog(path, log)) {
      std::cerr << "videopass: the first pass's log " << path << " cannot be read\n";
      return 1;
    }
    const long expected = k + 1 < starts.size() ? starts[k + 1] - starts[k] : -1;
    const long made = static_cast<long>(log.frames.size());
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
  if (!WritePlan(options, fps, starts, tailFrom, timing)) {
    std::cerr << "videopass: " << Path(options, "plan.txt") << " cannot be written\n";
    return 1;
  }
  return 0;
}

// Joins encoded segments into one AVI without encoding again; "" or the reason it failed.
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
  std::string error = RunJobs({{args, log, "", 0, {}}}, 1, quiet);
  if (error.empty() && FileBytes(log) > 0) error = ShownCommand(args) + " reported errors; see " + log;
  return error;
}

int Fail(const std::string& reason) {
  std::cerr << "videopass: " << reason << '\n';
  return 1;
}

std::string Percent(long long total, long long medium) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 100.0 * static_cast<double>(total) / static_cast<double>(medium));
  return text;
}

int Second(const Options& options) {
  const EncoderWords words = SplitEncoderWords(options.words);
  // size.log tells this second pass only: a run again must not find the last run's verdicts.
  std::remove(options.sizeLog.c_str());
  double fps = 0;
  long tailFrom = 0;
  std::vector<long> starts;
  SourceTiming timing;
  if (!ReadPlan(options, fps, starts, tailFrom, timing)) {
    return Fail(Path(options, "plan.txt") + " is missing: the first pass has not run");
  }
  PassLog title;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    PassLog part;
    if (!ReadPassLog(Path(options, FirstLogName(k) + "-0.log"), part)) {
      return Fail("the first pass's log " + Path(options, FirstLogName(k) + "-0.log") + " cannot be read");
    }
    AppendFrames(title, part);
  }
  const long frames = static_cast<long>(title.frames.size());
  long long others = 0;
  for (const std::string& file : options.results) {
    const long long bytes = FileBytes(file);
    if (bytes < 0) return Fail(file + " is missing: the plan's result files must exist before the second pass");
    others += bytes;
  }
  const long long aimedVideo = AimedTotal(options.medium) - others;
  const double payload = static_cast<double>(aimedVideo) - 24.0 * frames - 8192;
  if (frames < 2 || payload <= 0) {
    return Fail("the audio and subtitles leave " + std::to_string((options.medium - others) / 1024) +
                " KB of the medium, too little for " + std::to_string(frames) + " video frames");
  }
  if (tailFrom >= frames) {
    return Fail("the title has " + std::to_string(frames) + " frames, fewer than its length promised; the trailing "
                "segment kept by the first pass starts at frame " + std::to_string(tailFrom));
  }

  // The segments of the second pass: the first pass's, and the trailing one cut off the end.
  std::vector<char> types;
  for (const FrameStat& frame : title.frames) types.push_back(frame.type);
  const long trailingStart = TrailingStart(types, std::max(starts.back(), tailFrom - 1));
  std::vector<Segment> segments;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    segments.push_back({starts[k], k + 1 < starts.size() ? starts[k + 1] : trailingStart});
  }
  segments.push_back({trailingStart, frames});
  const std::size_t trailing = segments.size() - 1;
  std::vector<long long> firstBytes;
  std::vector<std::string> names, files;
  for (std::size_t j = 0; j < segments.size(); ++j) {
    names.push_back("second-" + std::to_string(j));
    files.push_back(Path(options, "part-" + std::to_string(j) + ".avi"));
    if (!WriteSegmentLog(Path(options, names[j] + "-0.log"), title, segments[j].first, segments[j].end)) {
      return Fail(Path(options, names[j] + "-0.log") + " cannot be written");
    }
    firstBytes.push_back(FirstPassBytes(title, segments[j].first, segments[j].end));
  }
  std::vector<std::pair<long, long>> ranges;
  for (const Segment& segment : segments) ranges.push_back({segment.first, segment.end});
  const std::vector<double> shares = ShareBytes(title.frames, ranges, payload);
  long long firstTotal = 0;
  for (long long bytes : firstBytes) firstTotal += bytes;
  // The first pass ran at the finest quantizer: a title that small at its best is made at its
  // best, and the shortfall is said, not hidden.
  const bool atBest = static_cast<double>(firstTotal) <= payload;
  if (atBest) {
    SizeLine(options, "Video 2nd pass: at its best quality the video takes " + std::to_string(firstTotal) +
                          " bytes, less than the " + std::to_string(aimedVideo) + " bytes the medium leaves it");
  }
  {
    std::ofstream sizes(options.sizeLog, std::ios::app);
    for (std::size_t j = 0; j < segments.size(); ++j) {
      sizes << "Video 2nd pass: segment " << j + 1 << " frames " << segments[j].first << "-" << segments[j].end - 1
            << ", first pass " << firstBytes[j] << " bytes, share " << std::llround(shares[j]) << " bytes\n";
    }
  }
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
  // ffmpeg's AVI header with one video stream (measured: 5762 bytes), until a join measures it.
  double header = 5762;
  bool headerKnown = false;
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
    // the segments' sizes, once the header's size is known.
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
      // Joined for real when it may be the last try, or while the header's size is a guess.
      const long long tailBytes = FileBytes(files[trailing]);
      SizeLine(options, "Video 2nd pass: segment " + std::to_string(trailing + 1) + " at " + bitrateText(tailRate) +
                            " bit/s: " + std::to_string(tailBytes) + " bytes");
      long long total = predicted(tailBytes);
      if (!headerKnown || FillsMedium(total, options.medium) || (atBest && total <= options.medium)) {
        if (const std::string e = Join(partial, files, options.folder); !e.empty()) {
          std::cerr << "videopass: " << e << '\n';
          return -1;
        }
        total = FileBytes(partial) + others;
        header = static_cast<double>(mainFiles + tailBytes - FileBytes(partial)) / trailing;
        headerKnown = true;
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
        tries, options.medium, bestRate, atBest, 6,
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

bool ParseOptions(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.command = argv[1];
  int i = 2;
  if (options.command == "join") {
    for (; i < argc; ++i) options.files.push_back(argv[i]);
    return options.files.size() >= 2;
  }
  for (; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") {
      for (++i; i < argc; ++i) options.words.push_back(argv[i]);
      break;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (word == "--stage") options.stage = value;
    else if (word == "--source") options.source = value;
    else if (word == "--folder") options.folder = value;
    else if (word == "--out") options.out = value;
    else if (word == "--log") options.log = value;
    else if (word == "--size-log") options.sizeLog = value;
    else if (word == "--duration") options.duration = std::atof(value.c_str());
    else if (word == "--medium") options.medium = std::atoll(value.c_str());
    else if (word == "--results") {
      std::istringstream names(value);
      for (std::string name; names >> name;) options.results.push_back(name);
    } else return false;
  }
  if (options.command == "first") return options.duration > 0;
  if (options.command == "second") return options.medium > 0;
  return false;
}

}  // namespace
}  // namespace videopass

int main(int argc, char** argv) {
  using namespace videopass;
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << "usage: videopass first --stage N/M --duration SECONDS [--source FILE] [--folder DIR] -- WORDS...\n"
                 "       videopass second --stage N/M --medium BYTES [--results 'FILES'] [--out movie.avi.part] -- WORDS...\n"
                 "       videopass join OUT SEGMENT...\n";
    return 2;
  }
  if (options.command == "first") return First(options);
  if (options.command == "second") return Second(options);
  const std::string folder = ".";
  const std::string error = Join(options.files[0], {options.files.begin() + 1, options.files.end()}, folder);
  if (!error.empty()) return Fail(error);
  return 0;
}
