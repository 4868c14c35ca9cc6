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
#include "videopass/first_pass_record.h"
#include "videopass/join.h"
#include "videopass/one_file.h"
#include "videopass/titles.h"
#include "videopass/pass_log.h"
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
  FirstPassRecord record;
  if (std::string error = ReadFirstPassRecord(options, SplitEncoderWords(options.words).chain, record);
      !error.empty()) {
    return error;
  }
  setup.fps = record.fps;
  setup.tailFrom = record.tailFrom;
  setup.timing = record.timing;
  setup.title = std::move(record.title);
  const std::vector<long>& starts = record.starts;
  const PassLog& title = setup.title;
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

// The second pass after Prepare: the main segments side by side at one request for all (again
// when they miss by more than the trailing segment can make up), then the trailing segment
// until the results fill the medium, joined into the movie.
class SecondPass {
 public:
  SecondPass(const Options& options, const Setup& setup);
  int Run();

 private:
  struct MainRun {
    long long bytes = 0;     // the main segments' files together
    bool allFinest = true;    // every frame had the finest quantizer
    bool allCoarsest = true;  // every frame had the coarsest quantizer
  };
  // Runs of the main segments judged on their course (stopped early when heading off), and
  // runs in all: a title whose difficulty changes may need whole runs again before the
  // trailing segment can land the fill. Only the first run is judged: a run's first part
  // foresees its end a few percent off (a second forecast said 107.7% of the shares where the
  // run would have made 100.6%), which is enough to stop a run that would have landed.
  static constexpr int kJudgedRuns = 2;
  static constexpr int kMainRuns = 6;

  std::vector<std::string> PassWords(std::size_t j, double bitrate) const;
  std::string Quantizers(std::size_t j) const { return Path(options_, s_.names[j] + ".vstats"); }
  std::string MainProgress(std::size_t j) const { return Path(options_, "video2." + std::to_string(j) + ".progress"); }
  EncoderJob TailBeside();
  // Whether the trailing segment is encoded with the main ones: here beside them on a core
  // they leave idle, on other machines right after them (its command is made when it starts,
  // which parallel's jobs, all known before, cannot wait for); aimed the same way either way.
  bool TailWithMain() const { return !atBest_ && (UsableCores() > 1 || !options_.nodes.empty()); }
  std::string EncodeMain(bool judged);
  enum class Course { Unknown, Carried, Missing };
  MainCourse CourseOf(std::size_t j, const std::vector<long long>& made) const;
  Course JudgeCourse(const std::vector<long>& made);
  MainRun MeasureMain() const;
  double MainWanted() const;
  bool AimMain(double wanted, const MainRun& run);
  long long Predicted(long long mainFiles, long long tailBytes) const;
  long long Measure(long long mainFiles);
  long long EncodeTail(double bitrate);
  Landed LandFill(const MainRun& run);
  int JoinAtBest();
  void Correction(long frames);

  const Options& options_;
  const Setup& s_;
  const EncoderWords words_;
  const std::size_t trailing_;  // the trailing segment's index, after the main ones
  const Segment& tail_;
  const bool atBest_;
  const double bestRate_;  // the finest request: the first pass's size, made at the finest quantizer
  double mainRate_, tailRate_;
  // What joining takes off each segment but the first (ffmpeg's AVI header with one video
  // stream; measured: 5718 to 5762 bytes), until a join measures it.
  double header_ = 5762;
  MainTries mainTries_;  // the common requests tried for the main segments, with the bytes each gave
  std::vector<std::string> tailInput_;
  ProgressLine progress_;
  int corrections_ = 0;
  // The main segments' files together that a run stopped on its course was heading for (0: the
  // last run was not stopped).
  double onCourse_ = 0;
};

std::string BitrateText(double bitrate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", bitrate);
  return text;
}

// Every segment's log holds the whole title, its own frames first, and every segment is asked
// for the whole title's bitrate: libxvid then gives each frame what one second pass of the whole
// title would, and the picture stays even across the borders.
SecondPass::SecondPass(const Options& options, const Setup& setup)
    : options_(options),
      s_(setup),
      words_(SplitEncoderWords(options.words)),
      trailing_(setup.segments.size() - 1),
      tail_(setup.segments.back()),
      atBest_(static_cast<double>(setup.firstTotal) <= setup.payload),
      bestRate_(RequestBitrate(1e18, setup.firstTotal, setup.frames, setup.fps)),
      mainRate_(atBest_ ? bestRate_ : RequestBitrate(setup.payload, setup.firstTotal, setup.frames, setup.fps)),
      tailRate_(mainRate_),
      tailInput_({"-i", Path(options, "tail.nut"), "-map", "0:v:0", "-an", "-sn"}),
      progress_("[" + options.stage + "] Video 2nd pass", setup.frames) {
  if (tail_.first > s_.tailFrom) tailInput_ = Concat(tailInput_, {"-vf", SegmentChain("", tail_.first - s_.tailFrom, -1)});
}

