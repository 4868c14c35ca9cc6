// The main feature of a disc and its chain list, over title sets built byte by byte and
// handed out by a stand-in source: the longest chain wins, ties go to more audio streams and
// then to the first, damaged title sets are skipped on a whole disc but not when named.

#include "main_feature.h"

#include <gtest/gtest.h>

#include <map>

#ifndef _WIN32
#include <sys/wait.h>

#include <csignal>

#include "child_source.h"
#endif

#include "ifo_builder.h"

using namespace ifoscan;
using namespace ifoscan_test;

namespace {

// Title VOBs whose reads give the error asked for ("" reads fine).
class StandInVobs : public TitleVobs {
 public:
  explicit StandInVobs(std::string readError) : readError_(std::move(readError)) {}
  std::string CheckRange(SectorRange range) const override { return range.last < 100 ? "" : "too short"; }
  bool Read(std::uint64_t, std::uint32_t, std::uint8_t*, std::string& error) override {
    error = readError_;
    return readError_.empty();
  }

 private:
  std::string readError_;
};

class StandInDisc : public DiscSource {
 public:
  std::map<int, std::vector<std::uint8_t>> ifos;  // an empty one cannot be read
  const char* vobsReadError = nullptr;             // no title VOBs at all when null

  std::vector<int> TitleSets(std::string& error) override {
    std::vector<int> sets;
    for (const auto& [number, bytes] : ifos) sets.push_back(number);
    if (sets.empty()) error = "no title sets";
    return sets;
  }
  bool ReadTitleSetIfo(int n, std::vector<std::uint8_t>& bytes, std::string& error) override {
    bytes = ifos[n];
    if (bytes.empty()) error = "VTS_0" + std::to_string(n) + "_0.IFO cannot be read";
    return !bytes.empty();
  }
  std::unique_ptr<TitleVobs> OpenTitleVobs(int, std::string& error) override {
    if (vobsReadError) return std::make_unique<StandInVobs>(vobsReadError);
    error = "no VOB files";
    return nullptr;
  }
  std::string TitleSetPath(int n) const override { return "disc/VTS_" + std::to_string(n); }
};

// A title set of chains of the given lengths (minutes:seconds as BCD bytes) and audio count.
std::vector<std::uint8_t> Set(std::vector<std::pair<std::uint8_t, std::uint8_t>> lengths, int audio) {
  IfoLayout layout;
  for (int a = 0; a < audio; ++a) layout.audio.push_back(Audio(0, 2, a == 0 ? "en" : "de"));
  layout.subpictures.push_back(Subpicture("nl"));
  for (const auto& [minutes, seconds] : lengths) {
    ChainShape chain;
    chain.bcd[1] = minutes, chain.bcd[2] = seconds;
    for (int a = 0; a < audio; ++a) chain.audioControl.push_back(static_cast<std::uint16_t>(0x8000 | (a << 8)));
    chain.subpictureControl.push_back(0x80000000u);
    layout.chains.push_back(chain);
  }
  return BuildIfo(layout);
}

TEST(MainFeature, TheLongestChainWinsTiesGoToMoreAudioThenToTheFirst) {
  struct Case {
    const char* what;
    std::map<int, std::vector<std::uint8_t>> ifos;
    int wanted;
    int set, chain;  // expected: title set number and chain
  } cases[] = {
      {"longest in the second set", {{1, Set({{0x03, 0x00}, {0x05, 0x00}}, 1)}, {2, Set({{0x02, 0x00}, {0x59, 0x10}}, 1)}}, 0, 2, 2},
      {"a tie goes to more audio", {{1, Set({{0x10, 0x00}}, 1)}, {2, Set({{0x10, 0x00}}, 2)}}, 0, 2, 1},
      {"a full tie goes to the first", {{1, Set({{0x10, 0x00}, {0x10, 0x00}}, 2)}, {2, Set({{0x10, 0x00}}, 2)}}, 0, 1, 1},
      {"a damaged set is skipped", {{1, {}}, {2, Set({{0x01, 0x00}}, 1)}}, 0, 2, 1},
      {"a named set: its own longest", {{1, Set({{0x50, 0x00}}, 1)}, {2, Set({{0x01, 0x00}, {0x02, 0x00}}, 1)}}, 2, 2, 2},
  };
  for (Case& c : cases) {
    StandInDisc disc;
    disc.ifos = c.ifos;
    const DiscContents contents = ReadDisc(disc, c.wanted);
    ASSERT_EQ(contents.error, "") << c.what;
    const ChainChoice main = MainFeature(contents.sets);
    EXPECT_EQ(contents.sets[main.set].number, c.set) << c.what;
    EXPECT_EQ(main.chain, c.chain) << c.what;
  }
}

TEST(MainFeature, ListNamesEveryChainWithItsStreamsAndMarksTheMainFeature) {
  StandInDisc disc;
  disc.ifos = {{1, Set({{0x03, 0x07}}, 2)}, {2, {}}, {3, Set({{0x12, 0x00}, {0x00, 0x09}}, 0)}};
  const DiscContents contents = ReadDisc(disc, 0);
  EXPECT_EQ(contents.skipped, std::vector<std::string>{"title set 2: VTS_02_0.IFO cannot be read"});
  EXPECT_EQ(FormatChainList(contents.sets, MainFeature(contents.sets)),
            "title set 1, chain 1: 0:03:07, 1 chapter; audio 0x80 English, 0x81 German; subtitles 0x20 Dutch\n"
            "title set 3, chain 1: 0:12:00, 1 chapter; audio none; subtitles 0x20 Dutch (main feature)\n"
            "title set 3, chain 2: 0:00:09, 1 chapter; audio none; subtitles 0x20 Dutch\n");
}

TEST(MainFeature, ATitleSetThatCannotBeReadIsAnErrorWhenItIsTheOneWanted) {
  StandInDisc disc;
  disc.ifos = {{1, {}}, {2, Set({{0x01, 0x00}}, 1)}};
  EXPECT_EQ(ReadDisc(disc, 1).error, "VTS_01_0.IFO cannot be read");
  EXPECT_EQ(ReadDisc(disc, 3).error, "there is no title set 3 (title sets 1 to 2)");
  disc.ifos = {{1, {}}};
  EXPECT_EQ(ReadDisc(disc, 0).error, "VTS_01_0.IFO cannot be read");
  disc.ifos[1] = {'D', 'V', 'D', 'V', 'I', 'D', 'E', 'O', '-', 'V', 'M', 'G'};
  disc.ifos[1].resize(2048);  // a whole sector: a short one is refused for its length first
  EXPECT_EQ(ReadDisc(disc, 0).error, "not a title set IFO (no DVDVIDEO-VTS signature)");
}

// Only scrambled sectors stop the analysis; VOB files that are missing or unreadable do not,
// as an IFO alone has always been analysed.
TEST(MainFeature, AnEncryptedTitleIsFoundOnItsFirstSectors) {
  ProgramChain chain;
  chain.cells.push_back({});
  chain.cells[0].firstSector = 10, chain.cells[0].lastSector = 90;
  struct Case {
    const char* readError;
    const char* problem;
  } cases[] = {{nullptr, ""}, {"", ""}, {"cannot read sector 10", ""}};
  for (const Case& c : cases) {
    StandInDisc disc;
    disc.vobsReadError = c.readError;
    EXPECT_EQ(EncryptionProblem(disc, 1, chain), c.problem) << (c.readError ? c.readError : "no VOBs");
  }
  StandInDisc disc;
  const std::string scrambled = ScrambledMessage();
  disc.vobsReadError = scrambled.c_str();
  EXPECT_EQ(EncryptionProblem(disc, 1, chain), scrambled);
  chain.cells[0].lastSector = 200;  // a long cell: only its first sectors are read
  EXPECT_EQ(EncryptionProblem(disc, 1, chain), scrambled);
  chain.cells[0].firstSector = 99;  // a cell the VOB files do not hold is not read
  EXPECT_EQ(EncryptionProblem(disc, 1, chain), "");
}

#ifndef _WIN32
// The stand-in disc read as a disc is, in a child process, which dies (SIGSEGV, as libdvdread
// on a damaged image) in the call named by dieIn.
class DyingVobs : public TitleVobs {
 public:
  std::string CheckRange(SectorRange) const override { return {}; }
  bool Read(std::uint64_t, std::uint32_t, std::uint8_t*, std::string&) override { return std::raise(SIGSEGV) == 0; }
};

class DyingDisc : public StandInDisc {
 public:
  std::string dieIn;
  std::vector<int> TitleSets(std::string& error) override {
    DieIn("sets");
    return StandInDisc::TitleSets(error);
  }
  bool ReadTitleSetIfo(int n, std::vector<std::uint8_t>& bytes, std::string& error) override {
    DieIn("ifo " + std::to_string(n));
    return StandInDisc::ReadTitleSetIfo(n, bytes, error);
  }
  std::unique_ptr<TitleVobs> OpenTitleVobs(int n, std::string& error) override {
    DieIn("vobs");
    if (dieIn == "read") return std::make_unique<DyingVobs>();
    return StandInDisc::OpenTitleVobs(n, error);
  }

