// The video program's decisions: where the title is cut, how its bits are shared, and how the
// trailing segment lands the fill, with stand-in encoders for the last.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "videopass/bit_share.h"
#include "videopass/borders.h"
#include "videopass/encoder_jobs.h"
#include "videopass/fill.h"
#include "videopass/pass_log.h"
#include "videopass/plan_file.h"
#include "videopass/run_report.h"
#include "videopass/segment_command.h"
#include "videopass/source_timing.h"

namespace videopass {
namespace {

// A first pass's frame types as the encoder makes them: a key frame every `gap` frames, and at
// each scene change in `cuts`, from which the count starts again.
std::vector<char> Types(long frames, long gap, const std::vector<long>& cuts = {}) {
  std::vector<char> types(frames, 'p');
  long last = 0;
  for (long i = 0; i < frames; ++i) {
    if (i == 0 || i - last == gap || std::find(cuts.begin(), cuts.end(), i) != cuts.end()) types[i] = 'i', last = i;
  }
  return types;
}

TEST(Borders, SegmentsEndTogetherAndTheTrailingOneStartsOnAKeyFrame) {
  // The first pass: every later segment decodes what comes before it, so it gets fewer frames;
  // each segment's time (decoding from 0 at 0.3 a frame, encoding its own at 0.7) is the same.
  struct FirstCase {
    long frames;
    int jobs;
    std::vector<long> starts;
  } firsts[] = {
      {1200, 1, {0}},
      {1200, 2, {0, 706}},
      {1200, 4, {0, 474, 805, 1038}},
      {60, 2, {0}},       // too short to share
      {1200, 0, {0}},     // no core reported: one segment
  };
  for (const FirstCase& c : firsts) {
    const std::vector<long> starts = FirstPassStarts(c.frames, c.jobs);
    EXPECT_EQ(starts, c.starts) << c.frames << " frames, " << c.jobs << " jobs";
    for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
      const long end = k + 2 < starts.size() ? starts[k + 2] : c.frames;
      const double time = 0.3 * end + 0.7 * (end - starts[k + 1]);
      EXPECT_NEAR(time, starts[1], 1.5) << "segment " << k + 2 << " of " << c.frames;
    }
  }

  // Frames of unequal cost (an easy half, then a hard one): the segments still end together,
  // the harder part cut into fewer frames; the source's sizes give the costs.
  struct WorkCase {
    std::vector<double> work;
    int jobs;
    double decode;
  } works[] = {
      {std::vector<double>(1200, 1.0), 2, 0.3},
      {[] { std::vector<double> w(1200, 0.6); std::fill(w.begin() + 600, w.end(), 1.4); return w; }(), 2, 0.3},
      {[] { std::vector<double> w(1200, 1.4); std::fill(w.begin() + 600, w.end(), 0.6); return w; }(), 3, 0.2},
  };
  for (const WorkCase& c : works) {
    const std::vector<long> starts = FirstPassStarts(c.work, c.jobs, c.decode);
    ASSERT_EQ(starts.size(), static_cast<std::size_t>(c.jobs));
    std::vector<double> times;
    for (std::size_t k = 0; k < starts.size(); ++k) {
      const long end = k + 1 < starts.size() ? starts[k + 1] : 1200;
      double time = c.decode * starts[k];
      for (long i = starts[k]; i < end; ++i) time += c.work[i];
      times.push_back(time);
    }
    for (double time : times) EXPECT_NEAR(time, times[0], 2.0) << "starts " << starts[1];
  }
  EXPECT_EQ(FirstPassStarts(std::vector<double>(1200, 1.0), 2, 0.3)[1], FirstPassStarts(1200, 2, 0.3)[1]);
  std::vector<long> sizes(100, 100);
  sizes.resize(200, 300);
  const std::vector<double> work = FrameWork(sizes, 160);  // fewer frames out (decimated)
  EXPECT_DOUBLE_EQ(work.front(), 0.75);
  EXPECT_DOUBLE_EQ(work.back(), 1.25);
  EXPECT_EQ(FrameWork({}, 3), std::vector<double>(3, 1.0));

  // The trailing segment: about 4% of the title (at least 50 frames, at most a quarter), on a
  // key frame, a scene change (a key frame off the regular grid) preferred.
  struct TrailingCase {
    const char* what;
    std::vector<char> types;
    long notBefore;
    long start;
  } trailings[] = {
      {"key frame nearest 4% from the end", Types(1200, 12), 706, 1152},
      {"scene change within reach wins over the grid", Types(1200, 12, {1113}), 706, 1113},
      {"scene change too far from the end is not taken", Types(1200, 12, {1000}), 706, 1144},
      {"long title: 4%", Types(10000, 250), 5000, 9500},
      {"no key frame near the end: cut where wanted", Types(1200, 1000), 706, 1150},
      {"short title: a quarter", Types(80, 5), 0, 60},
      {"the last main segment keeps a frame", Types(100, 1), 98, 99},
  };
  for (const TrailingCase& c : trailings) {
    const long start = TrailingStart(c.types, c.notBefore);
    EXPECT_EQ(start, c.start) << c.what;
    EXPECT_GT(start, c.notBefore) << c.what;
    EXPECT_LT(start, static_cast<long>(c.types.size())) << c.what;
  }
}

// The second pass's pieces: up to eight a core on a long title, each on a key frame of the first
// pass near its even place.
TEST(Borders, APiecesStartIsTheKeyFrameNearestItsEvenPlace) {
  struct CountCase {
    long frames;
    int cores, firstSegments, pieces;
  } counts[] = {{9000, 2, 2, 16}, {1500, 2, 2, 4}, {3000, 2, 2, 8}, {9000, 1, 1, 8},
                {200000, 2, 2, 16}, {1000, 4, 4, 4}, {600, 2, 2, 2}};
  for (const CountCase& c : counts) EXPECT_EQ(PieceCount(c.frames, c.cores, c.firstSegments), c.pieces) << c.frames;
  struct StartCase {
    const char* what;
    std::vector<char> types;
    long end;
    int pieces;
    std::vector<long> starts;
  } starts[] = {
      {"the nearest key frame, or the even place with none within a quarter piece",
       Types(100, 1000, {30, 55, 90}), 100, 4, {0, 30, 55, 75}},
      {"of two as near, the earlier", Types(100, 1000, {45, 55}), 100, 2, {0, 45}},
      {"on the encoder's grid", Types(8634, 12), 8634, 8, {0, 1080, 2160, 3240, 4320, 5400, 6480, 7560}},
      {"never more pieces than frames", Types(3, 1), 3, 8, {0, 1, 2}},
  };
  for (const StartCase& c : starts) EXPECT_EQ(PieceStarts(c.types, c.end, c.pieces), c.starts) << c.what;
}

TEST(BitShare, SegmentsGetWhatOneSecondPassGivesTheirFramesAndNoRequestPassesTheFirstPass) {
  auto frame = [](char type, long long length, long long header) { return FrameStat{type, length, header, ""}; };
  struct ShareCase {
    const char* what;
    std::vector<FrameStat> frames;
    std::vector<std::pair<long, long>> segments;
    double payload;
    std::vector<double> shares;
  } shares[] = {
      {"no headers: in proportion", {frame('p', 300, 0), frame('p', 100, 0)}, {{0, 1}, {1, 2}}, 1000, {750, 250}},
      // Headers 50, the rest 150 scaled by 2/3: the frame of mostly header gets more than its
      // proportion (75).
      {"headers are kept, the rest scaled", {frame('p', 100, 50), frame('p', 100, 0)}, {{0, 1}, {1, 2}}, 150,
       {50 + 50 * 2.0 / 3, 100 * 2.0 / 3}},
      {"key frames a tenth more", {frame('i', 100, 0), frame('p', 100, 0)}, {{0, 1}, {1, 2}}, 210, {110, 100}},
      {"less than the headers: in proportion to them", {frame('p', 100, 60), frame('p', 100, 20)}, {{0, 1}, {1, 2}}, 40,
       {30, 10}},
      {"segments of several frames, a header longer than its frame",
       {frame('p', 10, 20), frame('p', 90, 0), frame('p', 50, 0), frame('p', 50, 0)}, {{0, 2}, {2, 4}}, 105,
       {10 + 90 * 0.5, 100 * 0.5}},
  };
  for (const ShareCase& c : shares) {
    const std::vector<double> got = ShareBytes(c.frames, c.segments, c.payload);
    ASSERT_EQ(got.size(), c.shares.size()) << c.what;
    double sum = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i], c.shares[i], 1e-9) << c.what << ", segment " << i;
      sum += got[i];
    }
    EXPECT_NEAR(sum, c.payload, 1e-6) << c.what;
  }

  // Requests: the target's bitrate, never above what the first pass (the finest quantizer) made.
  struct RequestCase {
    const char* what;
    double target;
    long long firstPass;
    long frames;
    double bitrate;  // at 25 fps
  } requests[] = {
      {"1200 frames", 3e6, 30000000, 1200, 500000},
      {"50 frames", 0.2e6, 3000000, 50, 800000},
      {"target above the first pass: the first pass's rate", 5e6, 3000000, 1200, 500000},
  };
  for (const RequestCase& c : requests) {
    EXPECT_DOUBLE_EQ(RequestBitrate(c.target, c.firstPass, c.frames, 25), c.bitrate) << c.what;
  }

}

