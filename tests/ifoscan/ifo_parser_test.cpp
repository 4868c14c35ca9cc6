#include "ifo_parser.h"

#include <gtest/gtest.h>

#include "ifo_builder.h"

using namespace ifoscan;
using namespace ifoscan_test;

namespace {

ParseResult Parse(const std::vector<std::uint8_t>& bytes) { return ParseTitleSetIfo(bytes); }

IfoLayout TwoChainSpec() {
  IfoLayout layout;
  layout.audio = {Audio(0, 2, "en"), Audio(4, 2, "fr"), Audio(0, 6, "de")};
  layout.subpictures = {Subpicture("en"), Subpicture("nl")};
  ChainShape first;
  first.bcd[0] = 0x01, first.bcd[1] = 0x24, first.bcd[2] = 0x31, first.bcd[3] = 0x59;  // frames dropped
  first.programs = 12;
  // Physical numbers as a disc has them: AC3 0 and 1, LPCM 0 in between.
  first.audioControl = {0x8000, 0x8000, 0x8100};
  // 4:3 byte says 5/6, wide byte says 0/1: a 16:9 title uses the wide one.
  first.subpictureControl = {0x85000100u, 0x86010100u};
  ChainShape second;
  second.bcd[2] = 0x07;
  second.programs = 1;
  layout.chains = {first, second};
  return layout;
}

}  // namespace

TEST(IfoscanParser, ReadsChainsStreamsAndVideo) {
  const ParseResult r = Parse(BuildIfo(TwoChainSpec()));
  ASSERT_TRUE(r.ok) << r.error;
  const TitleSet& t = r.titleSet;
  EXPECT_EQ(t.video.standard, VideoStandard::Pal);
  EXPECT_EQ(t.video.aspect, AspectRatio::Ratio16x9);
  EXPECT_EQ(t.video.width, 720);
  EXPECT_EQ(t.video.height, 576);

  ASSERT_EQ(t.chains.size(), 2u);
  EXPECT_EQ(t.chains[0].hours, 1);
  EXPECT_EQ(t.chains[0].minutes, 24);
  EXPECT_EQ(t.chains[0].seconds, 31);
  EXPECT_EQ(t.chains[0].chapters, 12);
  EXPECT_EQ(t.chains[1].minutes, 1);
  EXPECT_EQ(t.chains[1].seconds, 7);

  ASSERT_EQ(t.audio.size(), 3u);
  EXPECT_EQ(t.audio[0].streamId, 0x80);
  EXPECT_EQ(t.audio[1].format, AudioFormat::Lpcm);
  EXPECT_EQ(t.audio[1].streamId, 0xA0);  // from the control table, not the position (0xA1)
  EXPECT_EQ(t.audio[2].streamId, 0x81);
  EXPECT_EQ(t.audio[2].channels, 6);
  EXPECT_EQ(t.audio[2].sampleRateKHz, 48);
  EXPECT_EQ(t.audio[1].language, "fr");

  ASSERT_EQ(t.subpictures.size(), 2u);
  EXPECT_EQ(t.subpictures[0].streamId, 0x20);
  EXPECT_EQ(t.subpictures[1].streamId, 0x21);
  EXPECT_EQ(t.subpictures[1].language, "nl");
}

TEST(IfoscanParser, StreamIdsPerFormatAndControlTableFallbacks) {
  IfoLayout layout;
  layout.video[0] = 0x40;  // NTSC 4:3
  layout.video[1] = 0x0C;  // 352x240
  layout.audio = {Audio(6, 6, "ja"), Audio(2, 2, ""), Audio(3, 8, "it", 1), Audio(5, 2, "es"), Audio(0, 2, "en")};
  layout.subpictures = {Subpicture(""), Subpicture("de")};
  ChainShape notAvailable;  // a chain that marks nothing available is skipped
  notAvailable.audioControl = {0x0000, 0x0000, 0x0000, 0x0000, 0x0000};
  ChainShape chain;
  chain.audioControl = {0x8200, 0x8300, 0x8100, 0x8000, 0x0000};  // stream 5 in no chain
  chain.subpictureControl = {0x83000000u, 0x04000000u};  // sub-picture 2 in no chain
  layout.chains = {notAvailable, chain};

  const ParseResult r = Parse(BuildIfo(layout));
  ASSERT_TRUE(r.ok) << r.error;
  const TitleSet& t = r.titleSet;
  EXPECT_EQ(t.video.standard, VideoStandard::Ntsc);
  EXPECT_EQ(t.video.aspect, AspectRatio::Ratio4x3);
  EXPECT_EQ(t.video.width, 352);
  EXPECT_EQ(t.video.height, 240);

  EXPECT_EQ(t.audio[0].format, AudioFormat::Dts);
  EXPECT_EQ(t.audio[0].streamId, 0x8A);
  EXPECT_EQ(t.audio[1].format, AudioFormat::Mpeg1);
  EXPECT_EQ(t.audio[1].streamId, 0xC3);
  EXPECT_EQ(t.audio[1].language, "");
  EXPECT_EQ(t.audio[2].format, AudioFormat::Mpeg2);
  EXPECT_EQ(t.audio[2].streamId, 0xC1);
  EXPECT_EQ(t.audio[2].channels, 8);
  EXPECT_EQ(t.audio[2].sampleRateKHz, 96);
  EXPECT_EQ(t.audio[3].format, AudioFormat::Other);
  EXPECT_EQ(t.audio[3].streamId, -1);
  EXPECT_EQ(t.audio[4].streamId, 0x84);  // no chain uses it: position stands in

  EXPECT_EQ(t.subpictures[0].streamId, 0x23);  // 4:3 title: the 4:3 byte
  EXPECT_EQ(t.subpictures[0].language, "");
  EXPECT_EQ(t.subpictures[1].streamId, 0x21);
}

