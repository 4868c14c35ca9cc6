#include "videopass/titles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>

#include "videopass/file_pass.h"
#include "videopass/first_pass.h"
#include "videopass/one_file.h"
#include "videopass/progress_line.h"
#include "videopass/run_report.h"
#include "videopass/title_share.h"

namespace videopass {
namespace {

struct Title {
  int number = 0;
  std::string folder;  // titleN
  Options options;     // its source, segments' folder, length, words and file
  double fps = 0;
  long frames = 0;
  long long beside = 0;  // what its file holds beside the video
  FileRun run;

  double Seconds() const { return frames / fps; }
  std::string Video() const { return Path(options, "video.mkv"); }
};

// The titles of the plan with what the script wrote into their folders; "" or why not.
std::string LoadTitles(const Options& options, std::vector<Title>& titles) {
  for (std::size_t i = 0; i < options.titles.size(); ++i) {
    Title title;
    title.number = options.titles[i];
    title.folder = "title" + std::to_string(title.number);
    Options& o = title.options = options;
    o.source = title.folder + "/movie.vob";
    o.folder = title.folder + "/segments";
    o.words.clear();
    if (i < options.outs.size()) o.out = options.outs[i];
    const std::string wordsFile = title.folder + "/words";
    std::ifstream words(wordsFile);
    if (!words) return wordsFile + " cannot be read: the script writes the words of the title's encodes there";
    for (std::string word; std::getline(words, word);) {
      if (!word.empty()) o.words.push_back(word);
    }
    const std::string lengthFile = title.folder + "/duration";
    std::ifstream length(lengthFile);
    if (!(length >> o.duration) || !std::isfinite(o.duration) || o.duration <= 0)
      return lengthFile + " holds no length of the title";
    titles.push_back(std::move(title));
  }
  return {};
}

double TotalDuration(const std::vector<Title>& titles) {
  double seconds = 0;
  for (const Title& t : titles) seconds += t.options.duration;
  return seconds;
}

long long FilesBytes(const std::vector<Title*>& group) {
  long long bytes = 0;
  for (const Title* t : group) bytes += t->run.fileBytes;
  return bytes;
}

// Encodes the title's second pass at run.bitrate and puts it into its file; "" or why not.
std::string MakeTitle(const Options& options, Title& t, ProgressLine& progress) {
  const EncoderWords words = SplitEncoderWords(t.options.words);
  const EncoderJob job = PassJob(t.options, words, 2, t.run.bitrate, {"-f", "matroska", t.Video()}, t.frames);
  if (std::string e = RunPass(job, "Video 2nd pass of title " + std::to_string(t.number), t.frames, progress); !e.empty())
    return e;
  if (std::string e = Mux(options, t.Video(), t.options.out, t.folder); !e.empty()) return e;
  t.run.videoBytes = FileBytes(t.Video());
  t.run.fileBytes = FileBytes(t.options.out);
  SizeLine(options, "Video 2nd pass: title " + std::to_string(t.number) + " at " + Bitrate(t.run.bitrate) +
                        " bit/s: video " + std::to_string(t.run.videoBytes) + " bytes, the file " +
                        std::to_string(t.run.fileBytes) + " bytes");
  return {};
}

std::string GroupName(const std::vector<Title*>& group) {
  return group.size() == 1 ? "the file of title " + std::to_string(group[0]->number) + " fills"
                           : "the " + std::to_string(group.size()) + " files fill";
}

// Lands the group's files in [99.5%, 100%] of `medium` after its first run: the title with the
// most video is made again, carrying what the others left over or under, as its share of the
// whole is the least disturbed by it. "" when the files are in (or cannot take more), else why
// they cannot be.
std::string LandGroup(const Options& options, const std::vector<Title*>& group, long long medium, int& corrections) {
  for (int n = 1;; ++n) {
    const long long total = FilesBytes(group);
    SizeLine(options, "Video 2nd pass: " + GroupName(group) + " " + std::to_string(total) + " bytes, " +
                          Percent(total, medium) + "% of the medium");
    if (total <= medium && total >= medium * 0.995) return {};
    Title& k = **std::max_element(group.begin(), group.end(),
                                  [](const Title* a, const Title* b) { return a->run.videoBytes < b->run.videoBytes; });
    FileRun aim = k.run;
    aim.fileBytes = total;  // all but its video stays: its room is what the group leaves
    const double next = NextFileBitrate(aim, medium);
    if (n == kFileRuns) {
      if (total > medium) {
        return "after " + std::to_string(kFileRuns) + " runs " + GroupName(group) + " " + Percent(total, medium) +
               "% of the medium, over it: the encoder did not come down to the bitrate asked; see size.log";
      }
      SizeLine(options, "Video 2nd pass: short of the medium after " + std::to_string(kFileRuns) +
                            " runs: the encoder did not come up to the bitrate asked");
      return {};
    }
    // Far under what it was asked for, the encoder is at its finest: more would not be taken.
    if (total < medium && next > k.run.bitrate && k.run.videoBytes * 8 < 0.8 * k.run.bitrate * k.Seconds()) {
      SizeLine(options, "Video 2nd pass: at its best quality the video of title " + std::to_string(k.number) +
                            " takes " + std::to_string(k.run.videoBytes) + " bytes at " + Bitrate(k.run.bitrate) +
                            " bit/s asked; the medium is larger than the titles need");
      return {};
    }
    if (next < kLeastBitrate) {
      return "the medium of " + std::to_string(medium) + " bytes leaves title " + std::to_string(k.number) + " " +
             std::to_string(std::llround(next / 1000)) + " kbit/s: too little for " + options.codec + "; see size.log";
    }
    k.run.bitrate = next;
    StageAgain(options, "Video 2nd pass", "correction " + std::to_string(++corrections) + ", title " + std::to_string(k.number));
    ProgressLine progress("[" + options.stage + "] Video 2nd pass", k.frames);
    const std::string e = MakeTitle(options, k, progress);
    progress.Break();
    if (!e.empty()) return e;
  }
}

// Each title's first bitrate: the group's room at the aim, shared by the first passes read as
// one (a group of one takes it all). "" or why not.
std::string AimGroup(const Options& options, const std::vector<Title*>& group, long long medium) {
  long long beside = 0;
  double seconds = 0;
  for (const Title* t : group) beside += t->beside, seconds += t->Seconds();
  const double roomBits = (static_cast<double>(medium) * kFileAim - static_cast<double>(beside)) * 8;
  if (roomBits / seconds < kLeastBitrate) {
    return "the medium of " + std::to_string(medium) + " bytes leaves the video " +
           std::to_string(std::llround(std::max(0.0, roomBits) / seconds / 1000)) + " kbit/s beside the tracks (" +
           std::to_string(beside) + " bytes with the files' own): too little for " + options.codec + "; see size.log";
  }
  std::vector<std::vector<FrameCost>> costs(group.size());
  for (std::size_t i = 0; i < group.size() && group.size() > 1; ++i) {
    if (std::string e = ReadFrameCosts(StatsFile(group[i]->options), costs[i]); !e.empty()) return e;
  }
  const std::vector<double> bits = group.size() > 1 ? ShareBits(costs, roomBits) : std::vector<double>{roomBits};
  for (std::size_t i = 0; i < group.size(); ++i) {
    Title& t = *group[i];
    t.run.bitrate = bits[i] / t.Seconds();
    if (group.size() > 1) {
      char share[40];
      std::snprintf(share, sizeof share, "%.2f%%", 100 * bits[i] / roomBits);
      SizeLine(options, "Video 2nd pass: title " + std::to_string(t.number) + " (" + std::to_string(t.frames) +
                            " frames) takes " + share + " of the video's room by its first pass");
    }
  }
  return {};
}

}  // namespace

int TitlesFirst(const Options& options) {
  std::vector<Title> titles;
  if (std::string e = LoadTitles(options, titles); !e.empty()) return Fail(e);
  const double allSeconds = TotalDuration(titles);
  long estimate = 0;
  for (Title& t : titles) {
    std::string error;
    mkdir(t.options.folder.c_str(), 0755);
    if (!ChainFrameRate(t.options, SplitEncoderWords(t.options.words), t.fps, error)) return Fail(error);
    estimate += std::max(1L, std::lround(t.options.duration * t.fps));
    // The first pass gauges each title at about the bitrate it will have.
    t.options.medium = options.mediumEach > 0 ? options.mediumEach
                                              : std::llround(options.medium * t.options.duration / allSeconds);
  }
  ProgressLine progress("[" + options.stage + "] Video 1st pass", estimate);
  for (Title& t : titles) {
    if (std::string e = TitleFirstPass(t.options, t.fps, progress); !e.empty()) {
      progress.Break();
      return Fail("title " + std::to_string(t.number) + ": " + e);
    }
  }
  progress.Break();
  return 0;
}

int TitlesSecond(const Options& options) {
  std::vector<Title> titles;
  if (std::string e = LoadTitles(options, titles); !e.empty()) return Fail(e);
  long frames = 0;
  // What each file holds beside the video is measured on its first pass's video put into it.
  for (Title& t : titles) {
    if (!ReadRecord(t.options, t.fps, t.frames))
      return Fail(RecordPath(t.options) + " is missing or damaged: the first pass of title " + std::to_string(t.number) +
                  " has not run whole");
    frames += t.frames;
    const std::string first = Path(t.options, "video1.mkv");
    if (std::string e = Mux(options, first, t.options.out, t.folder); !e.empty()) return Fail(e);
    t.beside = FileBytes(t.options.out) - FileBytes(first);
    std::remove(t.options.out.c_str());
  }
  std::vector<std::vector<Title*>> groups;
  if (options.mediumEach > 0) {
    for (Title& t : titles) groups.push_back({&t});
  } else {
    groups.emplace_back();
    for (Title& t : titles) groups.back().push_back(&t);
  }
  const long long medium = options.mediumEach > 0 ? options.mediumEach : options.medium;
  for (const auto& group : groups) {
    if (std::string e = AimGroup(options, group, medium); !e.empty()) return Fail(e);
  }
  // The first run of every title counts as the stage; corrections are stages again.
  ProgressLine progress("[" + options.stage + "] Video 2nd pass", frames);
  for (Title& t : titles) {
    if (std::string e = MakeTitle(options, t, progress); !e.empty()) {
      progress.Break();
      return Fail(e);
    }
  }
  progress.Break();
  int corrections = 0;
  for (const auto& group : groups) {
    if (std::string e = LandGroup(options, group, medium, corrections); !e.empty()) {
      for (const Title& t : titles) std::remove(t.options.out.c_str());
      return Fail(e);
    }
  }
  return 0;
}

}  // namespace videopass