TEST(PassLog, SegmentLogsHoldTheWholeTitleTheirOwnFramesFirst) {
  const std::string path = ::testing::TempDir() + "/videopass_log";
  {
    std::ofstream out(path + "-0.log");
    out << "# ffmpeg 2-pass log file, using xvid codec\n# Do not modify.\n\n"
           "i 2 920 0 0 114323 3385\np 2 0 920 0 108832 2099\np 2 0 900 20 3 1\ni 2 920 0 0 100000 3000\n";
  }
  PassLog log;
  ASSERT_EQ(ReadPassLog(path + "-0.log", log), "");
  ASSERT_EQ(log.frames.size(), 4u);
  EXPECT_EQ(log.header.size(), 3u);
  EXPECT_EQ(FirstPassBytes(log, 1, 3), 108835);
  EXPECT_EQ(log.frames[1].header, 2099);
  EXPECT_EQ(log.frames[3].type, 'i');
  struct Case {
    long first, end;
    std::vector<int> order;
  } cases[] = {{0, 4, {0, 1, 2, 3}}, {1, 3, {1, 2, 3, 0}}, {3, 4, {3, 0, 1, 2}}, {0, 1, {0, 1, 2, 3}}};
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteSegmentLog(path + "-1.log", log, c.first, c.end));
    PassLog part;
    ASSERT_EQ(ReadPassLog(path + "-1.log", part), "");
    EXPECT_EQ(part.header, log.header);
    std::vector<std::string> lines, want;
    for (const FrameStat& frame : part.frames) lines.push_back(frame.line);
    for (int i : c.order) want.push_back(log.frames[i].line);
    EXPECT_EQ(lines, want) << c.first << "-" << c.end;
  }

  std::ofstream(path + "-2.log") << "# log\ni 2 920 0 0\n";
  EXPECT_NE(ReadPassLog(path + "-2.log", log), "");
  EXPECT_NE(ReadPassLog(path + "-missing.log", log), "");

  // ffmpeg's report of an encode's quantizers: more bits help unless every frame had 2, fewer
  // unless every frame had 31.
  const std::string line = "out=  0 st=  0 frame=     0 q= ";
  struct QuantizerCase {
    const char* what;
    std::string report;
    bool finest, coarsest;
    std::vector<long long> bytes;  // each frame's, a line still being written left out
  } reports[] = {
      {"all at 2", line + "2.0 f_size= 7490 type= I\n" + line + "2.0 f_size= 830 type= P\n", true, false, {7490, 830}},
      {"one at 3", line + "2.0 f_size= 7490 type= I\n" + line + "3.0 f_size= 830 type= P\n", false, false, {7490, 830}},
      {"all at 31", line + "31.0 f_size= 990 type= I\n" + line + "31.0 f_size= 30 type= P\n", false, true, {990, 30}},
      {"one at 30", line + "31.0 f_size= 990 type= I\n" + line + "30.0 f_size= 30 type= P\n", false, false, {990, 30}},
      {"still written", line + "2.0 f_size= 7490 type= I\n" + line + "3.0 f_size= 83", false, false, {7490}},
      {"no frame", "", false, false, {}},
  };
  for (const QuantizerCase& c : reports) {
    std::ofstream(path + ".vstats") << c.report;
    EXPECT_EQ(AllAtFinestQuantizer(path + ".vstats"), c.finest) << c.what;
    EXPECT_EQ(AllAtCoarsestQuantizer(path + ".vstats"), c.coarsest) << c.what;
    EXPECT_EQ(ReportedFrameBytes(path + ".vstats"), c.bytes) << c.what;
  }
  EXPECT_FALSE(AllAtFinestQuantizer(path + "-missing.vstats"));
  EXPECT_FALSE(AllAtCoarsestQuantizer(path + "-missing.vstats"));
}

