#include "analysis/report_grammar.h"

#include <gtest/gtest.h>

#include "wired_app.h"

namespace ravlo {
namespace {

using Strings = std::vector<std::string>;

class ReportGrammarTest : public ::testing::Test, protected test::WiredApp {};

TEST(ReportLines, CrLfAndLoneCrEndALineButLoneLfDoesNot) {
  EXPECT_EQ(SplitReportLines("a\r\nb\rc\nd\r\n\r\ne"), (Strings{"a", "b", "c\nd", "", "e"}));
  EXPECT_EQ(SplitReportLines("last line without end"), (Strings{"last line without end"}));
  EXPECT_TRUE(SplitReportLines("").empty());
}

TEST_F(ReportGrammarTest, LastStandardAndAspectLineWins) {
  ApplyReport(app, "  Video: PAL 16:9\r\n  Video: NTSC\r\n");
  EXPECT_TRUE(s.optNTSC.IsSet());
  EXPECT_FALSE(s.optPAL.IsSet());
  EXPECT_TRUE(s.opt16_9.IsSet());

  // Within one line NTSC is tested after PAL, 4:3 after 16:9.
  ApplyReport(app, "  NTSC and PAL, 4:3 and 16:9\r\n");
  EXPECT_TRUE(s.optNTSC.IsSet());
  EXPECT_TRUE(s.opt4_3.IsSet());
  EXPECT_FALSE(s.opt16_9.IsSet());
}

TEST_F(ReportGrammarTest, FourThreeInsideALengthCounts) {
  ApplyReport(app, "  Video: PAL 16:9 720x576\r\n  2. Length: 01:24:31, 9 chapters\r\n");
  EXPECT_TRUE(s.opt4_3.IsSet());
  EXPECT_FALSE(s.opt16_9.IsSet());
  EXPECT_EQ(s.cmbPGC.Items(), (Strings{"2. Length: 01:24:31, 9 chapters"}));
}

TEST_F(ReportGrammarTest, EntriesDropTwoCharactersAndTheBracketTail) {
  ApplyReport(app,
              "  0x80. English (AC3, 6ch, 48kHz) [1]\r\n"
              "  0xA0. Deutsch (LPCM, 2ch, 48kHz) [2]\r\n"
              "  0x20. English (Subtitle) [1]\r\n"
              "  0x31. Magyar (Subtitle) [2]\r\n"
              "  1. Length: 01:40:00, 12 chapters\r\n"
              "  2. Length: 00:02:10, 1 chapters\r\n"
              "  ac3 lpcm length: 0X20 ignored\r\n");
  EXPECT_EQ(s.lstAL.Items(), (Strings{"0x80. English (AC3, 6ch, 48kHz) ", "0xA0. Deutsch (LPCM, 2ch, 48kHz) "}));
  EXPECT_EQ(s.lstSL.Items(), (Strings{"0x20. English (Subtitle) ", "0x31. Magyar (Subtitle) "}));
  EXPECT_EQ(s.cmbPGC.Items(), (Strings{"1. Length: 01:40:00, 12 chapters", "2. Length: 00:02:10, 1 chapters"}));
  EXPECT_FALSE(s.lstAL.IsChecked(0));
}

TEST_F(ReportGrammarTest, OneLineCanGiveSeveralEntries) {
  ApplyReport(app, "  0x80. English (AC3) 0x20 Length: 00:01:00 [x]\r\n");
  EXPECT_EQ(s.lstAL.Items(), (Strings{"0x80. English (AC3) 0x20 Length: 00:01:00 "}));
  EXPECT_EQ(s.lstSL.Items(), (Strings{"0x80. English (AC3) 0x20 Length: 00:01:00 "}));
  EXPECT_EQ(s.cmbPGC.Items(), (Strings{"0x80. English (AC3) 0x20 Length: 00:01:00 [x]"}));
}

TEST_F(ReportGrammarTest, LoneLfKeepsTwoFactsOnOneLine) {
  ApplyReport(app, "  Video: PAL\n  1. Length: 00:01:00\r\n");
  EXPECT_TRUE(s.optPAL.IsSet());
  EXPECT_EQ(s.cmbPGC.Items(), (Strings{"Video: PAL\n  1. Length: 00:01:00"}));
}

TEST_F(ReportGrammarTest, MalformedStreamLinesNeverBreakTheReading) {
  ApplyReport(app,
              "  0x81. Polski (AC3)\r\n"    // no "[" at all
              "[]0x82. Suomi (AC3)\r\n"     // "[" only before position 3
              "[]0x83. Dansk (AC3) [3]\r\n" // the first "[" from position 3 ends the entry
              "  [AC3]\r\n"                  // "[" right at position 3: empty entry
              "AC3\r\n"
              "0x2\r\n");
  EXPECT_EQ(s.lstAL.Items(), (Strings{"0x81. Polski (AC3)", "0x82. Suomi (AC3)", "0x83. Dansk (AC3) ", "",
                                      "3"}));
  EXPECT_EQ(s.lstSL.Items(), (Strings{"2"}));
}

}  // namespace
}  // namespace ravlo
