#include "streams/audio_format.h"
#include "streams/ogg_quality.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "frame/startup.h"
#include "planning/bitrate_calculator.h"
#include "planning/connect_planning.h"
#include "streams/connect_streams.h"

namespace ravlo {
namespace {

using Strings = std::vector<std::string>;
const Strings kConvertedQualities{"320", "256", "192", "128", "112", "96", "80", "64"};
const Strings kAc3Qualities{"448", "384", "256", "192", "128"};

// The program as started: every handler of these subsystems connected, start-up run.
class AudioFormatTest : public ::testing::Test {
 protected:
  AudioFormatTest() {
    ConnectPlanningHandlers(app);
    ConnectStreamsHandlers(app);
    Form_Load(app, [this] { ApplyAudioFormat(app); });
  }

  struct Controls {
    bool origVisible, origChecked, surroundEnabled, surroundChecked, qualityEnabled;
    std::string quality;
    bool channelsModeEnabled;
  };
  void ExpectControls(const Controls& want) {
    EXPECT_EQ(s.chkOrig.Visible(), want.origVisible);
    EXPECT_EQ(s.chkOrig.IsSet(), want.origChecked);
    EXPECT_EQ(s.chk51.Enabled(), want.surroundEnabled);
    EXPECT_EQ(s.chk51.IsSet(), want.surroundChecked);
    EXPECT_EQ(s.cmbAudQual.Enabled(), want.qualityEnabled);
    EXPECT_EQ(s.cmbAudQual.Text(), want.quality);
    EXPECT_EQ(s.cmbBS_CM.Enabled(), want.channelsModeEnabled);
  }

  test::FakePlatform platform;
  AppState app{platform};
  ProjectSettings& s = app.settings;
};

TEST_F(AudioFormatTest, StartUpEndsInTheMp3State) {
  ExpectControls({false, false, false, false, true, "128", true});
  EXPECT_TRUE(s.optAud_MP3.IsSet());
  EXPECT_EQ(s.cmbAudQual.Items(), kConvertedQualities);
  EXPECT_EQ(s.txtVB.Text(), "0");
  EXPECT_EQ(s.txtAB.Text(), "128");
}

TEST_F(AudioFormatTest, StateTableRowByRow) {
  s.cmbAudQual.SetText("192");  // a bitrate chosen for MP3 does not survive a format change

  s.optAud_AC3.SetValue(true);
  ExpectControls({true, true, false, false, false, "384", true});
  EXPECT_EQ(s.cmbAudQual.Items(), kAc3Qualities);

  s.chkOrig.SetValue(false);  // converted AC3: six channels by default
  ExpectControls({true, false, true, true, true, "384", false});

  s.chk51.SetValue(false);
  ExpectControls({true, false, true, false, true, "384", true});

  s.chk51.SetValue(true);
  s.cmbAudQual.SetText("448");
  s.chkOrig.SetValue(true);  // back to the original: 5.1 off, channel mode free again
  ExpectControls({true, true, false, false, false, "448", true});

  s.chkOrig.SetValue(false);  // 5.1 checked again, channel mode disabled
  s.optAud_MP3.SetValue(true);
  ExpectControls({false, false, false, false, true, "128", true});
  EXPECT_EQ(s.cmbAudQual.Items(), kConvertedQualities);

  s.optAud_OGG.SetValue(true);
  ExpectControls({false, false, false, false, true, "80", true});
  EXPECT_EQ(s.cmbAudQual.Items(), kConvertedQualities);

  s.cmbAudQual.SetText("64");
  s.optAud_AC3.SetValue(true);
  ExpectControls({true, true, false, false, false, "384", true});
}

TEST_F(AudioFormatTest, NoFormatSelectedChangesNothing) {
  s.optAud_MP3.SetValue(false);  // the group may have none selected
  s.cmbAudQual.SetText("100");
  ApplyAudioFormat(app);
  EXPECT_EQ(s.cmbAudQual.Text(), "100");
  EXPECT_EQ(s.cmbAudQual.Items(), kConvertedQualities);
}

TEST_F(AudioFormatTest, CalculatorUsesTheDisabledAc3Quality) {
  s.cmbPGC.AddItem("1. Length: 01:40:00");
  s.cmbPGC.Select(0);
  s.lstAO_code.AddItem("0x80o.ac3");
  s.optPAL.SetValue(true);
  EXPECT_EQ(s.txtVB.Text(), "849");
  s.optAud_AC3.SetValue(true);
  EXPECT_FALSE(s.cmbAudQual.Enabled());
  EXPECT_EQ(s.txtVB.Text(), "593");
  EXPECT_EQ(s.txtAB.Text(), "384");
}

class OggQualityTest : public AudioFormatTest {
 protected:
  OggQualityTest() {
    s.lstAO_code.AddItem("0x80o.ac3");
    s.optAud_OGG.SetValue(true);
  }
};

TEST_F(OggQualityTest, ListedBitratesMapToQualities) {
  const std::vector<std::pair<std::string, std::string>> table{
      {"320", "0.900"}, {"256", "0.800"}, {"192", "0.600"}, {"128", "0.400"},
      {"112", "0.300"}, {"96", "0.200"},  {"80", "0.100"},  {"64", "0.001"}};
  for (const auto& [bitrate, quality] : table) {
    s.cmbAudQual.SetText(bitrate);
    ResolveOggQuality(app);
    EXPECT_EQ(app.globals.OggQuality, quality) << bitrate;
  }
  EXPECT_TRUE(platform.inputBoxes.empty());
}

TEST_F(OggQualityTest, TypedBitrateAsksAndTakesTheAnswerAsTyped) {
  s.cmbAudQual.SetText("100");
  platform.QueueAnswer(" 0.25 (my guess)");
  ResolveOggQuality(app);
  ASSERT_EQ(platform.inputBoxes.size(), 1u);
  EXPECT_EQ(platform.inputBoxes[0].title, "Input OGG Quality");
  EXPECT_EQ(platform.inputBoxes[0].prompt,
            "Range: -0.200 (32kbps) to 1.000 (500kbps)\r\n\r\nDefault: 0.100 (80kbps)");
  EXPECT_EQ(platform.inputBoxes[0].defaultAnswer, "0.100");
  EXPECT_EQ(app.globals.OggQuality, " 0.25 (my guess)");

  // Exact comparison: " 80" is not the listed "80".
  s.cmbAudQual.SetText(" 80");
  platform.QueueCancel();
  ResolveOggQuality(app);
  EXPECT_EQ(platform.inputBoxes.size(), 2u);
  EXPECT_EQ(app.globals.OggQuality, "");
}

TEST_F(OggQualityTest, NoBoxWithoutAnOggConversion) {
  app.globals.OggQuality = "0.500";
  s.cmbAudQual.SetText("100");
  s.lstAO_code.ClearItems();
  ResolveOggQuality(app);  // no stream chosen: the previous value stays
  EXPECT_EQ(app.globals.OggQuality, "0.500");

  s.lstAO_code.AddItem("0x80o.ac3");
  s.optAud_MP3.SetValue(true);
  s.cmbAudQual.SetText("100");
  ResolveOggQuality(app);  // MP3 takes the typed bitrate itself
  EXPECT_EQ(app.globals.OggQuality, "0.500");
  EXPECT_TRUE(platform.inputBoxes.empty());
}

}  // namespace
}  // namespace ravlo
