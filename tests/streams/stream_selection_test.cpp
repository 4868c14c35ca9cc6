#include "streams/audio_selection.h"
#include "streams/subtitle_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "planning/bitrate_calculator.h"
#include "planning/connect_planning.h"
#include "streams/connect_streams.h"

namespace ravlo {
namespace {

using Strings = std::vector<std::string>;

class StreamSelectionTest : public ::testing::Test {
 protected:
  StreamSelectionTest() {
    ConnectPlanningHandlers(app);
    ConnectStreamsHandlers(app);
    // A loaded 01:40:00 PAL title at the MP3 quality, as after an analysis.
    s.cmbPGC.AddItem("1. Length: 01:40:00");
    s.cmbPGC.Select(0);
    s.optPAL.SetValue(true);
    s.cmbAudQual.SetText("128");
    s.txtVB.Watch([this](const Field& f) { videoRates.push_back(f.Text()); });
  }

  void AddAudio(std::initializer_list<const char*> items) {
    for (const char* item : items) s.lstAL.AddItem(item);
  }
  void AddSubtitles(std::initializer_list<const char*> items) {
    for (const char* item : items) s.lstSL.AddItem(item);
  }

  test::FakePlatform platform;
  AppState app{platform};
  ProjectSettings& s = app.settings;
  Strings videoRates;  // every value txtVB took after set-up
};

TEST_F(StreamSelectionTest, AudioOrderFollowsTheClicks) {
  AddAudio({"0x80. English (AC3, 6ch, 48kHz) ", "0x81. Deutsch (AC3, 2ch, 48kHz) ",
            "0xA0. Francais (LPCM, 2ch, 48kHz) "});
  s.lstAL.SetChecked(1, true);
  s.lstAL.SetChecked(0, true);
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x81o.ac3", "0x80o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x81 Deutsch", "0x80 English"}));
  EXPECT_EQ(s.txtVB.Text(), "721");  // two streams budgeted

  s.lstAL.SetChecked(2, true);
  s.lstAL.SetChecked(1, false);  // removing keeps the others' order
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.ac3", "0xA0o.wav"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x80 English", "0xA0 Francais"}));

  s.lstAL.SetChecked(0, false);
  s.lstAL.SetChecked(0, true);  // unchecked and checked again: to the end
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0xA0o.wav", "0x80o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0xA0 Francais", "0x80 English"}));
}

TEST_F(StreamSelectionTest, AudioCodesTellAc3FromLpcm) {
  AddAudio({"0xA1. Italiano (LPCM) ", "0xA2 / 0x83. Espanol (AC3) ", "0x84. Suomi (LPCM with AC3 core) "});
  for (int i = 0; i < 3; ++i) s.lstAL.SetChecked(i, true);
  // "0x8" wins over an earlier "0xA"; "AC3" anywhere makes the stream AC3.
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0xA1o.wav", "0x83o.ac3", "0x84o.ac3"}));
}

TEST_F(StreamSelectionTest, SelectAllAppendsOnlyTheUncheckedOnesOneCalculationEach) {
  AddAudio({"0x80. English (AC3) ", "0x81. Deutsch (AC3) ", "0x82. Polski (AC3) "});
  s.lstAL.SetChecked(1, true);
  videoRates.clear();
  s.cmdASA.Click();
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x81o.ac3", "0x80o.ac3", "0x82o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x81 Deutsch", "0x80 English", "0x82 Polski"}));
  EXPECT_EQ(videoRates, (Strings{"721", "593"}));  // one run per appended stream

  videoRates.clear();
  s.cmdASN.Click();
  EXPECT_TRUE(s.lstAO_code.Items().empty());
  EXPECT_TRUE(s.lstAO_name.Items().empty());
  EXPECT_EQ(videoRates, (Strings{"721", "849", "977"}));  // the last run sees no stream
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(s.lstAL.IsChecked(i));
}

TEST_F(StreamSelectionTest, ButtonsOnEmptyListsDoNothing) {
  s.txtVB.SetText("stale");
  videoRates.clear();
  for (Field* button : {&s.cmdASA, &s.cmdASN, &s.cmdSSA, &s.cmdSSN}) button->Click();
  EXPECT_TRUE(videoRates.empty());
  EXPECT_EQ(s.txtVB.Text(), "stale");
  EXPECT_TRUE(s.lstAO_code.Items().empty());
  EXPECT_TRUE(s.lstSO_code.Items().empty());
}

TEST_F(StreamSelectionTest, SubtitleOrderFollowsTheClicksWithoutCalculating) {
  AddSubtitles({"0x20. English (Subtitle) ", "0x21. Deutsch (Subtitle) ", "0x3F. Magyar (Subtitle) ",
                "0x22 0x30. Dansk (Subtitle) "});
  videoRates.clear();
  s.lstSL.SetChecked(2, true);
  s.lstSL.SetChecked(0, true);
  EXPECT_EQ(s.lstSO_code.Items(), (Strings{"0x3F", "0x20"}));
  EXPECT_EQ(s.lstSO_name.Items(), (Strings{"0x3F Magyar", "0x20 English"}));

  s.cmdSSA.Click();  // the others, in list order, behind
  EXPECT_EQ(s.lstSO_code.Items(), (Strings{"0x3F", "0x20", "0x21", "0x22"}));
  s.lstSL.SetChecked(0, false);
  s.lstSL.SetChecked(0, true);
  EXPECT_EQ(s.lstSO_code.Items(), (Strings{"0x3F", "0x21", "0x22", "0x20"}));
  EXPECT_EQ(s.lstSO_name.Items(), (Strings{"0x3F Magyar", "0x21 Deutsch", "0x22 Dansk", "0x20 English"}));
  s.cmdSSN.Click();
  EXPECT_TRUE(s.lstSO_code.Items().empty());
  EXPECT_TRUE(s.lstSO_name.Items().empty());
  EXPECT_TRUE(videoRates.empty());
}

TEST_F(StreamSelectionTest, ItemsWithoutMarkersKeepTheListsConsistent) {
  AddAudio({"Director's commentary", "0x80English", "0x81. Deutsch", "0x82 (AC3)"});
  s.cmdASA.Click();
  // No stream id: it cannot be chosen, and its check mark does not stay.
  EXPECT_FALSE(s.lstAL.IsChecked(0));
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.wav", "0x81o.wav", "0x82o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x80 ", "0x81 Deutsch", "0x82 "}));

  AddSubtitles({"Forced", "0x20 English", "0x2"});
  s.cmdSSA.Click();
  EXPECT_FALSE(s.lstSL.IsChecked(0));
  EXPECT_EQ(s.lstSO_code.Items(), (Strings{"0x20", "0x2"}));
  EXPECT_EQ(s.lstSO_name.Items(), (Strings{"0x20 ", "0x2 "}));
}

TEST_F(StreamSelectionTest, SharedCodesAndLabelsNeverUnpairTheLists) {
  // Two items with the same code, and two codes with the same label.
  AddAudio({"0x80. English (AC3) ", "0x80. English (AC3) ", "0x80. English (LPCM) "});
  s.cmdASA.Click();
  // The second item found the code chosen and removed it; the third has its own code.
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.wav"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x80 English"}));
  s.lstAL.SetChecked(1, false);  // the code is not chosen: this adds it again
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.wav", "0x80o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x80 English", "0x80 English"}));
  s.lstAL.SetChecked(2, false);
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.ac3"}));
  EXPECT_EQ(s.lstAO_name.Items(), (Strings{"0x80 English"}));
}

}  // namespace
}  // namespace ravlo