std::vector<std::string> SecondPass::PassWords(std::size_t j, double bitrate) const {
  return {"-b:v", BitrateText(bitrate), "-pass", "2", "-passlogfile", Path(options_, s_.names[j]), "-f", "avi",
          s_.files[j]};
}

void SecondPass::Correction(long frames) {
  progress_.Break();
  StageAgain(options_, "Video 2nd pass", "correction " + std::to_string(++corrections_));
  progress_ = ProgressLine("[" + options_.stage + "] Video 2nd pass", frames);
}

// With a core to spare, the trailing segment is encoded beside the main ones on the core the
// first main segment to end leaves idle: when that lands the fill, nothing is encoded after the
// main segments. It starts when a main segment has ended: it makes up what the main segments
// are expected to miss of their shares, and lands as the ended ones did against theirs.
EncoderJob SecondPass::TailBeside() {
  EncoderJob job = XvidJob(options_, words_, "video2.tail", tailInput_, {}, tail_.Frames());
  job.sends = {Path(options_, "tail.nut"), Path(options_, s_.names[trailing_] + "-0.log")};
  job.returns.push_back(s_.files[trailing_]);
  job.argsAtStart = [this, start = job.args]() {
    double made = 0, wanted = 0;
    std::vector<MainSegment> mains;
    for (std::size_t j = 0; j < trailing_; ++j) {
      MainSegment main;
      main.share = s_.shares[j];
      main.firstPerFrame = static_cast<double>(s_.firstBytes[j]) / std::max(s_.segments[j].Frames(), 1L);
      main.ended = ProgressEnded(MainProgress(j));
      if (main.ended) {
        main.picture = static_cast<double>(FileBytes(s_.files[j])) - 24.0 * s_.segments[j].Frames() - header_;
        made += main.picture;
        wanted += main.share;
      }
      mains.push_back(main);
    }
    const double share = s_.shares[trailing_];
    const double landing = wanted > 0 ? std::clamp(made / wanted, 0.5, 2.0) : 1;
    const double goal = std::clamp(share - ExpectedMainMiss(mains), 0.5 * share, 2.0 * share);
    tailRate_ = std::clamp(mainRate_ * goal / (share * landing), 1000.0, bestRate_);
    return Concat(start, PassWords(trailing_, tailRate_));
  };
  return job;
}

// Main segment `j` after the frames it made, of the bytes in `made`.
MainCourse SecondPass::CourseOf(std::size_t j, const std::vector<long long>& made) const {
  const Segment& segment = s_.segments[j];
  const long middle = segment.first + static_cast<long>(made.size());
  MainCourse course;
  course.share = s_.shares[j];
  course.doneShare = ShareBytes(s_.title.frames, {{segment.first, middle}}, s_.payload)[0];
  for (long long bytes : made) course.made += static_cast<double>(bytes);
  course.donePerFrame = static_cast<double>(FirstPassBytes(s_.title, segment.first, middle)) / std::max(1L, middle - segment.first);
  if (middle < segment.end) {
    course.restPerFrame = static_cast<double>(FirstPassBytes(s_.title, middle, segment.end)) / (segment.end - middle);
  }
  return course;
}