 private:
  void DieIn(const std::string& call) const {
    if (call == dieIn) std::raise(SIGSEGV);
  }
};

// Wherever the reader dies, the disc is refused with the reason and the call it died in, even
// after title sets were read; while it lives, its answers are the disc's own.
TEST(MainFeature, AReaderThatDiesInItsChildProcessGivesAReasonNotACrash) {
  ProgramChain chain;
  chain.cells.push_back({});
  chain.cells[0].firstSector = 10, chain.cells[0].lastSector = 90;
  const std::string scrambled = ScrambledMessage();
  const struct Case {
    const char* dieIn;
    std::string problem;  // of ReadDisc, or of EncryptionProblem when ReadDisc had none
  } cases[] = {
      {"open", "while opening it"},
      {"sets", "while looking for its title sets"},
      {"ifo 2", "while reading VTS_02_0.IFO"},
      {"vobs", "while finding the title VOBs of title set 1"},
      {"read", "while reading sectors 10 to 41 of the title VOBs"},
      {"", scrambled},
  };
  for (const Case& c : cases) {
    const OpenedSource opened = OpenInChild(
        [&c, &scrambled] {
          if (std::string(c.dieIn) == "open") std::raise(SIGSEGV);
          auto disc = std::make_unique<DyingDisc>();
          disc->dieIn = c.dieIn;
          disc->ifos = {{1, Set({{0x50, 0x00}, {0x02, 0x00}}, 2)}, {2, Set({{0x01, 0x00}}, 1)}};
          disc->vobsReadError = scrambled.c_str();
          return OpenedSource{std::move(disc), 0, ""};
        },
        "the image is damaged");
    const std::string died = c.problem == scrambled ? c.problem
                                                     : "the image is damaged: libdvdread crashed reading it "
                                                       "(signal 11, Segmentation fault) " + c.problem;
    if (!opened.source) {
      EXPECT_EQ(opened.error, died) << c.dieIn;
      continue;
    }
    const DiscContents contents = ReadDisc(*opened.source, 0);
    if (!contents.error.empty()) {
      EXPECT_EQ(contents.error, died) << c.dieIn;
      EXPECT_TRUE(contents.sets.empty() && contents.skipped.empty()) << c.dieIn;
      continue;
    }
    EXPECT_EQ(FormatChainList(contents.sets, MainFeature(contents.sets)),
              "title set 1, chain 1: 0:50:00, 1 chapter; audio 0x80 English, 0x81 German; subtitles 0x20 Dutch (main feature)\n"
              "title set 1, chain 2: 0:02:00, 1 chapter; audio 0x80 English, 0x81 German; subtitles 0x20 Dutch\n"
              "title set 2, chain 1: 0:01:00, 1 chapter; audio 0x80 English; subtitles 0x20 Dutch\n")
        << c.dieIn;
    EXPECT_EQ(opened.source->TitleSetPath(2), "disc/VTS_2") << c.dieIn;
    EXPECT_EQ(EncryptionProblem(*opened.source, 1, chain), died) << c.dieIn;
  }
  // Every child was waited for: none is left behind.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
#endif

}  // namespace
