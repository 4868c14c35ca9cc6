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

TEST(Paths, BackslashAddedOnceAndNamesSplitAtTheLastOne) {
  EXPECT_EQ(AddBackslash("C:\\Program Files\\Ravlo3"), "C:\\Program Files\\Ravlo3\\");
  EXPECT_EQ(AddBackslash("D:\\"), "D:\\");
  EXPECT_EQ(FileNameOf("D:\\VIDEO_TS\\VTS_01_0.IFO"), "VTS_01_0.IFO");
  EXPECT_EQ(FolderOf("D:\\VIDEO_TS\\VTS_01_0.IFO"), "D:\\VIDEO_TS\\");
  EXPECT_EQ(FolderOf("D:\\VTS_01_0.IFO"), "D:\\");
  EXPECT_EQ(FileNameOf("D:\\VIDEO_TS\\"), "");
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