// Once every main segment has made a quarter of its frames: whether they are on course to make
// so much more than their shares that the trailing segment could not make it up. A run that is
// will be made again at another request, and is better stopped than finished.
SecondPass::Course SecondPass::JudgeCourse(const std::vector<long>& made) {
  bool running = false;
  for (std::size_t j = 0; j < trailing_; ++j) {
    if (made[j] < s_.segments[j].Frames() / 4) return Course::Unknown;
    running = running || made[j] < s_.segments[j].Frames();
  }
  // All ended (short segments, or reports that came late): nothing to spare, the run is measured.
  if (!running) return Course::Carried;
  double files = 0, picture = 0, shares = 0;
  std::vector<long> done(trailing_);
  for (std::size_t j = 0; j < trailing_; ++j) {
    const Segment& segment = s_.segments[j];
    const std::vector<long long> bytes = ReportedFrameBytes(Quantizers(j));
    const long n = std::min<long>(static_cast<long>(bytes.size()), segment.Frames());
    // ffmpeg writes its report in blocks: too little of it read is no ground to judge on.
    if (n < segment.Frames() / 8) return Course::Unknown;
    const MainCourse course = CourseOf(j, std::vector<long long>(bytes.begin(), bytes.begin() + n));
    const double heading = OnCourse(course);
    picture += heading;
    shares += course.share;
    files += heading + 24.0 * segment.Frames() + header_;
    done[j] = n;
  }
  const long long joined = std::llround(files - header_ * (trailing_ - 1));
  const double goal = TrailingGoal(options_.medium, s_.others, joined, tail_.Frames());
  if (picture <= shares || TrailingCanCarry(goal, s_.shares[trailing_], s_.firstBytes[trailing_])) {
    return Course::Carried;
  }
  onCourse_ = files;
  std::ofstream sizes(options_.sizeLog, std::ios::app);
  for (std::size_t j = 0; j < trailing_; ++j) {
    sizes << "Video 2nd pass: segment " << j + 1 << " at " << std::llround(mainRate_) << " bit/s: stopped after "
          << done[j] << " of " << s_.segments[j].Frames() << " frames\n";
  }
  sizes << "Video 2nd pass: the main segments were on course for " << std::llround(files) << " bytes, "
        << Percent(std::llround(picture), std::llround(shares)) << "% of their shares\n";
  return Course::Missing;
}

// The main segments side by side (and the trailing one beside them on a spare core); `judged`:
// stopped once they are on course to miss by more than the trailing segment can make up.
std::string SecondPass::EncodeMain(bool judged) {
  std::vector<EncoderJob> jobs;
  for (std::size_t j = 0; j < trailing_; ++j) {
    const Segment& segment = s_.segments[j];
    std::remove(Quantizers(j).c_str());
    jobs.push_back(XvidJob(options_, words_, "video2." + std::to_string(j),
                           ChainInput(options_, words_.chain, segment.first, segment.end,
                                      SeekFor(s_.timing, segment.first, s_.fps)),
                           Concat({"-vstats_file", Quantizers(j)}, PassWords(j, mainRate_)), segment.Frames()));
    ReadsSource(jobs.back(), options_, segment.first, segment.end, SeekFor(s_.timing, segment.first, s_.fps), s_.fps);
    jobs.back().sends.push_back(Path(options_, s_.names[j] + "-0.log"));
    jobs.back().returns.insert(jobs.back().returns.end(), {s_.files[j], Quantizers(j)});
  }
  const bool here = options_.nodes.empty();
  if (TailWithMain() && here) jobs.push_back(TailBeside());
  onCourse_ = 0;
  Course course = Course::Unknown;
  StopEarly stop = nullptr;
  if (judged) {
    stop = [&](const std::vector<long>& made) {
      // Judged once a run, on the first quarter of every main segment.
      if (course == Course::Unknown) course = JudgeCourse(made);
      return course == Course::Missing;
    };
  }
  const std::string error = RunEncodes(options_, jobs, progress_, stop);
  if (!error.empty() || here || !TailWithMain() || onCourse_ > 0) return error;
  EncoderJob tail = TailBeside();
  tail.args = tail.argsAtStart();
  tail.argsAtStart = nullptr;
  return RunEncodes(options_, {tail}, progress_);
}

SecondPass::MainRun SecondPass::MeasureMain() const {
  MainRun run;
  std::ofstream sizes(options_.sizeLog, std::ios::app);
  for (std::size_t j = 0; j < trailing_; ++j) {
    run.bytes += FileBytes(s_.files[j]);
    run.allFinest = run.allFinest && AllAtFinestQuantizer(Quantizers(j));
    run.allCoarsest = run.allCoarsest && AllAtCoarsestQuantizer(Quantizers(j));
    sizes << "Video 2nd pass: segment " << j + 1 << " at " << std::llround(mainRate_) << " bit/s: "
          << FileBytes(s_.files[j]) << " bytes\n";
  }
  return run;
}

// What the main segments should take together.
double SecondPass::MainWanted() const {
  double wanted = 0;
  for (std::size_t j = 0; j < trailing_; ++j) wanted += s_.shares[j] + 24.0 * s_.segments[j].Frames() + header_;
  return wanted;
}