TEST(IfoscanParser, RejectsFilesThatAreNotTitleSetsSayingWhy) {
  const std::vector<std::uint8_t> good = BuildIfo(TwoChainSpec());
  auto cut = [&](std::size_t size) {
    return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
  };
  std::vector<std::uint8_t> vmg = good;
  vmg[9] = 'V', vmg[10] = 'M', vmg[11] = 'G';  // the video manager's IFO
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string error;
  };
  const Case cases[] = {
      {"empty", {}, "is empty"},
      {"one byte", cut(1), "is 1 bytes, too short for an IFO"},
      {"signature only", cut(12), "is 12 bytes, too short for an IFO"},
      {"one byte short of a sector", cut(2047), "is 2047 bytes, too short for an IFO"},
      {"video manager", vmg, "not a title set IFO (no DVDVIDEO-VTS signature)"},
      {"a sector of zeros", std::vector<std::uint8_t>(2048), "not a title set IFO (no DVDVIDEO-VTS signature)"},
  };
  for (const Case& c : cases) {
    const ParseResult r = Parse(c.bytes);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.error, c.error) << c.what;
  }
}

TEST(IfoscanParser, RejectsDamagedTablesWithAReason) {
  const std::vector<std::uint8_t> good = BuildIfo(TwoChainSpec());
  struct Case {
    const char* what;
    void (*damage)(std::vector<std::uint8_t>&);
    const char* reason = nullptr;  // the exact reason where the user must learn what is wrong
  };
  const Case cases[] = {
      {"header cut short", [](std::vector<std::uint8_t>& b) { b.resize(0x300); }},
      {"table sector past the end", [](std::vector<std::uint8_t>& b) { PutU32(b, 0xCC, 0xFFFFFFFFu); }},
      {"no table", [](std::vector<std::uint8_t>& b) { PutU32(b, 0xCC, 0); }},
      {"table end past the file", [](std::vector<std::uint8_t>& b) { PutU32(b, 2048 + 4, 0xFFFFFFFFu); }},
      {"more entries than the table holds", [](std::vector<std::uint8_t>& b) { PutU16(b, 2048, 0xFFFF); }},
      {"chain offset past the table", [](std::vector<std::uint8_t>& b) { PutU32(b, 2048 + 8 + 4, 0xFFFFFFF0u); }},
      {"chain cut by the table end", [](std::vector<std::uint8_t>& b) { PutU32(b, 2048 + 4, 0x30); }},
      {"nine audio streams", [](std::vector<std::uint8_t>& b) { PutU16(b, 0x202, 9); }},
      {"33 sub-pictures", [](std::vector<std::uint8_t>& b) { PutU16(b, 0x254, 33); }},
      {"time not BCD", [](std::vector<std::uint8_t>& b) { b[2048 + 24 + 5] = 0x6A; },
       "program chain 1 has the playback time 01:6A:31, which is no time (a digit above 9)"},
      // A set without chains offers nothing to plan; one with a time past 59 minutes or
      // seconds would pass for a main feature of any length.
      {"no chain", [](std::vector<std::uint8_t>& b) { PutU16(b, 2048, 0); }, "the title set has no program chain"},
      {"minutes and seconds past 59",
       [](std::vector<std::uint8_t>& b) { b[2048 + 24 + 4] = 0x72, b[2048 + 24 + 5] = 0x78, b[2048 + 24 + 6] = 0x06; },
       "program chain 1 has the playback time 72:78:06, which is no time (minutes or seconds above 59)"},
      {"seconds past 59 in the second chain",
       [](std::vector<std::uint8_t>& b) { b[2048 + 24 + 0xEC + 6] = 0x60; },
       "program chain 2 has the playback time 00:01:60, which is no time (minutes or seconds above 59)"},
  };
  ASSERT_TRUE(Parse(good).ok);
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    c.damage(bad);
    const ParseResult r = Parse(bad);
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_FALSE(r.error.empty()) << c.what;
    if (c.reason) {
      EXPECT_EQ(r.error, c.reason) << c.what;
    }
  }
}

TEST(IfoscanParser, EveryTruncationIsRejectedOrComplete) {
  const std::vector<std::uint8_t> good = BuildIfo(TwoChainSpec());
  for (std::size_t size = 0; size < good.size(); ++size) {
    // An exact-size copy so that the sanitizers see any read past the end.
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    const ParseResult r = Parse(cut);
    if (r.ok) {
      EXPECT_EQ(r.titleSet.chains.size(), 2u) << size;
    } else {
      EXPECT_FALSE(r.error.empty()) << size;
    }
  }
}