// Stand-in jobs (sh) for the runner: a job made when it starts sees what the ones before it
// left, a job's end is seen at once, and a failure says why.
TEST(EncoderJobs, LaterJobsAreMadeFromEarlierOnesAndFailuresSayWhy) {
  const std::string dir = ::testing::TempDir() + "encoder_jobs_test";
  std::remove((dir + "/a.txt").c_str());
  std::remove((dir + "/b.txt").c_str());
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
  auto sh = [&](const std::string& script) {
    EncoderJob job;
    job.args = {"sh", "-c", "cd '" + dir + "' && " + script};
    job.log = dir + "/job.log";
    return job;
  };
  ProgressLine quiet("", 0);
  EncoderJob later = sh("false");
  later.argsAtStart = [&]() {
    std::ifstream in(dir + "/a.txt");
    int value = 0;
    in >> value;
    return sh("echo " + std::to_string(value + 1) + " > b.txt").args;
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(RunJobs({sh("echo 5 > a.txt"), later}, 1, quiet), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  std::ifstream made(dir + "/b.txt");
  int value = 0;
  made >> value;
  EXPECT_EQ(value, 6);

  struct Case {
    const char* script;
    const char* reason;
  } failures[] = {
      {"echo 'av_interleaved_write_frame(): No space left on device' >&2", "reported an error: av_interleaved_write_frame(): No space left"},
      {"echo 'Invalid data found' >&2; exit 3", "ended with exit code 3: Invalid data found"},
  };
  for (const Case& c : failures) {
    const std::string error = RunJobs({sh(c.script)}, 2, quiet);
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.script << ": " << error;
  }
}

// A run that is no longer wanted: stopped when the watcher says so, the running job ended at
// once, no later job started, and no failure reported for the stopped one.
TEST(EncoderJobs, AWatcherStopsTheRunningJobsAndStartsNoMore) {
  const std::string dir = ::testing::TempDir() + "encoder_jobs_stop";
  ASSERT_EQ(std::system(("mkdir -p '" + dir + "' && rm -f '" + dir + "/later.txt'").c_str()), 0);
  auto sh = [&](const std::string& script, long frames) {
    EncoderJob job;
    job.args = {"sh", "-c", "cd '" + dir + "' && " + script};
    job.log = dir + "/job.log";
    job.progress = dir + "/job.progress";
    job.frames = frames;
    return job;
  };
  ProgressLine quiet("", 0);
  std::vector<long> seen;
  const auto start = std::chrono::steady_clock::now();
  const std::string error =
      RunJobs({sh("echo frame=40 > job.progress; exec sleep 10", 100), sh("touch later.txt", 1)}, 1, quiet,
              [&](const std::vector<long>& made) {
                seen = made;
                return made[0] >= 40;
              });
  EXPECT_EQ(error, "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(seen, (std::vector<long>{40, 0}));
  EXPECT_FALSE(std::ifstream(dir + "/later.txt").good());
}

// ffmpeg's -progress file read as it grows: a report cut between two reads counts once whole,
// and the last report says whether the work has ended.
TEST(EncoderJobs, AGrowingProgressFileIsReadOnFromWhereItStopped) {
  const std::string path = ::testing::TempDir() + "growing.progress";
  std::remove(path.c_str());
  ProgressReader reader;
  EXPECT_EQ(reader.Frames(path), 0);
  struct Block {
    const char* text;
    long frames;
    bool ended;
  } blocks[] = {
      {"frame=12\nfps=0.0\nprogress=continue\nframe=3", 12, false},
      {"40\nprogress=continue\n", 340, false},
      {"frame=752\nprogress=end\n", 752, true},
  };
  for (const Block& block : blocks) {
    std::ofstream(path, std::ios::app) << block.text;
    EXPECT_EQ(reader.Frames(path), block.frames) << block.text;
    EXPECT_EQ(reader.Ended(), block.ended) << block.text;
  }
  EXPECT_EQ(ProgressFrames(path), 752);
  EXPECT_TRUE(ProgressEnded(path));
}

// A first-pass log read while ffmpeg writes it in blocks: the header is not counted, and a line
// cut between two blocks counts once.
TEST(EncoderJobs, AGrowingPassLogCountsItsFrames) {
  const std::string path = ::testing::TempDir() + "growing-0.log";
  std::remove(path.c_str());
  PassLogCounter counter;
  EXPECT_EQ(counter.Count(path), 0);
  struct Block {
    const char* text;
    long frames;  // counted after it
  } blocks[] = {
      {"# ffmpeg 2-pass log file, using xvid codec\n# Do not modify. libxvidcore version: 1.3.7\n\n", 0},
      {"i 2 920 0 0 16226 3286\np 2 0 4", 2},
      {"89 431 4671 808\n", 2},
      {"p 2 0 500 420 4700 810\np 2 0 510 410 4711 812\n", 4},
      {"", 4},
  };
  for (const Block& block : blocks) {
    std::ofstream(path, std::ios::app) << block.text;
    EXPECT_EQ(counter.Count(path), block.frames) << block.text;
  }
}

// A stand-in encoder: what the trailing segment's request buys, with libxvid's shortfall and a
// wobble of its own, plus the rest of the results.
struct StandInTrailing {
  double rest;       // bytes of all other results
  double perBit;     // bytes per bit/s of request
  double exponent;   // response curve
  double wobble;     // relative error, alternating in sign
  double best;       // the most it can make (finest quantizer)
  std::vector<Try> measured = {};  // when set, what it makes: between these (bit/s, bytes), by their lines
  int encodes = 0;
  long long operator()(double bitrate) {
    ++encodes;
    double made = perBit * std::pow(bitrate, exponent) * (1 + (encodes % 2 ? wobble : -wobble));
    if (!measured.empty()) {
      std::size_t i = 1;
      while (i + 1 < measured.size() && measured[i].bitrate < bitrate) ++i;
      const Try &a = measured[i - 1], &b = measured[i];
      made = a.bytes + (std::clamp(bitrate, a.bitrate, b.bitrate) - a.bitrate) * (b.bytes - a.bytes) / (b.bitrate - a.bitrate);
    }
    return static_cast<long long>(rest + std::min(made, best));
  }
};

// What the trailing segment of a six-second title made at each request (bit/s, bytes), its
// bytes scaled from its 0.3 MB medium to 7 MB.
std::vector<Try> ShortSegment() {
  const double scale = 7340032.0 / 314573;
  std::vector<Try> curve = {{0, 54536},      {95000, 54536},   {100000, 54978}, {106343, 55516},
                            {123206, 58502}, {136709, 60196}, {150000, 63658}, {167075, 67860},
                            {200130, 68278}, {300000, 76718}, {589737, 113564}, {1.2e7, 1000000}};
  for (Try& t : curve) t.bytes *= scale;
  return curve;
}

// Each piece is asked as it starts for what makes up what the pieces started before it missed,
// at the landing of the most alike picture.
TEST(TrailingFill, APieceMakesUpWhatThePiecesBeforeItMissed) {
  // Four pieces of a share of 100 bytes: 0, 1 and 3 of one picture (about 10 bytes a frame in
  // the first pass), 2 of another (20); the common request is 1 Mbit/s.
  auto pieces = [](std::vector<Piece> started) {
    std::vector<Piece> all(4);
    for (std::size_t k = 0; k < all.size(); ++k) {
      all[k].share = 100;
      all[k].firstPerFrame = std::vector<double>{10, 10.5, 20, 10.2}[k];
    }
    for (std::size_t k = 0; k < started.size(); ++k) {
      started[k].share = 100;
      started[k].firstPerFrame = all[k].firstPerFrame;
      all[k] = started[k];
    }
    return all;
  };
  const Piece ended110{Piece::Ended, 0, 0, 1e6, 110};
  struct Case {
    const char* what;
    std::vector<Piece> pieces;
    std::size_t j;
    double extra, request;
  } cases[] = {
      {"nothing started: the common request", pieces({}), 0, 0, 1e6},
      {"an alike piece ended 10% over: the excess paid back by the waiting ones, at its landing",
       pieces({ended110}), 1, 0, 1e6 * (1 - 10.0 / 300) / 1.1},
      {"no alike piece: at the ended ones' landing together", pieces({ended110, {Piece::Ended, 0, 0, 1e6, 100}}), 2, 0,
       1e6 * (1 - 10.0 / 200) / 1.05},
      {"a running piece counts with what it is on course for",
       pieces({ended110, {Piece::Running, 0, 0, 9e5, 105}}), 2, 0, 1e6 * (1 - 15.0 / 200) / ((110 + 105 / 0.9) / 200)},
      {"of alike pieces, the nearest in the title", pieces({ended110, {Piece::Ended, 0, 0, 1e6, 90}}), 3, 0, 1e6 / 0.9},
      {"a running piece not yet told lands as the alike ended one at its request",
       pieces({ended110, {Piece::Running, 0, 0, 9e5, -1}}), 2, 0, 1e6 * (1 - 9.0 / 200) / 1.1},
      {"a running piece not yet told, from its own run asked half: shrinking as bitrate^0.6",
       pieces({ended110, {Piece::Running, 0, 0, 4e5, -1, 8e5, 120}}), 2, 0,
       1e6 * (1 + (100 - 120 * std::pow(0.5, 0.6) - 10) / 200) / 1.1},
      {"its own earlier run beats an alike piece", pieces({ended110, {Piece::Waiting, 0, 0, 0, -1, 8e5, 96}}), 1, 0,
       1e6 * (1 - 10.0 / 300) / 1.2},
      {"from its own run over the goal: asked as if it shrank as bitrate^0.6",
       pieces({ended110, {Piece::Waiting, 0, 0, 0, -1, 8e5, 120}}), 1, 0,
       8e5 * std::pow((1 - 10.0 / 300) * 100 / 120, 1 / 0.6)},
      {"from its two runs: as its size followed their requests",
       pieces({ended110, {Piece::Waiting, 0, 0, 0, -1, 8e5, 120, 1e6, 180}}), 1, 0,
       8e5 * std::pow((1 - 10.0 / 300) * 100 / 120, std::log(8e5 / 1e6) / std::log(120.0 / 180))},
      {"at most a third less than its share", pieces({{Piece::Ended, 0, 0, 1e6, 400}}), 1, 0, 1e6 * 0.67 / 4},
      {"bytes wanted beyond the shares come from the waiting ones", pieces({}), 0, 30, 1e6 * 1.075},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(PieceRequest(c.pieces, c.j, 1e6, c.extra, 0.67, 1.5), c.request, 1e-3) << c.what;
  }
}

// Where a main segment is heading after a part of its frames, from the bench's runs: the easy
// picture over its share after 30% (it ended at 1.040), the noisy one under it (it ended at
// 0.968), an easy part over it before a noisy part (it ended at 0.997).
TEST(TrailingFill, AMainSegmentIsOnCourseForWhatItsPictureSays) {
  struct Case {
    const char* what;
    MainCourse course;
    double heading;
  } cases[] = {
      {"over, the rest alike: the rest over alike", {1068110, 320433, 320433 * 1.045, 2508, 2480}, 1068110 * 1.045},
      {"over, the rest unlike", {5819972, 1163994, 1292033, 6676, 22306}, 1292033 + 5819972 - 1163994},
      {"under: paid back, the rest on its share", {2632393, 789718, 712325, 22501, 22501}, 2632393 - 789718 + 712325},
      {"nothing made yet", {1000, 0, 0, 0, 10}, 1000},
  };
  for (const Case& c : cases) EXPECT_NEAR(OnCourse(c.course), c.heading, 1) << c.what;
}

// What that segment made around 405 kbit/s at 0.4 MB, scaled to 7 MB as above.
std::vector<Try> Step() {
  const double scale = 7340032.0 / 419430;
  std::vector<Try> curve = {{0, 54536}, {404826, 95476}, {405047, 95502}, {405138, 98396}, {1.2e7, 1000000}};
  for (Try& t : curve) t.bytes *= scale;
  return curve;
}

TEST(TrailingFill, LandsWithinTheWindowAndNeverOverTheMedium) {
  constexpr long long kMedium = 7340032;
  struct Case {
    const char* what;
    StandInTrailing encoder;
    double firstTry;  // a first encode at this request tells the response (0: none)
    bool atBest;
    Landed::Kind kind;
    bool emptyPoint = false;  // also known: the total with no picture (a response in proportion lands at once)
    int mostEncodes = 4;
  } cases[] = {
      {"linear response", {7000000, 0.03, 1.0, 0.0, 1e9}, 5e6, false, Landed::Fills},
      {"bent response, wobbling", {6900000, 0.002, 1.2, 0.01, 1e9}, 5e6, false, Landed::Fills},
      {"the first try far over", {7100000, 0.05, 1.0, 0.0, 1e9}, 1e7, false, Landed::Fills},
      {"the first try far under", {6800000, 0.05, 1.0, 0.0, 1e9}, 1e6, false, Landed::Fills},
      {"far under, aimed through the empty total", {6800000, 0.05, 1.0, 0.0, 1e9}, 1e6, false, Landed::Fills, true},
      {"far over, aimed through the empty total", {7000000, 0.05, 1.0, 0.0, 1e9}, 1e7, false, Landed::Fills, true},
      {"the rest leaves too little even at its least", {7345000, 0.03, 1.0, 0.0, 1e9}, 5e6, false, Landed::NeedsMain},
      {"the rest leaves too much even at its best", {6500000, 0.5, 1.0, 0.0, 200000}, 5e6, false, Landed::NeedsMain},
      {"measured at its best already and still short: not encoded again", {6500000, 0.5, 1.0, 0.0, 200000}, 1.2e7,
       false, Landed::NeedsMain},
      // A six-second title's 41-frame trailing segment as measured (its bytes scaled to this
      // medium): nothing below 95 kbit/s makes less, then steps and a stretch where more
      // request buys almost nothing. The line through two tries leads astray; kept between a
      // try under and one over, it lands.
      {"a floor, steps and flat stretches, as a short segment's",
       {5965697, 0, 1, 0, 1e9, ShortSegment()}, 200130, false, Landed::Fills, true, 6},
      // The same segment at 0.4 MB: between 405047 and 405138 bit/s it jumps from 95502 to
      // 98396 bytes, a step wider than the window; given up once the two tries around it are a
      // hair apart, with the try under the medium said.
      {"a step wider than the window", {5625000, 0, 1, 0, 1e9, Step()}, 404000, false, Landed::Missed, true, 5},
      {"a title too small at its best: once, under the medium", {3000000, 0.5, 1.0, 0.0, 200000}, 0, true,
       Landed::AtBest},
      {"at its best but over the medium: made smaller", {7200000, 0.03, 1.0, 0.0, 500000}, 0, true, Landed::Fills},
  };
  for (Case& c : cases) {
    std::vector<Try> known;
    if (c.emptyPoint) known.push_back({0, c.encoder.rest});
    if (c.firstTry > 0) known.push_back({c.firstTry, static_cast<double>(c.encoder(c.firstTry))});
    c.encoder.encodes = 0;
    int again = 0;
    const double bestBitrate = 1.2e7;
    const Landed landed =
        LandTrailing(known, kMedium, bestBitrate, c.atBest, 6, std::ref(c.encoder), [&again] { ++again; });
    EXPECT_EQ(landed.kind, c.kind) << c.what;
    EXPECT_EQ(again, std::max(c.encoder.encodes - 1, 0)) << c.what;
    if (c.firstTry >= bestBitrate && !c.atBest) {
      EXPECT_EQ(c.encoder.encodes, 0) << c.what;
    }
    EXPECT_LE(c.encoder.encodes, c.emptyPoint && c.mostEncodes == 4 ? 1 : c.mostEncodes) << c.what;
    if (landed.kind == Landed::Fills) {
      EXPECT_TRUE(FillsMedium(landed.total, kMedium)) << c.what;
    }
    if (landed.kind == Landed::Missed) {
      EXPECT_GT(landed.under, 0) << c.what;
      EXPECT_LT(landed.under, kMedium * 995 / 1000) << c.what;
    }
    if (landed.kind == Landed::AtBest) {
      EXPECT_EQ(c.encoder.encodes, 1) << c.what;
      EXPECT_LE(landed.total, kMedium) << c.what;
    }
  }

  // The window: never over, at least 99.5%.
  struct WindowCase {
    long long total, medium;
    bool fills;
  } windows[] = {
      {1000, 1000, true}, {1001, 1000, false}, {995, 1000, true}, {994, 1000, false},
      {7340032, 7340032, true}, {7303332, 7340032, true}, {7303331, 7340032, false},
  };
  for (const WindowCase& c : windows) EXPECT_EQ(FillsMedium(c.total, c.medium), c.fills) << c.total;
  EXPECT_TRUE(FillsMedium(AimedTotal(7340032), 7340032));
  // The trailing segment's goal leaves room for its AVI entries.
  EXPECT_DOUBLE_EQ(TrailingGoal(1000000, 100000, 800000, 50), 1000000 - 2500 - 100000 - 800000 - 1200);
  struct CarryCase {
    double goal, share;
    long long firstPass;
    bool carries;
  } carries[] = {{100, 100, 1000, true}, {39, 100, 1000, false}, {350, 100, 1000, true},
                 {351, 100, 1000, false}, {200, 100, 150, false}};
  for (const CarryCase& c : carries) EXPECT_EQ(TrailingCanCarry(c.goal, c.share, c.firstPass), c.carries) << c.goal;
}

TEST(SegmentCommand, EverySegmentRunsTheWholeChainAndKeepsItsFramesAfterIt) {
  struct Case {
    std::vector<std::string> words;
    long first, end;
    std::string chain;
    std::vector<std::string> other;
  } cases[] = {
      {{}, 0, 100, "trim=start_frame=0:end_frame=100,setpts=PTS-STARTPTS", {}},
      {{"-vf", "fieldmatch,decimate,scale=640:360", "-me_quality", "2"}, 500, -1,
       "fieldmatch,decimate,scale=640:360,trim=start_frame=500,setpts=PTS-STARTPTS", {"-me_quality", "2"}},
      {{"-vf", "yadif", "-r", "24000/1001"}, 10, 20,
       "yadif,fps=24000/1001,trim=start_frame=10:end_frame=20,setpts=PTS-STARTPTS", {}},
      // Frame-local filters: the frames before the segment are dropped before them.
      {{"-filter:v", "crop=640:352:0:4", "-vf", "scale=320:176"}, 1, 2,
       "trim=start_frame=1:end_frame=2,setpts=PTS-STARTPTS,crop=640:352:0:4,scale=320:176", {}},
      {{"-vf", "scale=640:360:flags=lanczos,setsar=1"}, 7, -1,
       "trim=start_frame=7,setpts=PTS-STARTPTS,scale=640:360:flags=lanczos,setsar=1", {}},
      {{"-vf", "scale=640:360,hqdn3d"}, 7, -1, "scale=640:360,hqdn3d,trim=start_frame=7,setpts=PTS-STARTPTS", {}},
      {{"-vf", "scale='min(640,iw)':-2"}, 7, -1, "scale='min(640,iw)':-2,trim=start_frame=7,setpts=PTS-STARTPTS", {}},
  };
  for (const Case& c : cases) {
    const EncoderWords words = SplitEncoderWords(c.words);
    EXPECT_EQ(SegmentChain(words.chain, c.first, c.end), c.chain);
    EXPECT_EQ(words.other, c.other);
  }
}

TEST(SourceTiming, OnlyARegularClockSeeksAndTheSeekKeepsFromTheSegmentsFrame) {
  // A program stream's packets in decoding order: a key frame every 4, B-frames shown before
  // the P-frame decoded ahead of them, some B-frames without a time stamp; 1/90000 ticks, 3003
  // a frame (29.97 fps), video starting 0.1 s after the file.
  auto listing = [](const std::string& packets) {
    return packets + "stream,1/90000\nformat,0.400000\n";
  };
  const std::string regular =
      "packet,45000,41997,900,K_\npacket,54009,45000,300,__\npacket,N/A,48003,100,__\n"
      "packet,51006,51006,200,__\npacket,57012,54009,800,K_\npacket,60015,57012,100,__\n";
  struct Case {
    std::string what, listing;
    bool regular;
  };
  const std::vector<Case> cases = {
      {"regular with reordering and missing stamps", listing(regular), true},
      {"the decoding clock jumps (a second VOB)",
       listing("packet,45000,42000,900,K_\npacket,9000,6000,300,K_\npacket,12003,9003,100,__\n"), false},
      {"a shown time off the frames' grid",
       listing("packet,45000,42000,900,K_\npacket,49000,45003,300,__\npacket,51006,48006,100,__\n"), false},
      {"a shown time twice", listing("packet,45000,42000,900,K_\npacket,45000,45003,300,__\n"), false},
      {"no key frame marked", listing("packet,45000,42000,900,__\npacket,48003,45003,300,__\n"), false},
      {"no time base", "packet,45000,42000,900,K_\npacket,48003,45003,300,__\nformat,0.4\n", false},
  };
  for (const Case& c : cases) {
    const SourceTiming timing = ReadSourceTiming(c.listing);
    EXPECT_EQ(timing.regular, c.regular) << c.what;
    EXPECT_EQ(SeekFor(timing, 500, 30000.0 / 1001).seconds >= 0, c.regular) << c.what;
  }
  const SourceTiming timing = ReadSourceTiming(listing(regular));
  EXPECT_EQ(timing.sizes, (std::vector<long>{900, 300, 100, 200, 800, 100}));
  EXPECT_EQ(timing.keyGap, 4);
  // Frame 500 shows at 0.5 + 500 * 3003 / 90000 s; the seek lands two key-frame runs (and two
  // frames) before it, counted from the file's start; frames are kept from half a frame before.
  const double frame = 3003.0 / 90000;
  const SeekPoint seek = SeekFor(timing, 500, 30000.0 / 1001);
  EXPECT_NEAR(seek.seconds, 0.1 + (500 - 10) * frame, 1e-9);
  EXPECT_NEAR(seek.keepFrom, 0.5 + 499.5 * frame, 1e-9);
  EXPECT_LT(SeekFor(timing, 10, 30000.0 / 1001).seconds, 0) << "near the start: decoded from it";
  EXPECT_LT(SeekFor(timing, 500, 24000.0 / 1001).seconds, 0) << "a chain that changes the rate";
  EXPECT_EQ(SeekChain("scale=320:240", 1.5), "trim=start=1.500000,setpts=PTS-STARTPTS,scale=320:240");
}

// The working folder the first pass leaves (two segments of 60 frames at 29.97 fps, the trailing
// frames kept from frame 100, a regular clock that the segments seek by), and videopass's second
// pass run in it with a stand-in `ffmpeg` (a shell script) first on the PATH.
class WorkingFolder {
 public:
  WorkingFolder(const std::string& name, const std::string& encoder) : dir_(::testing::TempDir() + name) {
    EXPECT_EQ(std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "/bin'").c_str()), 0);
    std::ofstream(dir_ + "/bin/ffmpeg") << "#!/bin/sh\n" << encoder << "\n";
    EXPECT_EQ(std::system(("chmod +x '" + dir_ + "/bin/ffmpeg'").c_str()), 0);
    std::ostringstream packets;
    for (long i = 0; i < 120; ++i) {
      packets << "packet," << 45000 + 3003 * i << "," << 45000 + 3003 * i << ",1000," << (i % 12 ? "__" : "K_") << "\n";
    }
    packets << "stream,1/90000\nformat,0.400000\n";
    files_["packets.txt"] = packets.str();
    timing_ = ReadSourceTiming(packets.str());
    for (int k = 0; k < 2; ++k) {
      std::string log = "# ffmpeg 2-pass log file, using xvid codec\n# Do not modify. libxvidcore version: 1.3.7\n\n";
      for (long i = 0; i < 60; ++i) log += i % 12 ? "p 2 0 390 6 5000 900\n" : "i 2 396 0 0 20000 1500\n";
      files_["first-" + std::to_string(k) + "-0.log"] = log;
    }
  }

  const std::string& Dir() const { return dir_; }
  std::map<std::string, std::string>& Files() { return files_; }

  // The seek line the first pass writes for the packets, its first frame moved by `frames`.
  std::string SeekLine(double frames) const {
    std::ostringstream line;
    line.precision(17);
    line << "seek 1 " << timing_.firstSeconds + frames * timing_.frameSeconds << ' ' << timing_.startSeconds << ' '
         << timing_.frameSeconds << ' ' << timing_.keyGap;
    return line.str();
  }

  // The segments' folder written afresh, the plan as the first pass writes it.
  void Write() {
    ASSERT_EQ(std::system(("rm -rf '" + dir_ + "/segments' && mkdir '" + dir_ + "/segments'").c_str()), 0);
    Options options;
    options.folder = dir_ + "/segments";
    ASSERT_TRUE(WritePlan(options, 30000.0 / 1001, {0, 60}, 100, timing_));
    ASSERT_TRUE(Seekable(timing_, 30000.0 / 1001));
    for (const auto& [name, text] : files_) std::ofstream(options.folder + "/" + name) << text;
  }

  // videopass second started in the folder, its messages in second.err.
  pid_t Start() const {
    const std::string path = dir_ + "/bin:" + std::getenv("PATH");
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0 || !std::freopen("second.out", "w", stdout) ||
          !std::freopen("second.err", "w", stderr)) {
        _exit(126);
      }
      setenv("PATH", path.c_str(), 1);
      execl(VIDEOPASS_PROGRAM, "videopass", "second", "--stage", "2/2", "--medium", "10000000", "--", nullptr);
      _exit(127);
    }
    return pid;
  }

 private:
  std::string dir_;
  std::map<std::string, std::string> files_;
  SourceTiming timing_;
};