// Aims the main segments' next run at `wanted` bytes of files together, from what their
// requests gave; false when that changes nothing: the request would not move, or every frame
// already had the finest quantizer and only more bits were wanted, or the coarsest and only
// fewer.
bool SecondPass::AimMain(double wanted, const MainRun& run) {
  const double next = std::min(mainTries_.Next(wanted), bestRate_);
  if (std::fabs(next - mainRate_) <= 1 || (run.allFinest && next > mainRate_) ||
      (run.allCoarsest && next < mainRate_)) {
    return false;
  }
  mainRate_ = next;
  return true;
}

// The bytes of all results with the trailing segment at `tailBytes`: the join keeps one header
// and every frame's chunk and index entry, so its size follows from the segments' sizes less a
// header for each segment but the first.
long long SecondPass::Predicted(long long mainFiles, long long tailBytes) const {
  return mainFiles + tailBytes - static_cast<long long>(header_ * trailing_) + s_.others;
}

// The bytes of all results with the trailing segment as it is now; negative when the join
// failed. Joined for real only when it may be the last try: the join's size follows from the
// segments' closely enough to tell a try that cannot fill.
long long SecondPass::Measure(long long mainFiles) {
  const long long tailBytes = FileBytes(s_.files[trailing_]);
  SizeLine(options_, "Video 2nd pass: segment " + std::to_string(trailing_ + 1) + " at " + BitrateText(tailRate_) +
                         " bit/s: " + std::to_string(tailBytes) + " bytes");
  long long total = Predicted(mainFiles, tailBytes);
  if (FillsMedium(total, options_.medium) || (atBest_ && total <= options_.medium)) {
    if (const std::string e = Join(options_.out, s_.files, options_.folder, s_.frames); !e.empty()) {
      std::cerr << "videopass: " << e << '\n';
      return -1;
    }
    total = FileBytes(options_.out) + s_.others;
    header_ = static_cast<double>(mainFiles + tailBytes - FileBytes(options_.out)) / trailing_;
  }
  SizeLine(options_, "Video 2nd pass at " + BitrateText((total - s_.others) * 8.0 * s_.fps / s_.frames) + " bit/s: " +
                         std::to_string(total) + " bytes, " + Percent(total, options_.medium) + "% of the medium");
  return total;
}

long long SecondPass::EncodeTail(double bitrate) {
  tailRate_ = bitrate;
  EncoderJob job = XvidJob(options_, words_, "video2.tail", tailInput_, PassWords(trailing_, bitrate), tail_.Frames());
  job.sends = {Path(options_, "tail.nut"), Path(options_, s_.names[trailing_] + "-0.log")};
  job.returns.push_back(s_.files[trailing_]);
  const std::string error = RunEncodes(options_, {job}, progress_);
  if (!error.empty()) std::cerr << "videopass: " << error << '\n';
  return error.empty() ? FileBytes(s_.files[trailing_]) : -1;
}

// The trailing segment encoded (again) until the results fill the medium.
Landed SecondPass::LandFill(const MainRun& run) {
  // Its picture grows in proportion to its request (measured: 1.5 to 3 Mbit/s gave 447 to 894
  // KB), so what it adds is aimed through the total it would leave with no picture at all.
  const double emptyTail = Predicted(run.bytes, std::llround(24.0 * tail_.Frames() + header_));
  // Not yet encoded, it is expected to land against its share as the main segments did.
  double mainShares = 0;
  for (std::size_t j = 0; j < trailing_; ++j) mainShares += s_.shares[j];
  const double landing =
      std::clamp((run.bytes - 24.0 * (s_.frames - tail_.Frames()) - header_ * trailing_) / std::max(mainShares, 1.0),
                 0.5, 2.0);
  std::vector<Try> tries = {{0, emptyTail}, {mainRate_, emptyTail + s_.shares[trailing_] * landing}};
  bool encodedOnce = false;
  if (!atBest_) {
    if (!TailWithMain()) {
      const double request = std::clamp(NextRequest(tries, static_cast<double>(AimedTotal(options_.medium))), 1000.0,
                                        bestRate_);
      if (EncodeTail(request) < 0) return {Landed::Error, -1};
    }
    progress_.Break();
    const long long total = Measure(run.bytes);
    if (total < 0) return {Landed::Error, total};
    if (FillsMedium(total, options_.medium)) return {Landed::Fills, total};
    tries = {{0, emptyTail}, {tailRate_, static_cast<double>(total)}};
    encodedOnce = true;
  }
  auto again = [&]() { Correction(tail_.Frames()); };
  return LandTrailing(
      tries, options_.medium, bestRate_, atBest_, 8,
      [&](double bitrate) -> long long {
        // After the encode above, even the first one here is a correction.
        if (std::exchange(encodedOnce, false)) again();
        if (EncodeTail(bitrate) < 0) return -1;
        progress_.Break();
        return Measure(run.bytes);
      },
      again);
}

