#include <gtest/gtest.h>

#include <limits>

#include "common/numbers.h"
#include "frame/paths.h"
#include "platform/wildcard.h"

namespace ravlo {
namespace {

TEST(Numbers, LeadingNumberTakesWhatStartsTheText) {
  EXPECT_EQ(LeadingNumber("12abc"), 12);
  EXPECT_EQ(LeadingNumber(" 7"), 7);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_DOUBLE_EQ(LeadingNumber("699.5 MB"), 699.5);
  EXPECT_EQ(LeadingNumber("1e"), 1);  // a lone "e" is text, not an exponent
  EXPECT_EQ(LeadingNumber("- 5"), 0);
}

TEST(Numbers, ParseNumberWantsTheWholeText) {
  EXPECT_EQ(ParseNumber("12"), 12);
  EXPECT_EQ(ParseNumber(" 1.5 "), 1.5);
  EXPECT_EQ(ParseNumber("12abc"), std::nullopt);
  EXPECT_EQ(ParseNumber(""), std::nullopt);
  EXPECT_EQ(ParseNumber("  "), std::nullopt);
  EXPECT_EQ(ParseNumber("."), std::nullopt);
  EXPECT_EQ(ParseNumber("1e999"), std::nullopt);  // infinity is no number to compute with
}

TEST(Numbers, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(90.5), 90);
  EXPECT_EQ(RoundHalfEven(91.5), 92);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

TEST(Numbers, RoundToInt32RefusesWhatDoesNotFit) {
  EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
  EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
  EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundToInt32(-2147483649.0), std::nullopt);
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
  EXPECT_EQ(FormatNumber(-128), "-128");
  EXPECT_EQ(FormatNumber(150000), "150000");
}

TEST(Paths, TheSeparatorOfTheRoadAloneSplitsAPath) {
  struct Case {
    ProjectRoad road;
    std::string path, added, folder, name;
  };
  const Case cases[] = {
      {ProjectRoad::Batch, "C:\\Program Files\\Ravlo3", "C:\\Program Files\\Ravlo3\\", "C:\\Program Files\\", "Ravlo3"},
      {ProjectRoad::Batch, "D:\\", "D:\\", "D:\\", ""},
      {ProjectRoad::Batch, "D:\\VIDEO_TS\\VTS_01_0.IFO", "D:\\VIDEO_TS\\VTS_01_0.IFO\\", "D:\\VIDEO_TS\\", "VTS_01_0.IFO"},
      {ProjectRoad::Shell, "/media/dvd/VTS_01_0.IFO", "/media/dvd/VTS_01_0.IFO/", "/media/dvd/", "VTS_01_0.IFO"},
      {ProjectRoad::Shell, "/", "/", "/", ""},
      // On Linux a backslash is a character of a name, never a separator.
      {ProjectRoad::Shell, "/P/base\\..\\victim", "/P/base\\..\\victim/", "/P/", "base\\..\\victim"},
      {ProjectRoad::Shell, "/discs/bs\\x/VTS_01_0.IFO", "/discs/bs\\x/VTS_01_0.IFO/", "/discs/bs\\x/", "VTS_01_0.IFO"},
      {ProjectRoad::Shell, "bs\\x", "bs\\x/", "", "bs\\x"},
  };
  for (const Case& c : cases) {
    const char separator = PathSeparator(c.road);
    EXPECT_EQ(AddSeparator(c.path, separator), c.added) << c.path;
    EXPECT_EQ(FolderOf(c.path, separator), c.folder) << c.path;
    EXPECT_EQ(FileNameOf(c.path, separator), c.name) << c.path;
  }
}

TEST(Paths, EachRoadHasItsOwnPathRules) {
  struct Case {
    ProjectRoad road;
    std::string path;
    std::size_t room;
    bool accepted;
  };
  const std::string longPath = "/" + std::string(300, 'a');
  const Case cases[] = {
      {ProjectRoad::Batch, "D:\\VIDEO_TS\\VTS_01_0.IFO", 0, true},
      {ProjectRoad::Batch, "D:\\a*b\\VTS_01_0.IFO", 0, false},
      {ProjectRoad::Batch, "D:\\a?b\\VTS_01_0.IFO", 0, false},
      {ProjectRoad::Batch, "D:\\\"a\"\\VTS_01_0.IFO", 0, false},
      {ProjectRoad::Batch, "D:\\" + std::string(256, 'a'), 0, true},
      {ProjectRoad::Batch, "D:\\" + std::string(256, 'a'), 1, false},
      {ProjectRoad::Batch, "D:\\" + std::string(257, 'a'), 0, false},
      {ProjectRoad::Shell, "/discs/a*b/VTS_01_0.IFO", 0, true},
      {ProjectRoad::Shell, "/discs/a?\"b\"/VTS_01_0.IFO", 0, true},
      {ProjectRoad::Shell, "/discs/line\nbreak\t/VTS_01_0.IFO", 0, true},
      {ProjectRoad::Shell, longPath, 20, true},
      {ProjectRoad::Shell, std::string("/discs/a\0b", 10), 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!PathProblemOnRoad(c.road, c.path, c.room).has_value(), c.accepted) << c.path;
  }
}

TEST(Wildcards, MatchLikeTheFileSystemWithoutRegardToCase) {
  EXPECT_TRUE(WildcardMatch("*.ac3", "0x80.AC3"));
  EXPECT_TRUE(WildcardMatch("VTS_01_*.VOB", "vts_01_1.vob"));
  EXPECT_FALSE(WildcardMatch("VTS_01_*.VOB", "VTS_02_1.VOB"));
  EXPECT_FALSE(WildcardMatch("*.ac3", "movie.ac3.log"));
  EXPECT_TRUE(WildcardMatch("VIDEO_T*.VOB", "VIDEO_TS.VOB"));
  EXPECT_TRUE(WildcardMatch("a?c", "abc"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
}

}  // namespace
}  // namespace ravlo
