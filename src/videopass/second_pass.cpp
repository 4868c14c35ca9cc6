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

  // The segments of the second pass: the pieces of the main part, and the trailing one cut off
  // the end. Here, where a piece seeks to its frames, a long title is cut into more pieces
  // than the first pass had segments; on other machines, or where every piece would decode the
  // title from its start, the pieces are the first pass's segments.
  std::vector<char> types;
  for (const FrameStat& frame : title.frames) types.push_back(frame.type);
  const long trailingStart = TrailingStart(types, std::max(starts.back(), setup.tailFrom - 1));
  std::vector<long> pieces = starts;
  if (options.nodes.empty() && Seekable(setup.timing, setup.fps)) {
    pieces = PieceStarts(types, trailingStart, PieceCount(trailingStart, UsableCores(), static_cast<int>(starts.size())));
  }
  std::vector<Segment>& segments = setup.segments;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    segments.push_back({pieces[k], k + 1 < pieces.size() ? pieces[k + 1] : trailingStart});
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

// The second pass after Prepare: the pieces of the main part a few side by side, each asked
// when it starts for what makes up what the pieces before it missed of their shares, then the
// trailing segment until the results fill the medium, joined into the movie. When the pieces
// missed by more than the trailing segment can make up, those most off their shares are made
// again, as many as it takes to make up the miss.
class SecondPass {
 public:
  SecondPass(const Options& options, const Setup& setup);
  int Run();

 private:
  struct MainRun {
    long long bytes = 0;      // the main part's files together
    double picture = 0;       // of it, the pieces' picture
    bool allFinest = true;    // every frame had the finest quantizer
    bool allCoarsest = true;  // every frame had the coarsest quantizer
  };
  // Runs of the main part in all, the first one whole, the others of the pieces most off.
  static constexpr int kMainRuns = 6;
  // A piece is asked for half to twice its share at most, so that its picture stays close to
  // its neighbours'; a piece made again is counted on to move by what it missed, or by a
  // quarter of its share where it missed less.
  static constexpr double kLeastGoal = 0.5, kMostGoal = 2.0, kAgainMove = 0.25;

  std::vector<std::string> PassWords(std::size_t j, double bitrate) const;
  std::string Quantizers(std::size_t j) const { return Path(options_, s_.names[j] + ".vstats"); }
  std::string MainProgress(std::size_t j) const { return Path(options_, "video2." + std::to_string(j) + ".progress"); }
  double Picture(std::size_t j) const {
    return static_cast<double>(FileBytes(s_.files[j])) - 24.0 * s_.segments[j].Frames() - header_;
  }
  double Shares() const;
  void LookAtPieces(std::size_t firstWaiting);
  double PieceAsk(std::size_t j);
  EncoderJob PieceJob(std::size_t j);
  Piece TailPiece() const;
  EncoderJob TailBeside();
  // Whether the trailing segment is encoded with the main part: here beside it on a core it
  // leaves idle, on other machines right after it (its command is made when it starts, which
  // parallel's jobs, all known before, cannot wait for); aimed the same way either way.
  bool TailWithMain() const { return !atBest_ && (UsableCores() > 1 || !options_.nodes.empty()); }
  std::string EncodeMain();
  MainRun MeasureMain();
  bool Again(const MainRun& run, double extra);
  long long Predicted(long long mainFiles, long long tailBytes) const;
  long long Measure(long long mainFiles);
  long long EncodeTail(double bitrate);
  Landed LandFill(const MainRun& run);
  int JoinAtBest();
  void Correction(long frames);

  const Options& options_;
  const Setup& s_;
  const EncoderWords words_;
  const std::size_t trailing_;  // the trailing segment's index, after the pieces
  const Segment& tail_;
  const bool atBest_;
  const double bestRate_;  // the finest request: the first pass's size, made at the finest quantizer
  const double mainRate_;  // the whole title's request, which gives each piece its share as one pass would
  double tailRate_;
  // What joining takes off each segment but the first (ffmpeg's AVI header with one video
  // stream; measured: 5718 to 5762 bytes), until a join measures it.
  double header_ = 5762;
  std::vector<Piece> pieces_;
  std::vector<bool> inRun_;   // the pieces this run of the main part makes
  std::vector<bool> finest_, coarsest_;  // pieces whose every frame had the finest (coarsest) quantizer
  std::vector<bool> floor_;              // pieces at the floor of their size
  bool firstRun_ = true;
  double extra_ = 0;         // bytes of picture the main part should make beyond its shares
  std::vector<std::string> tailInput_;
  ProgressLine progress_;
  int corrections_ = 0;
};

