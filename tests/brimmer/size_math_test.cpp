// The arithmetic that decides how large the second video pass may be.
#include <gtest/gtest.h>

#include <limits>

#include "brimmer/command_tail.h"
#include "brimmer/name_match.h"
#include "brimmer/size_math.h"

namespace brimmer {
namespace {

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

TEST(LeadingNumber, TakesTheLeadingNumberOfTheText) {
  EXPECT_EQ(LeadingNumber("699"), 699.0);
  EXPECT_EQ(LeadingNumber("  699 MB"), 699.0);
  EXPECT_EQ(LeadingNumber("\t4478"), 4478.0);
  EXPECT_EQ(LeadingNumber("699.5"), 699.5);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("-5"), -5.0);
  EXPECT_EQ(LeadingNumber("1e3"), 1000.0);
  EXPECT_EQ(LeadingNumber("1e"), 1.0);
  EXPECT_EQ(LeadingNumber("700,5"), 700.0);
}

TEST(LeadingNumber, EmptyOrNonNumericIsZero) {
  EXPECT_EQ(LeadingNumber(""), 0.0);
  EXPECT_EQ(LeadingNumber("abc"), 0.0);
  EXPECT_EQ(LeadingNumber("   "), 0.0);
  EXPECT_EQ(LeadingNumber("-"), 0.0);
  EXPECT_EQ(LeadingNumber("."), 0.0);
}

TEST(TargetKB, MegabytesBecomeKilobytes) {
  EXPECT_EQ(TargetKBFromText("699"), 715776);
  EXPECT_EQ(TargetKBFromText("699.5"), 716288);
  EXPECT_EQ(TargetKBFromText(""), 0);
  EXPECT_EQ(TargetKBFromText("abc"), 0);
  EXPECT_EQ(TargetKBFromText("-5"), -5120);
}

TEST(TargetKB, HalvesGoToTheEvenNeighbour) {
  // 0.5 KB and 1.5 KB, 2.5 KB expressed in megabytes.
  EXPECT_EQ(TargetKBFromText("0.00048828125"), 0);
  EXPECT_EQ(TargetKBFromText("0.00146484375"), 2);
  EXPECT_EQ(TargetKBFromText("0.00244140625"), 2);
  EXPECT_EQ(TargetKBFromText("-0.00146484375"), -2);
  EXPECT_EQ(RoundHalfEvenToInt32(2.5000001), 3);
  EXPECT_EQ(RoundHalfEvenToInt32(-2.5), -2);
}

TEST(TargetKB, SizesBeyondThirtyTwoBitsGiveNothing) {
  EXPECT_EQ(TargetKBFromText("2097151.999"), kMax32);
  EXPECT_EQ(TargetKBFromText("2097152"), std::nullopt);
  EXPECT_EQ(TargetKBFromText("-2097152"), kMin32);
  EXPECT_EQ(TargetKBFromText("-2097153"), std::nullopt);
  EXPECT_EQ(TargetKBFromText("1e400"), std::nullopt);
}

TEST(UsedKB, RoundsHalfKilobytesToEven) {
  EXPECT_EQ(UsedKBFromBytes(0), 0);
  EXPECT_EQ(UsedKBFromBytes(511), 0);
  EXPECT_EQ(UsedKBFromBytes(513), 1);
  EXPECT_EQ(UsedKBFromBytes(1536), 2);
  EXPECT_EQ(UsedKBFromBytes(2560), 2);
  EXPECT_EQ(UsedKBFromBytes(3584), 4);
  EXPECT_EQ(UsedKBFromBytes(102050000), 99658);
}

TEST(UsedKB, LargeTotalsAreExactAndBoundedByThirtyTwoBits) {
  EXPECT_EQ(UsedKBFromBytes(3ull << 30), 3145728);
  const std::uint64_t maxBytes = static_cast<std::uint64_t>(kMax32) * 1024;
  EXPECT_EQ(UsedKBFromBytes(maxBytes + 511), kMax32);
  EXPECT_EQ(UsedKBFromBytes(maxBytes - 512), kMax32 - 1);  // half of an even neighbour stays
  EXPECT_EQ(UsedKBFromBytes(maxBytes + 512), std::nullopt);  // half rounds up to 2^31
  EXPECT_EQ(UsedKBFromBytes(std::numeric_limits<std::uint64_t>::max()), std::nullopt);
}

TEST(DesiredKB, TargetMinusUsedWithinThirtyTwoBits) {
  EXPECT_EQ(DesiredKB(715776, 99658), 616118);
  EXPECT_EQ(DesiredKB(0, 5), -5);
  EXPECT_EQ(DesiredKB(kMin32 + 1, 1), kMin32);
  EXPECT_EQ(DesiredKB(kMin32, 1), std::nullopt);
}

TEST(DwordHex, UpperCaseWithoutLeadingZerosNegativesAsTwosComplement) {
  EXPECT_EQ(DwordHex(715776), "AEC00");
  EXPECT_EQ(DwordHex(616118), "966B6");
  EXPECT_EQ(DwordHex(10), "A");
  EXPECT_EQ(DwordHex(0), "0");
  EXPECT_EQ(DwordHex(-5), "FFFFFFFB");
  EXPECT_EQ(DwordHex(-1), "FFFFFFFF");
  EXPECT_EQ(DwordHex(kMax32), "7FFFFFFF");
  EXPECT_EQ(DwordHex(kMin32), "80000000");
}

TEST(DesiredSizeLine, IsTheRegistryValueLineWithCrLf) {
  EXPECT_EQ(DesiredSizeLine(715776), "\"desired_size\"=dword:AEC00\r\n");
  EXPECT_EQ(DesiredSizeLine(-5), "\"desired_size\"=dword:FFFFFFFB\r\n");
}

TEST(CommandTail, SkipsTheProgramNameAsWindowsWritesIt) {
  EXPECT_EQ(CommandTail("brimmer.exe 699"), "699");
  EXPECT_EQ(CommandTail("brimmer.exe   699 MB"), "699 MB");
  EXPECT_EQ(CommandTail("\"C:\\My Projects\\brimmer.exe\" 699.5"), "699.5");
  EXPECT_EQ(CommandTail("\"C:\\My Projects\\brimmer.exe\"699"), "699");
  EXPECT_EQ(CommandTail("brimmer.exe"), "");
  EXPECT_EQ(CommandTail("brimmer.exe "), "");
  EXPECT_EQ(CommandTail("\"C:\\a b\\brimmer.exe\""), "");
  EXPECT_EQ(CommandTail(""), "");
}

TEST(HasExtension, MatchesLikeAStarDotPattern) {
  EXPECT_TRUE(HasExtension("0x80.mp3", "mp3"));
  EXPECT_TRUE(HasExtension("TRACK.MP3", "mp3"));
  EXPECT_TRUE(HasExtension("0x80o.Ac3", "ac3"));
  EXPECT_TRUE(HasExtension("a.b.ogg", "ogg"));
  EXPECT_TRUE(HasExtension(".ogg", "ogg"));
  EXPECT_FALSE(HasExtension("a.mp3x", "mp3"));
  EXPECT_FALSE(HasExtension("a.mp3.log", "mp3"));
  EXPECT_FALSE(HasExtension("amp3", "mp3"));
  EXPECT_FALSE(HasExtension("mp3", "mp3"));
  EXPECT_FALSE(HasExtension("movie.avi", "mp3"));
}

}  // namespace
}  // namespace brimmer
