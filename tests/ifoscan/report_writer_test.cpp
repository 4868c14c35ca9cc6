#include "report_writer.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "language_names.h"

using namespace ifoscan;

namespace {

// A chain as the report sees it: its length and chapters.
ProgramChain Chain(int hours, int minutes, int seconds, int chapters) {
  ProgramChain chain;
  chain.hours = hours, chain.minutes = minutes, chain.seconds = seconds, chain.chapters = chapters;
  return chain;
}

// The rules the planner applies to each report line, by the effect they have.
enum Rule { kPal, kNtsc, k16x9, k4x3, kAudio, kSubtitle, kChain };

std::set<Rule> RulesHit(const std::string& line) {
  auto has = [&](const char* s) { return line.find(s) != std::string::npos; };
  std::set<Rule> hit;
  if (has("PAL")) hit.insert(kPal);
  if (has("NTSC")) hit.insert(kNtsc);
  if (has("16:9")) hit.insert(k16x9);
  if (has("4:3")) hit.insert(k4x3);
  if (has("AC3") || has("LPCM")) hit.insert(kAudio);
  if (has("0x2") || has("0x3")) hit.insert(kSubtitle);
  if (has("Length:")) hit.insert(kChain);
  return hit;
}

std::vector<std::string> Lines(const std::string& report) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < report.size()) {
    const std::size_t end = report.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(report.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

AudioStream MakeAudio(AudioFormat format, int id, int channels, const char* lang) {
  AudioStream a;
  a.format = format, a.streamId = id, a.channels = channels, a.sampleRateKHz = 48, a.language = lang;
  return a;
}

}  // namespace

TEST(IfoscanReport, WritesTheLinesInOrderWithTheVideoLineLast) {
  TitleSet t;
  t.video = {VideoStandard::Pal, AspectRatio::Ratio16x9, 720, 576};
  t.chains = {Chain(1, 24, 31, 12), Chain(0, 4, 30, 3)};
  t.audio = {MakeAudio(AudioFormat::Ac3, 0x80, 6, "en"), MakeAudio(AudioFormat::Lpcm, 0xA0, 2, "")};
  t.subpictures = {{0x2A, "nl"}};
  EXPECT_EQ(FormatReport(t),
            "  1. Length: 01:24:31, 12 chapters\r\n"
            "  2. Length: 00:04:30, 3 chapters\r\n"
            "  0x80. English (AC3, 6ch, 48kHz) [1]\r\n"
            "  0xA0. Unknown (LPCM, 2ch, 48kHz) [2]\r\n"
            "  0x2A. Dutch (Subtitle) [1]\r\n"
            "  Video: PAL 16:9 720x576\r\n");
}

// Every kind of line, with values chosen to provoke accidental matches, triggers exactly its
// own rules; the aspect ratio read line by line ends as the video line says.
TEST(IfoscanReport, EachLineTriggersOnlyItsOwnRules) {
  TitleSet t;
  t.video = {VideoStandard::Ntsc, AspectRatio::Ratio16x9, 720, 480};
  for (int h : {0, 4, 16, 99})
    for (int m : {3, 4, 16, 43}) t.chains.push_back(Chain(h, m, 30 + h % 30, 20 + m));
  const AudioFormat formats[] = {AudioFormat::Ac3, AudioFormat::Lpcm, AudioFormat::Dts,
                                 AudioFormat::Mpeg1, AudioFormat::Mpeg2, AudioFormat::Other};
  const int bases[] = {0x80, 0xA0, 0x88, 0xC0, 0xC0, -1};
  for (int f = 0; f < 6; ++f)
    for (int n = 0; n < 8; ++n)
      t.audio.push_back(MakeAudio(formats[f], bases[f] < 0 ? -1 : bases[f] + n, n + 1, "de"));
  for (int n = 0; n < 32; ++n) t.subpictures.push_back({0x20 + n, "fr"});

  const std::vector<std::string> lines = Lines(FormatReport(t));
  ASSERT_EQ(lines.size(), t.chains.size() + t.audio.size() + t.subpictures.size() + 1);
  bool wide = false;
  std::size_t i = 0;
  for (; i < t.chains.size(); ++i) {
    std::set<Rule> hit = RulesHit(lines[i]);
    hit.erase(k4x3), hit.erase(k16x9);  // a length may hold these; the video line comes last
    EXPECT_EQ(hit, std::set<Rule>{kChain}) << lines[i];
  }
  for (std::size_t a = 0; a < t.audio.size(); ++a, ++i) {
    const bool planner = t.audio[a].format == AudioFormat::Ac3 || t.audio[a].format == AudioFormat::Lpcm;
    EXPECT_EQ(RulesHit(lines[i]), planner ? std::set<Rule>{kAudio} : std::set<Rule>{}) << lines[i];
  }
  for (std::size_t s = 0; s < t.subpictures.size(); ++s, ++i)
    EXPECT_EQ(RulesHit(lines[i]), std::set<Rule>{kSubtitle}) << lines[i];
  EXPECT_EQ(RulesHit(lines[i]), (std::set<Rule>{kNtsc, k16x9}));

  for (const std::string& line : lines) {
    EXPECT_EQ(line.rfind("  ", 0), 0u) << line;
    const std::set<Rule> hit = RulesHit(line);
    if (hit.count(k16x9)) wide = true;
    if (hit.count(k4x3)) wide = false;
    const bool stream = hit.count(kAudio) || hit.count(kSubtitle);
    if (stream) {
      EXPECT_GE(line.find('['), 2u) << line;
    }
  }
  EXPECT_TRUE(wide);
}

TEST(IfoscanReport, UnknownVideoValuesSelectNothing) {
  TitleSet t;
  t.video = {VideoStandard::Unknown, AspectRatio::Unknown, 720, 0};
  const std::vector<std::string> lines = Lines(FormatReport(t));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(RulesHit(lines[0]).empty()) << lines[0];
}

TEST(IfoscanLanguages, NamesKnownCodesAndNeverBreaksTheReport) {
  EXPECT_EQ(LanguageName("en"), "English");
  EXPECT_EQ(LanguageName("aa"), "Afar");  // both ends of the sorted table
  EXPECT_EQ(LanguageName("zu"), "Zulu");
  EXPECT_EQ(LanguageName("nl"), "Dutch");
  EXPECT_EQ(LanguageName(""), "Unknown");
  EXPECT_EQ(LanguageName("qq"), "qq");
  int named = 0;
  for (char a = 'a'; a <= 'z'; ++a)
    for (char b = 'a'; b <= 'z'; ++b) {
      const std::string code{a, b};
      const std::string name = LanguageName(code);
      if (name != code) ++named;
      EXPECT_EQ(name.find_first_of("([\r\n"), std::string::npos) << code;
      EXPECT_TRUE(RulesHit("  " + name).empty()) << code;
    }
  EXPECT_GT(named, 180);  // the whole two-letter table is reachable by the search
}