std::string BitrateText(double bitrate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", bitrate);
  return text;
}

// Every segment's log holds the whole title, its own frames first, and is asked for about the
// whole title's bitrate: libxvid then gives each frame what one second pass of the whole title
// would, and the picture stays even across the borders.
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
      pieces_(trailing_),
      inRun_(trailing_, true),
      finest_(trailing_, false),
      coarsest_(trailing_, false),
      floor_(trailing_, false),
      tailInput_({"-i", Path(options, "tail.nut"), "-map", "0:v:0", "-an", "-sn"}),
      progress_("[" + options.stage + "] Video 2nd pass", setup.frames) {
  if (tail_.first > s_.tailFrom) tailInput_ = Concat(tailInput_, {"-vf", SegmentChain("", tail_.first - s_.tailFrom, -1)});
  for (std::size_t j = 0; j < trailing_; ++j) {
    pieces_[j].share = s_.shares[j];
    pieces_[j].firstPerFrame = static_cast<double>(s_.firstBytes[j]) / std::max(s_.segments[j].Frames(), 1L);
  }
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

double SecondPass::Shares() const {
  double shares = 0;
  for (const Piece& piece : pieces_) shares += piece.share;
  return shares;
}

// What the pieces of this run started before `firstWaiting` have made: an ended one its
// picture; a running one what it is on course for once an eighth of its frames is reported.
void SecondPass::LookAtPieces(std::size_t firstWaiting) {
  for (std::size_t j = 0; j < trailing_; ++j) {
    if (!inRun_[j]) continue;
    Piece& piece = pieces_[j];
    piece.picture = -1;
    piece.state = j >= firstWaiting ? Piece::Waiting : ProgressEnded(MainProgress(j)) ? Piece::Ended : Piece::Running;
    if (piece.state == Piece::Ended) piece.picture = Picture(j);
    if (piece.state != Piece::Running) continue;
    const Segment& segment = s_.segments[j];
    const std::vector<long long> bytes = ReportedFrameBytes(Quantizers(j));
    const long n = std::min<long>(static_cast<long>(bytes.size()), segment.Frames());
    // ffmpeg writes its report in blocks: too little of it read is no ground to foresee on.
    if (n < segment.Frames() / 8) continue;
    const long middle = segment.first + n;
    MainCourse course;
    course.share = piece.share;
    course.doneShare = ShareBytes(s_.title.frames, {{segment.first, middle}}, s_.payload)[0];
    for (long i = 0; i < n; ++i) course.made += static_cast<double>(bytes[i]);
    course.donePerFrame = static_cast<double>(FirstPassBytes(s_.title, segment.first, middle)) / n;
    if (middle < segment.end) {
      course.restPerFrame = static_cast<double>(FirstPassBytes(s_.title, middle, segment.end)) / (segment.end - middle);
    }
    piece.picture = OnCourse(course);
  }
}

// The request of piece `j` as it starts.
double SecondPass::PieceAsk(std::size_t j) {
  if (atBest_) return pieces_[j].request = bestRate_;
  LookAtPieces(j);
  // Made again, a piece makes up the others' misses alone: its picture is kept close to its
  // neighbours' only while they are still to be made.
  const double request = firstRun_ ? PieceRequest(pieces_, j, mainRate_, extra_, kLeastGoal, kMostGoal)
                                   : PieceRequest(pieces_, j, mainRate_, extra_, 0.1, 10);
  pieces_[j].state = Piece::Running;
  return pieces_[j].request = std::clamp(request, 1000.0, bestRate_);
}

EncoderJob SecondPass::PieceJob(std::size_t j) {
  const Segment& segment = s_.segments[j];
  const SeekPoint seek = SeekFor(s_.timing, segment.first, s_.fps);
  EncoderJob job = XvidJob(options_, words_, "video2." + std::to_string(j),
                           ChainInput(options_, words_.chain, segment.first, segment.end, seek),
                           {"-vstats_file", Quantizers(j)}, segment.Frames());
  ReadsSource(job, options_, segment.first, segment.end, seek, s_.fps);
  job.sends.push_back(Path(options_, s_.names[j] + "-0.log"));
  job.returns.insert(job.returns.end(), {s_.files[j], Quantizers(j)});
  if (options_.nodes.empty()) {
    job.argsAtStart = [this, j, start = job.args]() { return Concat(start, PassWords(j, PieceAsk(j))); };
  } else {
    // On other machines every command is made before the first starts: each piece is asked
    // from what the runs before this one made.
    job.args = Concat(job.args, PassWords(j, PieceAsk(j)));
  }
  return job;
}

// The trailing segment as a piece waiting after the others.
Piece SecondPass::TailPiece() const {
  Piece tail;
  tail.share = s_.shares[trailing_];
  tail.firstPerFrame = static_cast<double>(s_.firstBytes[trailing_]) / std::max(tail_.Frames(), 1L);
  return tail;
}

// With a core to spare, the trailing segment is encoded beside the main part on the core its
// last piece to start leaves idle: when that lands the fill, nothing is encoded after the main
// part. It makes up what the pieces are expected to miss of their shares.
EncoderJob SecondPass::TailBeside() {
  EncoderJob job = XvidJob(options_, words_, "video2.tail", tailInput_, {}, tail_.Frames());
  job.sends = {Path(options_, "tail.nut"), Path(options_, s_.names[trailing_] + "-0.log")};
  job.returns.push_back(s_.files[trailing_]);
  job.argsAtStart = [this, start = job.args]() {
    LookAtPieces(trailing_);
    std::vector<Piece> all = pieces_;
    all.push_back(TailPiece());
    tailRate_ = std::clamp(PieceRequest(all, trailing_, mainRate_, extra_, kTrailingLeast, kTrailingMost), 1000.0, bestRate_);
    return Concat(start, PassWords(trailing_, tailRate_));
  };
  return job;
}

// The pieces of this run in their order, side by side (and the trailing segment beside them on
// a spare core).
std::string SecondPass::EncodeMain() {
  std::vector<EncoderJob> jobs;
  // Every piece of the run is waiting, with no report left from an earlier run, before the
  // first is asked (on other machines all are asked here, in their order).
  for (std::size_t j = 0; j < trailing_; ++j) {
    if (!inRun_[j]) continue;
    std::remove(Quantizers(j).c_str());
    std::remove(MainProgress(j).c_str());
    pieces_[j].state = Piece::Waiting;
  }
  for (std::size_t j = 0; j < trailing_; ++j) {
    if (inRun_[j]) jobs.push_back(PieceJob(j));
  }
  const bool here = options_.nodes.empty();
  if (TailWithMain() && here) jobs.push_back(TailBeside());
  const std::string error = RunEncodes(options_, jobs, progress_);
  if (!error.empty() || here || !TailWithMain()) return error;
  EncoderJob tail = TailBeside();
  tail.args = tail.argsAtStart();
  tail.argsAtStart = nullptr;
  return RunEncodes(options_, {tail}, progress_);
}

SecondPass::MainRun SecondPass::MeasureMain() {
  MainRun run;
  std::ofstream sizes(options_.sizeLog, std::ios::app);
  for (std::size_t j = 0; j < trailing_; ++j) {
    Piece& piece = pieces_[j];
    piece.state = Piece::Ended;
    piece.picture = Picture(j);
    run.bytes += FileBytes(s_.files[j]);
    run.picture += piece.picture;
    if (inRun_[j]) {
      finest_[j] = AllAtFinestQuantizer(Quantizers(j));
      coarsest_[j] = AllAtCoarsestQuantizer(Quantizers(j));
      // Nearly every frame at the coarsest quantizer but the key frames: the picture's size is
      // its floor, which lower requests do not move, nor higher ones below what it makes there
      // (a piece asked 0.52 and 1.2 Mbit/s made 12.57 MB each time).
      floor_[j] = ShareAtCoarsestQuantizer(Quantizers(j)) >= 0.85;
    }
    run.allFinest = run.allFinest && finest_[j];
    run.allCoarsest = run.allCoarsest && coarsest_[j];
    if (!inRun_[j]) continue;
    sizes << "Video 2nd pass: segment " << j + 1 << " at " << std::llround(piece.request) << " bit/s: "
          << FileBytes(s_.files[j]) << " bytes, " << Percent(std::llround(piece.picture), std::llround(piece.share))
          << "% of its share\n";
  }
  return run;
}

// Sets the pieces to be made again so that the main part makes `extra` bytes of picture beyond
// its shares: those that missed their shares the most the other way, as many as make up what
// the main part missed, each then asked for what makes up the others' misses. A piece that
// answers no more (every frame at the finest quantizer where more is wanted, at the coarsest
// where less, its size at its floor, or alike at two requests) is left as it is. False when no
// piece can move.
bool SecondPass::Again(const MainRun& run, double extra) {
  const double missing = Shares() + extra - run.picture;
  if (atBest_ || std::fabs(missing) < 1) return false;
  std::vector<std::size_t> movable;
  for (std::size_t j = 0; j < trailing_; ++j) {
    const Piece& piece = pieces_[j];
    // Its size moved less than a tenth as much as its request between its last two runs: it
    // answers no more (a piece near the coarsest quantizer made 0.4% less of 14% less request).
    const bool deaf = piece.lastRequest > 0 && piece.request != piece.lastRequest &&
                      std::fabs(std::log(std::max(piece.picture, 1.0) / std::max(piece.lastPicture, 1.0))) <
                          0.1 * std::fabs(std::log(piece.request / piece.lastRequest));
    if (!deaf && !floor_[j] && !(missing > 0 ? finest_[j] : coarsest_[j])) movable.push_back(j);
  }
  // Most off their shares the other way first (over them when less is wanted).
  auto off = [&](std::size_t j) { return (pieces_[j].share - pieces_[j].picture) * (missing > 0 ? 1 : -1); };
  std::stable_sort(movable.begin(), movable.end(), [&](std::size_t a, std::size_t b) { return off(a) > off(b); });
  std::fill(inRun_.begin(), inRun_.end(), false);
  double madeUp = 0;
  long frames = 0;
  std::string which;
  for (std::size_t j : movable) {
    if (madeUp >= std::fabs(missing)) break;
    madeUp += std::max(off(j), kAgainMove * pieces_[j].share);
    inRun_[j] = true;
    pieces_[j].earlierRequest = pieces_[j].lastRequest;
    pieces_[j].earlierPicture = pieces_[j].lastPicture;
    pieces_[j].lastRequest = pieces_[j].request;
    pieces_[j].lastPicture = pieces_[j].picture;
    frames += s_.segments[j].Frames();
    which += (which.empty() ? "" : ", ") + std::to_string(j + 1);
  }
  if (which.empty()) return false;
  extra_ = extra;
  firstRun_ = false;
  const bool one = which.find(',') == std::string::npos;
  SizeLine(options_, "Video 2nd pass: the main part made " + Percent(std::llround(run.picture), std::llround(Shares() + extra)) +
                         "% of what it should; segment" + (one ? " " : "s ") + which + (one ? " is" : " are") +
                         " made again");
  Correction(frames + (TailWithMain() ? tail_.Frames() : 0));
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
  // Not yet encoded, it is expected to land against its share as the most alike piece did.
  std::vector<Piece> all = pieces_;
  all.push_back(TailPiece());
  const double landing = std::clamp(PieceLanding(all, trailing_, mainRate_), 0.5, 2.0);
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
  for (int mainRun = 1;; ++mainRun) {
    if (const std::string error = EncodeMain(); !error.empty()) return Fail(error);
    const MainRun run = MeasureMain();
    const bool mayRunAgain = mainRun < kMainRuns;
    // The pieces missed by more than the trailing segment can make up with a picture like
    // theirs: the last ones are made again, aimed at the shares.
    const long long joinedMain = run.bytes - static_cast<long long>(header_ * (trailing_ - 1));
    const double goal = TrailingGoal(options_.medium, s_.others, joinedMain, tail_.Frames());
    if (!atBest_ && mayRunAgain && !TrailingCanCarry(goal, s_.shares[trailing_], s_.firstBytes[trailing_]) &&
        Again(run, 0)) {
      continue;
    }
    const Landed landed = LandFill(run);
    // What the main part should make beyond its shares for the results to reach `total`.
    auto toward = [&](long long total) {
      return run.picture - Shares() + static_cast<double>(AimedTotal(options_.medium) - total);
    };
    switch (landed.kind) {
      case Landed::Error: return 1;
      case Landed::Fills:
      case Landed::AtBest: return 0;
      case Landed::NeedsMain:
        // Even at its finest (or coarsest) the trailing segment left the results short (or
        // over): the main part makes up the rest.
        if (mayRunAgain && Again(run, toward(landed.total))) continue;
        // Short of the medium is the title at its best only when no frame could take more.
        if (landed.total < options_.medium && run.allFinest) return JoinAtBest();
        break;
      case Landed::Missed:
        // The trailing segment's response steps over the window (a frame's quantizer turning):
        // the main part is moved by what its try under the medium left short, so that the
        // trailing segment lands on the lower side of that step.
        if (mayRunAgain && landed.under > 0 && Again(run, toward(landed.under))) continue;
        break;
    }
    std::remove(options_.out.c_str());
    // Over the medium with the trailing segment at its lowest request and every frame of the
    // main part at the coarsest quantizer: the medium is too small for this title beside the
    // other files. Anything else is a fill that could not be landed in the runs allowed.
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