// The text with line `n` (from 0) replaced (or taken out when `with` is null).
std::function<std::string(std::string)> Line(std::size_t n, const char* with) {
  return [n, with](const std::string& text) {
    std::istringstream in(text);
    std::string out, line;
    for (std::size_t i = 0; std::getline(in, line); ++i) {
      if (i != n) out += line + "\n";
      else if (with) out += std::string(with) + "\n";
    }
    return out;
  };
}

// The second pass refuses working files that do not add up, naming the file and what is wrong,
// before any encoder starts, and never crashes on them; an untouched folder reaches its encoders.
TEST(Videopass, DamagedWorkingFilesAreRefusedNamingTheFile) {
  WorkingFolder folder("videopass_damaged", "echo 'stand-in encoder' >&2; exit 3");
  const std::string thirtyOff = folder.SeekLine(30);
  auto to = [](std::string text) { return [text](const std::string&) { return text; }; };
  const std::string plan = "segments/plan.txt", log1 = "segments/first-1-0.log";
  struct Case {
    const char* what;
    std::string file;  // "" for none
    std::function<std::string(std::string)> edit;  // null: the file is taken away
    std::string says;
  } cases[] = {
      {"untouched: on to the encoders", "", nullptr, "ended with exit code 3: stand-in encoder"},
      {"no plan", "plan.txt", nullptr, plan + " is missing: the first pass has not run"},
      {"an empty plan", "plan.txt", to(""), plan + ": it is empty"},
      {"a plan of garbage", "plan.txt", to("garbage\n"), plan + ": line 1 (\"garbage\") is not its fps line"},
      {"a plan cut short", "plan.txt", to("fps 25\ntail 100\n"), plan + ": it ends before its seek line"},
      {"fps nan", "plan.txt", Line(0, "fps nan"), plan + ": fps \"nan\" is not a frame rate"},
      {"fps 0", "plan.txt", Line(0, "fps 0"), plan + ": fps \"0\" is not a frame rate"},
      {"fps negative", "plan.txt", Line(0, "fps -25"), plan + ": fps \"-25\" is not a frame rate"},
      {"fps infinite", "plan.txt", Line(0, "fps inf"), plan + ": fps \"inf\" is not a frame rate"},
      {"a segment past the frames", "plan.txt", Line(3, "starts 0 5000"),
       plan + ": segment 1 has frames 0 to 4999, but its log segments/first-0-0.log holds 60"},
      {"a negative segment", "plan.txt", Line(3, "starts 0 -60"), plan + ": starts \"0 -60\" are not frames"},
      {"a first segment not at 0", "plan.txt", Line(3, "starts 30 60"),
       plan + ": the first segment starts at frame 30, not at the title's first, 0"},
      {"segments out of order", "plan.txt", Line(3, "starts 0 60 30"),
       plan + ": segment 3 starts at frame 30, not after segment 2's first, 60"},
      {"a start beyond the frames' count", "plan.txt", Line(3, "starts 0 99999999999999999999"),
       plan + ": starts \"0 99999999999999999999\" are not frames"},
      {"the trailing frames past the title", "plan.txt", Line(1, "tail 500"),
       plan + ": the title has 120 frames, fewer than its length promised"},
      {"the trailing frames before the last segment", "plan.txt", Line(1, "tail 30"),
       plan + ": the trailing frames start at frame 30, not within the last segment"},
      {"the seek line 30 frames off", "plan.txt", Line(2, thirtyOff.c_str()),
       plan + ": its seek line does not match the source's packets listed in segments/packets.txt"},
      {"the seek line not a timing", "plan.txt", Line(2, "seek 2 0 0 0 0"),
       plan + ": seek \"2 0 0 0 0\" is not a source's timing"},
      {"the packets the seek line came from gone", "packets.txt", nullptr,
       plan + ": its seek line cannot be checked: segments/packets.txt"},
      {"a frame length of 999999999999999", "first-1-0.log", Line(4, "p 2 0 390 6 999999999999999 900"),
       log1 + ": line 5 (\"p 2 0 390 6 999999999999999 900\"): a frame of 396 macroblocks has a length of 1 to "
              "1622016 bytes, not 999999999999999"},
      {"a frame length of 0", "first-1-0.log", Line(4, "p 2 0 390 6 0 0"), "has a length of 1 to 1622016 bytes, not 0"},
      {"a negative header length", "first-1-0.log", Line(4, "p 2 0 390 6 5000 -1"),
       "has a header length of 0 to 1622016 bytes, not -1"},
      {"a frame of other macroblocks", "first-1-0.log", Line(5, "p 2 0 3900 6 5000 900"),
       log1 + ": line 6 (\"p 2 0 3900 6 5000 900\") counts 3906 macroblocks where the frames before it count 396"},
      {"a line that is no frame", "first-1-0.log", Line(5, "p 2 0 390"), log1 + ": line 6 (\"p 2 0 390\") is not a frame's"},
      {"a frame missing from the first log", "first-0-0.log", Line(9, nullptr),
       plan + ": segment 1 has frames 0 to 59, but its log segments/first-0-0.log holds 59"},
      {"no frame in the last log", "first-1-0.log", to("# log\n"), log1 + " holds no frame"},
      {"the last log gone", "first-1-0.log", nullptr, log1 + " cannot be read: No such file or directory"},
  };
  for (const Case& c : cases) {
    folder.Write();
    const std::string file = folder.Dir() + "/segments/" + c.file;
    if (!c.file.empty()) {
      std::stringstream text;
      text << std::ifstream(file).rdbuf();
      std::remove(file.c_str());
      if (c.edit) std::ofstream(file) << c.edit(text.str());
    }
    int status = 0;
    ASSERT_EQ(waitpid(folder.Start(), &status, 0) > 0, true) << c.what;
    std::stringstream said;
    said << std::ifstream(folder.Dir() + "/second.err").rdbuf();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
        << c.what << ": " << (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "exit " +
                                                        std::to_string(WEXITSTATUS(status)));
    EXPECT_NE(said.str().find(c.says), std::string::npos) << c.what << ": " << said.str();
  }
}