// Every segment at its best and still short of the medium: the title is made at its best, and
// the shortfall is said.
int SecondPass::JoinAtBest() {
  if (const std::string e = Join(options_.out, s_.files, options_.folder, s_.frames); !e.empty()) return Fail(e);
  const long long video = FileBytes(options_.out);
  SizeLine(options_, "Video 2nd pass: at its best quality the video takes " + std::to_string(video) +
                         " bytes, less than the " + std::to_string(s_.aimedVideo) + " bytes the medium leaves it");
  return 0;
}

int SecondPass::Run() {
  for (int mainRun = 0;; ++mainRun) {
    // Judged on their course only until a whole run is measured: after that the measured runs
    // aim better than any run's first part foresees.
    const bool mayRunAgain = !atBest_ && !mainTries_.AnyMeasured() && mainRun + 1 < kJudgedRuns;
    if (const std::string error = EncodeMain(mayRunAgain); !error.empty()) return Fail(error);
    if (onCourse_ > 0) {
      // Stopped on a course that misses: aimed again from where it was heading (it was far
      // enough over its shares for the request to move).
      mainTries_.Foreseen(mainRate_, onCourse_);
      AimMain(MainWanted(), MainRun{0, false, false});
      Correction(s_.frames);
      continue;
    }
    const MainRun run = MeasureMain();
    mainTries_.Measured(mainRate_, static_cast<double>(run.bytes));
    // The segments missed by more than the trailing one can make up with a picture like theirs:
    // aim them again, all at one request, from what the last ones gave.
    const long long joinedMain = run.bytes - static_cast<long long>(header_ * (trailing_ - 1));
    const double goal = TrailingGoal(options_.medium, s_.others, joinedMain, tail_.Frames());
    if (!atBest_ && mainRun + 1 < kMainRuns && !TrailingCanCarry(goal, s_.shares[trailing_], s_.firstBytes[trailing_]) &&
        AimMain(MainWanted(), run)) {
      Correction(s_.frames);
      continue;
    }
    const Landed landed = LandFill(run);
    switch (landed.kind) {
      case Landed::Error: return 1;
      case Landed::Fills:
      case Landed::AtBest: return 0;
      case Landed::NeedsMain:
        if (mainRun + 1 < kMainRuns && AimMain(MainWanted(), run)) {
          Correction(s_.frames);
          continue;
        }
        // Short of the medium is the title at its best only when no frame could take more.
        if (landed.total < options_.medium && run.allFinest) return JoinAtBest();
        break;
      case Landed::Missed:
        // The trailing segment's response steps over the window (a frame's quantizer turning):
        // the main segments are moved by what its try under the medium left short, so that the
        // trailing segment lands on the lower side of that step.
        if (mainRun + 1 < kMainRuns && landed.under > 0 &&
            AimMain(static_cast<double>(run.bytes + AimedTotal(options_.medium) - landed.under), run)) {
          Correction(s_.frames);
          continue;
        }
        break;
    }
    std::remove(options_.out.c_str());
    // Over the medium with the trailing segment at its lowest request and every frame of the
    // main segments at the coarsest quantizer: the medium is too small for this title beside
    // the other files. Anything else is a fill that could not be landed in the runs allowed.
    const std::string tooSmall = landed.kind == Landed::NeedsMain && landed.total > options_.medium && run.allCoarsest
                                     ? ", over it even with every frame at the coarsest quantizer: the medium is "
                                       "too small for this title beside the audio and subtitles"
                                     : ", not 99.5% to 100%";
    return Fail("after " + std::to_string(corrections_) + " corrections the files fill " +
                Percent(landed.total, options_.medium) + "% of the medium" + tooSmall + "; see " + options_.sizeLog);
  }
}

}  // namespace

int Second(const Options& options) {
  if (!options.titles.empty()) return TitlesSecond(options);
  if (options.codec != "xvid") return OneFileSecond(options);
  Setup setup;
  if (const std::string error = Prepare(options, setup); !error.empty()) return Fail(error);
  return SecondPass(options, setup).Run();
}

}  // namespace videopass
