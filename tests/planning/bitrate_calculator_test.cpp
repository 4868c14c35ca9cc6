#include "planning/bitrate_calculator.h"
#include "planning/connect_planning.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace ravlo {
namespace {

class BitrateCalculatorTest : public ::testing::Test {
 protected:
  BitrateCalculatorTest() { ConnectPlanningHandlers(app); }

  // A selected chain as the analysis leaves it, one audio stream at 128 kbit/s, PAL.
  void LoadChain(const std::string& length, int audioStreams = 1, const std::string& quality = "128") {
    s.cmbPGC.AddItem("1. Length: " + length + ", 12 chapters");
    s.cmbPGC.Select(s.cmbPGC.ItemCount() - 1);
    for (int i = 0; i < audioStreams; ++i) s.lstAO_code.AddItem("0x8" + std::to_string(i) + "o.ac3");
    s.cmbAudQual.SetText(quality);
    s.optPAL.SetValue(true);
  }

  void ExpectOutputs(const char* sec, const char* min, const char* fra, const char* vb,
                     const char* ab) {
    EXPECT_EQ(s.txtSec.Text(), sec);
    EXPECT_EQ(s.txtMin.Text(), min);
    EXPECT_EQ(s.txtFra.Text(), fra);
    EXPECT_EQ(s.txtVB.Text(), vb);
    EXPECT_EQ(s.txtAB.Text(), ab);
  }

  test::FakePlatform platform;
  AppState app{platform};
  ProjectSettings& s = app.settings;
};

TEST_F(BitrateCalculatorTest, WorkedExamples) {
  LoadChain("01:40:00");  // the PAL click ran the calculator
  ExpectOutputs("6000", "100", "150000", "849", "128");

  // The whole media size goes to video when no stream is chosen.
  s.lstAO_code.ClearItems();
  RecalculateBitrates(app);
  EXPECT_EQ(s.txtVB.Text(), "977");

  // Two streams at 384 kbit/s each; txtAB shows one stream's rate, not the sum.
  s.lstAO_code.AddItem("0x80o.ac3");
  s.lstAO_code.AddItem("0x81o.ac3");
  s.cmbAudQual.SetText("384");
  EXPECT_EQ(s.txtVB.Text(), "209");
  EXPECT_EQ(s.txtAB.Text(), "384");
}

TEST_F(BitrateCalculatorTest, SwitchingToNtscChangesOnlyTheFrames) {
  LoadChain("01:40:00");
  s.optNTSC.SetValue(true);  // its click recalculates
  ExpectOutputs("6000", "100", "143856", "849", "128");
}

TEST_F(BitrateCalculatorTest, MinutesRoundHalfToEven) {
  LoadChain("01:30:30");
  EXPECT_EQ(s.txtSec.Text(), "5430");
  EXPECT_EQ(s.txtMin.Text(), "90");
  s.cmbPGC.AddItem("2. Length: 01:31:30");
  s.cmbPGC.Select(1);
  RecalculateBitrates(app);
  EXPECT_EQ(s.txtSec.Text(), "5490");
  EXPECT_EQ(s.txtMin.Text(), "92");
}

TEST_F(BitrateCalculatorTest, MediaSizeAndQualityTriggersUseTheTypedText) {
  LoadChain("01:40:00");
  s.cmbMS.SetText("800");  // not one of the offered sizes: still the media size
  EXPECT_EQ(s.txtVB.Text(), "990");
  s.cmbMS.Select(0);  // "349", picked from the list
  EXPECT_EQ(s.txtVB.Text(), "360");
  s.cmbAudQual.Select(-1);
  s.cmbAudQual.AddItem("192");
  s.cmbAudQual.Select(0);
  EXPECT_EQ(s.txtVB.Text(), "296");
  EXPECT_EQ(s.txtAB.Text(), "192");
}

TEST_F(BitrateCalculatorTest, UnreadableInputsSkipOnlyTheirSteps) {
  LoadChain("01:40:00");

  // A media size that is not a number counts as 0 bytes: minus the audio total.
  s.cmbMS.SetText("abc");
  ExpectOutputs("6000", "100", "150000", "-128", "128");
  s.cmbMS.SetText("699");

  // A quality being edited (empty, or not a number) leaves no video rate.
  s.cmbAudQual.SetText("");
  ExpectOutputs("6000", "100", "150000", "0", "");
  s.cmbAudQual.SetText("12x");
  ExpectOutputs("6000", "100", "150000", "0", "12x");
}

TEST_F(BitrateCalculatorTest, NoReadableLengthEmptiesSecondsAndKeepsMinutesAndFrames) {
  LoadChain("01:40:00");
  s.cmbPGC.Select(-1);  // no chain selected
  RecalculateBitrates(app);
  ExpectOutputs("", "100", "150000", "0", "128");

  // 24 hours or more is not a time of day.
  s.cmbPGC.AddItem("2. Length: 24:00:00");
  s.cmbPGC.Select(1);
  s.txtMin.SetText("7");
  RecalculateBitrates(app);
  ExpectOutputs("", "7", "150000", "0", "128");

  s.cmbPGC.AddItem("3. Length: 23:59:59");
  s.cmbPGC.Select(2);
  RecalculateBitrates(app);
  EXPECT_EQ(s.txtSec.Text(), "86399");
  EXPECT_EQ(s.txtMin.Text(), "1440");
}

TEST_F(BitrateCalculatorTest, ZeroLengthAndOversizedRatesShowNoStaleVideoRate) {
  LoadChain("00:00:00");
  ExpectOutputs("0", "0", "0", "0", "128");  // division by zero skips only the rate

  LoadChain("00:00:01");
  s.cmbMS.SetText("4478000");  // far beyond 32 bits of kbit/s
  EXPECT_EQ(s.txtSec.Text(), "1");
  EXPECT_EQ(s.txtVB.Text(), "");
}

TEST_F(BitrateCalculatorTest, WithoutATitleTheVideoRateIsZero) {
  s.cmbAudQual.SetText("128");
  s.cmbMS.Select(3);
  ExpectOutputs("", "", "", "0", "128");
}

TEST_F(BitrateCalculatorTest, FramesNeedAStandard) {
  s.cmbPGC.AddItem("1. Length: 00:01:00");
  s.cmbPGC.Select(0);
  s.cmbAudQual.SetText("128");
  EXPECT_EQ(s.txtSec.Text(), "60");
  EXPECT_EQ(s.txtFra.Text(), "");
}

}  // namespace
}  // namespace ravlo