// Whether a process is gone: no longer there, or dead and waiting to be reaped by whoever
// inherited it.
bool Gone(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

// videopass killed outright (no handler runs) takes its encoders with it within a second.
TEST(Videopass, ItsEncodersDieWithIt) {
  WorkingFolder folder("videopass_killed", "echo $$ >>encoders.pid; exec sleep 30");
  folder.Write();
  const pid_t videopass = folder.Start();
  const std::string pids = folder.Dir() + "/encoders.pid";
  for (int i = 0; i < 200 && !std::ifstream(pids).good(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(kill(videopass, SIGKILL), 0);
  ASSERT_EQ(waitpid(videopass, nullptr, 0), videopass);
  std::vector<pid_t> encoders;
  std::ifstream in(pids);
  for (pid_t pid; in >> pid;) encoders.push_back(pid);
  ASSERT_FALSE(encoders.empty()) << "no stand-in encoder started";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (pid_t encoder : encoders) {
    while (!Gone(encoder) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(Gone(encoder)) << "encoder " << encoder << " outlived videopass";
    if (!Gone(encoder)) kill(encoder, SIGKILL);
  }
}

// The one file's second pass with a stand-in encoder whose video takes `factor` times what it
// is asked for (never less than `floor` bytes, never more than `cap`) and a mux script that
// adds the tracks and 5000 bytes of container: it lands in the window, correcting a run that
// misses, says when the encoder is at its finest, and fails, naming why, when the medium is
// too small, the encoder will not come down or the first pass is missing.
TEST(Videopass, TheOneFileIsMeasuredWithItsTracksAndAimedAgainUntilItFits) {
  const std::string dir = ::testing::TempDir() + "videopass_one_file";
  const struct {
    const char* what;
    double factor;
    long long floor, cap, medium;
    bool record;  // the first pass's record is there
    int code, runs;
    const char* says;  // in the messages (code 1) or size.log (code 0)
  } rows[] = {
      {"asked is made", 1.0, 0, 1LL << 40, 1000000, true, 0, 1, "99.75% of the medium"},
      {"3% over, aimed again", 1.03, 0, 1LL << 40, 1000000, true, 0, 2, "99.75% of the medium"},
      {"2% under, aimed again", 0.98, 0, 1LL << 40, 1000000, true, 0, 2, "99.75% of the medium"},
      {"at its finest", 1.0, 0, 500000, 1000000, true, 0, 1, "at its best quality the video takes 500000 bytes"},
      {"no room beside the tracks", 1.0, 0, 1LL << 40, 210000, true, 1, 0, "too little for h264"},
      {"never comes down", 1.0, 900000, 1LL << 40, 1000000, true, 1, 4, "over it: the encoder did not come down"},
      {"no first pass", 1.0, 0, 1LL << 40, 1000000, false, 1, 0, "one_file.txt is missing or damaged"},
  };
  for (const auto& row : rows) {
    ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/bin' '" + dir + "/segments'").c_str()), 0);
    std::ofstream(dir + "/bin/ffmpeg") << "#!/bin/sh\n"
        << "for word; do case $last in -b:v) rate=$word;; -progress) progress=$word;; esac; last=$word; done\n"
        << "echo \"$rate\" >>rates.txt\n"
        << "bytes=$(awk -v r=\"$rate\" 'BEGIN { b = r * 10 / 8 * " << row.factor << "; b = b < " << row.floor
        << " ? " << row.floor << " : b; printf \"%d\", (b > " << row.cap << " ? " << row.cap << " : b) }')\n"
        << "head -c \"$bytes\" /dev/zero >\"$last\"\nprintf 'frame=250\\nprogress=end\\n' >\"$progress\"\n";
    std::ofstream(dir + "/mux.sh") << "cat \"$1\" track.mp3 >\"$2\" && head -c 5000 /dev/zero >>\"$2\"\n";
    std::ofstream(dir + "/track.mp3") << std::string(200000, 't');
    std::ofstream(dir + "/segments/video1.mkv") << std::string(300000, 'v');
    if (row.record) std::ofstream(dir + "/segments/one_file.txt") << "fps 25\nframes 250\n";
    ASSERT_EQ(std::system(("chmod +x '" + dir + "/bin/ffmpeg'").c_str()), 0);
    const std::string command = "cd '" + dir + "' && PATH='" + dir + "/bin':$PATH '" + VIDEOPASS_PROGRAM +
                                "' second --codec h264 --stage 5/6 --medium " + std::to_string(row.medium) +
                                " --results track.mp3 --mux ./mux.sh --out film.mkv.part -- >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    std::stringstream err, sizes, rates;
    err << std::ifstream(dir + "/err.txt").rdbuf();
    sizes << std::ifstream(dir + "/size.log").rdbuf();
    rates << std::ifstream(dir + "/rates.txt").rdbuf();
    EXPECT_EQ(WEXITSTATUS(status), row.code) << row.what << ": " << err.str();
    EXPECT_NE((row.code ? err : sizes).str().find(row.says), std::string::npos) << row.what << ": " << err.str() << sizes.str();
    const std::string all = rates.str();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), row.runs) << row.what << ": rates " << all;
    const long long made = FileBytes(dir + "/film.mkv.part");
    if (row.code == 0 && row.cap > row.medium) {
      EXPECT_TRUE(made >= row.medium * 0.995 && made <= row.medium) << row.what << ": " << made;
    }
    if (row.code != 0) {
      EXPECT_LT(made, 0) << row.what << ": a failed run leaves no file";
    }
  }
}


// Several titles: the medium is shared by the first passes' statistics read as one, the files
// measured together, and a run outside the window makes the title with the most video again.
TEST(Videopass, SeveralTitlesShareTheMediumByTheirFirstPassesAndLandTogether) {
  const std::string dir = ::testing::TempDir() + "videopass_titles";
  const struct {
    const char* what;
    double factor;      // what the stand-in encoder makes of what it is asked
    const char* medium;  // the medium option and its bytes
    const char* stats2;  // title 2's first-pass frame, "" for a damaged file
    int code, runs;
    const char* says;
  } rows[] = {
      {"shared, as asked", 1.0, "--medium 2000000", "tex:80000 mv:8000 misc:200", 0, 2, "the 2 files fill"},
      {"shared, 3% over", 1.03, "--medium 2000000", "tex:80000 mv:8000 misc:200", 0, 3, "correction 1, title 2"},
      {"each its own", 0.98, "--medium-each 1000000", "tex:80000 mv:8000 misc:200", 0, 4, "the file of title 2 fills"},
      {"damaged statistics", 1.0, "--medium 2000000", "", 1, 0, "title2/segments/h264_stats-0.log: line 2 is no frame"},
  };
  for (const auto& row : rows) {
    ASSERT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/bin'").c_str()), 0);
    std::ofstream(dir + "/bin/ffmpeg") << "#!/bin/sh\n"
        << "for word; do case $last in -b:v) rate=$word;; -progress) progress=$word;; -i) source=$word;; esac; last=$word; done\n"
        << "echo \"$source $rate\" >>rates.txt\n"
        << "bytes=$(awk -v r=\"$rate\" 'BEGIN { printf \"%d\", r * 10 / 8 * " << row.factor << " }')\n"
        << "head -c \"$bytes\" /dev/zero >\"$last\"\nprintf 'frame=250\\nprogress=end\\n' >\"$progress\"\n";
    std::ofstream(dir + "/mux.sh") << "cat \"$1\" \"$3/track.mp3\" >\"$2\"\n";
    for (const char* title : {"title1", "title2"}) {
      const std::string t = dir + "/" + title;
      ASSERT_EQ(std::system(("mkdir -p '" + t + "/segments'").c_str()), 0);
      std::ofstream(t + "/track.mp3") << std::string(50000, 't');
      std::ofstream(t + "/segments/video1.mkv") << std::string(100000, 'v');
      std::ofstream(t + "/segments/one_file.txt") << "fps 25\nframes 250\n";
      std::ofstream(t + "/words") << "-vf\nscale=64:36\n";
      std::ofstream(t + "/duration") << "10\n";
      const std::string frame = std::string(title) == "title1" ? "tex:8000 mv:800 misc:200" : row.stats2;
      std::ofstream stats(t + "/segments/h264_stats-0.log");
      stats << "#options: 64x36\n";
      for (int i = 0; i < 250; ++i) stats << "in:" << i << " out:" << i << " type:P q:25.00 " << (frame.empty() ? "tex:x" : frame) << " ;\n";
    }
    ASSERT_EQ(std::system(("chmod +x '" + dir + "/bin/ffmpeg'").c_str()), 0);
    const std::string command = "cd '" + dir + "' && PATH='" + dir + "/bin':$PATH '" + VIDEOPASS_PROGRAM +
                                "' second --codec h264 --titles '1 2' --stage 5/6 " + row.medium +
                                " --mux ./mux.sh --outs 'a.mkv.part b.mkv.part' >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    std::stringstream err, out, sizes, rates;
    err << std::ifstream(dir + "/err.txt").rdbuf();
    out << std::ifstream(dir + "/out.txt").rdbuf();
    sizes << std::ifstream(dir + "/size.log").rdbuf();
    rates << std::ifstream(dir + "/rates.txt").rdbuf();
    EXPECT_EQ(WEXITSTATUS(status), row.code) << row.what << ": " << err.str();
    EXPECT_NE((row.code ? err : out).str().find(row.says), std::string::npos) << row.what << ": " << err.str() << out.str();
    const std::string all = rates.str();
    EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), row.runs) << row.what << ": rates " << all;
    const long long a = FileBytes(dir + "/a.mkv.part"), b = FileBytes(dir + "/b.mkv.part");
    if (row.code != 0) {
      EXPECT_TRUE(a < 0 && b < 0) << row.what << ": a failed run leaves no file";
      continue;
    }
    if (std::string(row.medium).find("each") != std::string::npos) {
      for (const long long bytes : {a, b}) EXPECT_TRUE(bytes >= 995000 && bytes <= 1000000) << row.what << ": " << bytes;
    } else {
      EXPECT_TRUE(a + b >= 1990000 && a + b <= 2000000) << row.what << ": " << a + b;
      // The busier title takes more, though the same length.
      EXPECT_GT(b, 2 * a) << row.what;
    }
  }
}

}  // namespace
}  // namespace videopass
