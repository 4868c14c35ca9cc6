#include "analysis/analyse_ifo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "wired_app.h"

namespace ravlo {
namespace {

using Strings = std::vector<std::string>;

const char kDisc[] =
    "  1. Length: 01:40:00, 12 chapters\r\n"
    "  2. Length: 00:02:10, 1 chapters\r\n"
    "  0x80. English (AC3, 6ch, 48kHz) [1]\r\n"
    "  0x81. Deutsch (AC3, 2ch, 48kHz) [2]\r\n"
    "  0x20. English (Subtitle) [1]\r\n"
    "  Video: PAL 16:9 720x576\r\n";

class AnalyseIfoTest : public ::testing::Test, protected test::WiredApp {
 protected:
  void ExpectNoTitle() {
    EXPECT_FALSE(s.mnuSave.Enabled());
    EXPECT_FALSE(s.mnuSaveAs.Enabled());
    EXPECT_FALSE(s.mnuSaveRun.Enabled());
    EXPECT_FALSE(s.picInfo_on.Visible());
    EXPECT_TRUE(s.picInfo_off.Visible());
  }
  void ExpectTitleLoaded() {
    EXPECT_TRUE(s.mnuSave.Enabled());
    EXPECT_TRUE(s.mnuSaveAs.Enabled());
    EXPECT_TRUE(s.mnuSaveRun.Enabled());
    EXPECT_TRUE(s.picInfo_on.Visible());
    EXPECT_FALSE(s.picInfo_off.Visible());
  }
};

TEST_F(AnalyseIfoTest, OpenRunsTheParserAndLoadsTheTitle) {
  Open(kDisc);
  EXPECT_EQ(platform.calls[platform.calls.size() - 2], "OpenFileDialog IFO file (*.ifo) | *.ifo");
  EXPECT_EQ(platform.calls.back(),
            "RunAndWait \"C:\\Program Files\\Ravlo3\\misc\\ifoparse.bat\" "
            "\"C:\\Program Files\\Ravlo3\\tools\\vStrip_08f\\vStrip.exe\" "
            "\"D:\\VIDEO_TS\\VTS_01_0.IFO\" "
            "\"C:\\Program Files\\Ravlo3\\misc\\ifoparse.txt\"|Hidden");
  EXPECT_EQ(app.globals.IfoPath, test::kIfo);
  ExpectTitleLoaded();
  EXPECT_EQ(s.cmbPGC.Selected(), 0);
  EXPECT_EQ(s.cmbPGC.Text(), "1. Length: 01:40:00, 12 chapters");
  EXPECT_EQ(s.txtTitle.Text(), "1");
  EXPECT_EQ(s.txtAngle.Text(), "1");
  EXPECT_TRUE(s.optPAL.IsSet());
  EXPECT_TRUE(s.opt16_9.IsSet());
  EXPECT_EQ(s.lstAL.ItemCount(), 2);
  EXPECT_EQ(s.lstSL.ItemCount(), 1);
  EXPECT_EQ(s.txtSec.Text(), "6000");
  EXPECT_EQ(s.txtMin.Text(), "100");
  EXPECT_EQ(s.txtFra.Text(), "150000");
  EXPECT_EQ(s.txtVB.Text(), "977");  // no stream chosen yet
  EXPECT_EQ(s.txtAB.Text(), "128");
  EXPECT_TRUE(platform.messages.empty());
}

// Of a whole disc the parser names, beside its report, the title set it chose and the chain of
// its main feature: the title set's own path is kept from then on and that chain is shown. On
// the Linux road the path comes in the system's form.
TEST_F(AnalyseIfoTest, TheParsersChoiceOfTitleSetAndChainIsTaken) {
  struct Case {
    ProjectRoad road;
    const char* choice;  // nullptr: the parser wrote none
    std::string ifoPath;
    const char* chain;
  } cases[] = {
      {ProjectRoad::Batch, nullptr, test::kIfo, "1"},
      {ProjectRoad::Shell, "/m/film.iso/VIDEO_TS/VTS_02_0.IFO\n2\n", "/m/film.iso/VIDEO_TS/VTS_02_0.IFO", "2"},
      {ProjectRoad::Batch, "D:\\VIDEO_TS\\VTS_03_0.IFO\r\n2\r\n", "D:\\VIDEO_TS\\VTS_03_0.IFO", "2"},
      {ProjectRoad::Shell, "/m/VTS_02_0.IFO\nsecond\n", test::kIfo, "1"},  // no chain: no choice
  };
  platform.PutFile(test::kIfo, "DVDVIDEO-VTS");  // the Linux road opens it before the parser runs
  for (const Case& c : cases) {
    app.road = c.road;
    platform.onRunAndWait = [&](const std::string&) {
      platform.PutFile(test::kReport, kDisc);
      if (c.choice) platform.PutFile(test::kMisc + "ifoparse.choice", c.choice);
      return true;
    };
    platform.QueueAnswer(test::kIfo);
    s.mnuOpen.Click();
    EXPECT_EQ(app.globals.IfoPath, c.ifoPath) << c.ifoPath;
    EXPECT_EQ(s.txtTitle.Text(), c.chain) << c.ifoPath;
    EXPECT_EQ(s.cmbPGC.Text(), std::string(c.chain) == "2" ? "2. Length: 00:02:10, 1 chapters" : "1. Length: 01:40:00, 12 chapters");
    ExpectTitleLoaded();
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(AnalyseIfoTest, CancelledDialogKeepsTheLoadedTitle) {
  Open(kDisc);
  s.lstAL.SetChecked(1, true);
  platform.QueueCancel();
  s.mnuOpen.Click();
  EXPECT_EQ(platform.CountCalls("RunAndWait"), 1);
  EXPECT_EQ(app.globals.IfoPath, test::kIfo);
  ExpectTitleLoaded();
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x81o.ac3"}));
  EXPECT_EQ(s.txtVB.Text(), "849");
}

TEST_F(AnalyseIfoTest, SecondOpenClearsTheTitleButKeepsPreferences) {
  Open(kDisc);
  s.cmdASA.Click();
  s.lstSL.SetChecked(0, true);
  s.optAud_OGG.SetValue(true);
  s.cmbMS.SetText("800");
  s.chkAC.SetValue(false);
  Open("  1. Length: 00:30:00\r\n  0xA0. Francais (LPCM) [1]\r\n  Video: NTSC 4:3\r\n");
  EXPECT_EQ(s.lstAL.Items(), (Strings{"0xA0. Francais (LPCM) "}));
  EXPECT_FALSE(s.lstAL.IsChecked(0));
  EXPECT_TRUE(s.lstAO_code.Items().empty());
  EXPECT_TRUE(s.lstAO_name.Items().empty());
  EXPECT_EQ(s.lstSL.ItemCount(), 0);
  EXPECT_TRUE(s.lstSO_code.Items().empty());
  EXPECT_TRUE(s.optNTSC.IsSet());
  EXPECT_TRUE(s.opt4_3.IsSet());
  EXPECT_TRUE(s.optAud_OGG.IsSet());
  EXPECT_EQ(s.cmbAudQual.Text(), "80");
  EXPECT_EQ(s.cmbMS.Text(), "800");
  EXPECT_FALSE(s.chkAC.IsSet());
  EXPECT_EQ(s.txtFra.Text(), "43157");
  EXPECT_EQ(s.txtVB.Text(), "3728");  // 800 MB over half an hour
}

TEST_F(AnalyseIfoTest, ReportWithoutChainsOrWithoutAnyFact) {
  Open("  0x80. English (AC3) [1]\r\n  Video: PAL 16:9\r\n");
  ExpectTitleLoaded();
  EXPECT_EQ(s.cmbPGC.ItemCount(), 0);
  EXPECT_EQ(s.cmbPGC.Text(), "");
  EXPECT_EQ(s.txtTitle.Text(), "1");
  EXPECT_EQ(s.txtSec.Text(), "");
  EXPECT_EQ(s.txtMin.Text(), "");
  EXPECT_EQ(s.txtFra.Text(), "");
  EXPECT_EQ(s.txtVB.Text(), "0");

  Open("vStrip: nothing to say\r\n");
  ExpectTitleLoaded();
  EXPECT_EQ(s.lstAL.ItemCount(), 0);
  EXPECT_FALSE(s.optPAL.IsSet());
  EXPECT_FALSE(s.opt16_9.IsSet());
  EXPECT_EQ(s.txtVB.Text(), "0");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(AnalyseIfoTest, OldReportIsGoneBeforeTheParserRuns) {
  platform.PutFile(test::kReport, "  1. Length: 01:00:00\r\n  0x80. Old (AC3) [1]\r\n");
  bool oldReportSeen = true;
  platform.onRunAndWait = [&](const std::string&) {
    oldReportSeen = platform.FileExists(test::kReport);
    return false;  // the parser could not be started: it writes nothing
  };
  platform.QueueAnswer(test::kIfo);
  s.mnuOpen.Click();
  EXPECT_FALSE(oldReportSeen);
  // The old report's streams never come back; the user learns which report is missing.
  EXPECT_EQ(s.lstAL.ItemCount(), 0);
  ExpectNoTitle();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find(test::kIfo), std::string::npos);
  EXPECT_NE(platform.messages[0].text.find(test::kReport), std::string::npos);
  EXPECT_EQ(platform.messages[0].caption, "Ravlo3");
}

TEST_F(AnalyseIfoTest, UndeletableOldReportStopsTheAnalysisInBoundedTime) {
  Open(kDisc);
  platform.Lock(test::kReport);
  const auto started = std::chrono::steady_clock::now();
  Open(kDisc);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(platform.CountCalls("RunAndWait"), 1);  // the parser is not started again
  ExpectNoTitle();
  EXPECT_EQ(s.lstAL.ItemCount(), 0);  // the old report is not read as the new one
  EXPECT_EQ(s.cmbPGC.ItemCount(), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find(test::kReport), std::string::npos);
  EXPECT_NE(platform.messages[0].text.find("in use by another program"), std::string::npos);
  EXPECT_EQ(platform.messages[0].caption, "Ravlo3");
}

// A parser that fails or hangs is heard: its own reason reaches the user, a hang ends within
// the limit, and either way no title is loaded.
TEST_F(AnalyseIfoTest, AParserThatFailsOrHangsIsReportedWithItsReason) {
  const std::string errors = "C:\\Program Files\\Ravlo3\\misc\\ifoparse.err";
  platform.PutFile(errors, "left from an earlier run\r\n");
  platform.onRunAndWait = [&](const std::string&) {
    EXPECT_FALSE(platform.FileExists(errors));  // an old reason is never shown as this one's
    platform.PutFile(errors, "ifoscan: D:\\VIDEO_TS\\VTS_01_0.IFO: not a title set IFO\r\n");
    return true;
  };
  platform.QueueAnswer(test::kIfo);
  s.mnuOpen.Click();
  ExpectNoTitle();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find(
                "The parser said: ifoscan: D:\\VIDEO_TS\\VTS_01_0.IFO: not a title set IFO"),
            std::string::npos)
      << platform.messages[0].text;
  EXPECT_EQ(platform.lastRunLimit, std::chrono::seconds(120));

  // The parser writes its report but never ends: the report of a stopped run is not read.
  platform.messages.clear();
  platform.processHangs = true;
  Open(kDisc);
  ExpectNoTitle();
  EXPECT_EQ(s.lstAL.ItemCount(), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("did not end within 120 seconds and was stopped"),
            std::string::npos);
}

TEST_F(AnalyseIfoTest, TheIfoPathReachesTheParserLiterallyOrIsRefused) {
  // The path is in the parser's environment before it starts, where no cmd expands it.
  std::string inherited;
  platform.onRunAndWait = [&](const std::string&) {
    inherited = platform.environment["RAVLO3_IFO"];
    return true;
  };
  platform.QueueAnswer("D:\\50%PATH%&x^\\VTS_01_0.IFO");
  s.mnuOpen.Click();
  EXPECT_EQ(inherited, "D:\\50%PATH%&x^\\VTS_01_0.IFO");

  const int runs = platform.CountCalls("RunAndWait");
  platform.messages.clear();
  platform.QueueAnswer("D:\\\xe4?\\VTS_01_0.IFO");
  s.mnuOpen.Click();
  EXPECT_EQ(platform.CountCalls("RunAndWait"), runs);  // not started for a path it cannot take
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("cannot be analysed"), std::string::npos);
  EXPECT_NE(platform.messages[0].text.find("ANSI code page"), std::string::npos);
}

TEST_F(AnalyseIfoTest, RepeatedStreamIdsKeepOneItemEach) {
  Open("  1. Length: 00:01:00, 1 chapters\r\n"
       "  0x80. English (AC3, 2ch, 48kHz) [1]\r\n"
       "  0x80. Francais (AC3, 2ch, 48kHz) [2]\r\n"
       "  0xA0. Deutsch (LPCM, 2ch, 48kHz) [3]\r\n"
       "  0x21. English (Subtitle) [1]\r\n"
       "  0x21. Dutch (Subtitle) [2]\r\n");
  EXPECT_EQ(s.lstAL.Items(), (Strings{"0x80. English (AC3, 2ch, 48kHz) ",
                                      "0xA0. Deutsch (LPCM, 2ch, 48kHz) "}));
  EXPECT_EQ(s.lstSL.Items(), Strings{"0x21. English (Subtitle) "});
  s.cmdASA.Click();
  s.cmdSSA.Click();
  // Every checked stream is one the project gets.
  EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x80o.ac3", "0xA0o.wav"}));
  EXPECT_EQ(s.lstSO_code.Items(), Strings{"0x21"});
}

// Report lines: `count` lines made by `line(i)`, CR LF ends, as the parser writes them.
std::string Lines(int count, const std::function<std::string(int)>& line) {
  std::string text;
  for (int i = 0; i < count; ++i) text += line(i) + "\r\n";
  return text;
}

std::string Hex(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

// A title set holds at most 8 audio streams, 32 subtitle streams and 99 chains; a report that
// lists more, or is larger than any real one, is refused whole: one message naming the report
// and why, and the title as after a failed analysis.
TEST_F(AnalyseIfoTest, AReportNoTitleSetCouldGiveIsRefusedWhole) {
  const std::string chain = "  1. Length: 00:01:00, 1 chapters\r\n";
  const struct {
    std::string report;
    const char* reason;
  } cases[] = {
      // Many entries without an id, then many with one: once slow to read, now refused.
      {Lines(8000, [](int) { return "  x (AC3) [i]"; }) +
           Lines(8000, [](int) { return "  0x80. English (AC3, 2ch, 48kHz) [i]"; }),
       "it lists 8001 audio streams, more than the 8 a title set can hold"},
      {chain + Lines(9, [](int i) { return "  " + Hex(0x80 + i) + ". English (AC3) [1]"; }),
       "it lists 9 audio streams, more than the 8"},
      {chain + Lines(33, [](int i) { return "  0x2" + std::string(1, "0123456789abcdefghijklmnopqrstuvw"[i]) + ". (Subtitle) [1]"; }),
       "it lists 33 subtitle streams, more than the 32"},
      {Lines(100, [](int i) { return "  " + std::to_string(i + 1) + ". Length: 00:00:01"; }),
       "it lists 100 program chains, more than the 99"},
      {chain + std::string(1024 * 1024, 'x'), "is 1048611 bytes, more than any analysis report"},
  };
  for (const auto& c : cases) {
    platform.messages.clear();
    Open(kDisc);
    Open(c.report.c_str());
    ExpectNoTitle();
    for (Field* f : {&s.cmbPGC, &s.lstAL, &s.lstSL}) EXPECT_EQ(f->ItemCount(), 0) << c.reason;
    EXPECT_FALSE(s.optPAL.IsSet());
    EXPECT_EQ(s.txtTitle.Text(), "");
    ASSERT_EQ(platform.messages.size(), 1u) << c.reason;
    const std::string& text = platform.messages[0].text;
    EXPECT_NE(text.find(test::kReport), std::string::npos) << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
  }
}

TEST_F(AnalyseIfoTest, AFullTitleSetIsTakenWhole) {
  const std::string report =
      Lines(99, [](int i) { return "  " + std::to_string(i + 1) + ". Length: 00:00:01"; }) +
      Lines(8, [](int i) { return "  " + Hex(i < 4 ? 0x80 + i : 0xA0 + i) + ". English (AC3) [1]"; }) +
      Lines(32, [](int i) { return "  " + Hex(0x20 + i) + ". English (Subtitle) [1]"; }) +
      "  Video: PAL 16:9\r\n";
  Open(report.c_str());
  ExpectTitleLoaded();
  EXPECT_EQ(s.cmbPGC.ItemCount(), 99);
  EXPECT_EQ(s.lstAL.ItemCount(), 8);
  EXPECT_EQ(s.lstSL.ItemCount(), 32);
  EXPECT_EQ(s.lstSL.Item(31), "0x3F. English (Subtitle) ");
  EXPECT_TRUE(platform.messages.empty());
}

// On the Linux road a disc that cannot be opened, analysed or used leaves the one loaded as it
// was: its title, the user's choices, its path. (The Windows program clears it first.)
TEST_F(AnalyseIfoTest, OnTheLinuxRoadAFailedOpenKeepsTheLoadedDisc) {
  app.road = ProjectRoad::Shell;
  const std::string other = "E:\\VIDEO_TS\\VTS_02_0.IFO";
  platform.PutFile(test::kIfo, "DVDVIDEO-VTS");
  platform.PutFile(other, "DVDVIDEO-VTS");
  const struct {
    std::string path;
    const char* report;  // what the parser writes; nullptr: nothing
    const char* said;
  } cases[] = {
      {"E:\\GONE\\VTS_01_0.IFO", kDisc, "cannot be opened"},
      {other, nullptr, "wrote no report"},
      {other, "  1. Length: 00:01:00\r\n  0x80. English (AC3) [1]\r\n  0x81. English (AC3) [1]\r\n"
              "  0x82. English (AC3) [1]\r\n  0x83. English (AC3) [1]\r\n  0x84. English (AC3) [1]\r\n"
              "  0x85. English (AC3) [1]\r\n  0x86. English (AC3) [1]\r\n  0x87. English (AC3) [1]\r\n"
              "  0xA0. English (LPCM) [1]\r\n", "more than the 8"},
  };
  for (const auto& c : cases) {
    Open(kDisc);
    s.cmdASN.Click();
    s.lstAL.SetChecked(1, true);
    s.txtTitle.SetText("2");
    platform.messages.clear();
    platform.onRunAndWait = [&](const std::string&) {
      if (c.report) platform.PutFile(test::kReport, c.report);
      return true;
    };
    platform.QueueAnswer(c.path);
    s.mnuOpen.Click();
    ASSERT_EQ(platform.messages.size(), 1u) << c.said;
    EXPECT_NE(platform.messages[0].text.find(c.said), std::string::npos) << platform.messages[0].text;
    ExpectTitleLoaded();
    EXPECT_EQ(app.globals.IfoPath, test::kIfo);
    EXPECT_EQ(s.lstAL.ItemCount(), 2) << c.said;
    EXPECT_EQ(s.lstAO_code.Items(), (Strings{"0x81o.ac3"})) << c.said;
    EXPECT_EQ(s.cmbPGC.Text(), "2. Length: 00:02:10, 1 chapters") << c.said;
    EXPECT_TRUE(s.optPAL.IsSet());
  }
}

// On the Linux road a disc just opened has one audio stream checked, so that no movie comes
// out silent by oversight: the first in the desktop's language where the disc has it, else
// its first. The disc is another project too: its first save asks for the folder. The
// Windows program does neither.
TEST_F(AnalyseIfoTest, OnTheLinuxRoadAnOpenedDiscHasTheDesktopsLanguageChecked) {
  const char* report =
      "  1. Length: 00:01:00\r\n"
      "  0x80. English (AC3, 2ch, 48kHz) [1]\r\n"
      "  0x81. German (AC3, 6ch, 48kHz) [2]\r\n"
      "  0x82. German (AC3, 2ch, 48kHz) [3]\r\n"
      "  0x83. French (AC3, 2ch, 48kHz) [4]\r\n";
  const struct {
    ProjectRoad road;
    std::vector<std::pair<const char*, const char*>> environment;
    Strings checked;
  } cases[] = {
      {ProjectRoad::Shell, {{"LANG", "de_DE.UTF-8"}}, {"0x81o.ac3"}},
      {ProjectRoad::Shell, {{"LANG", "fr_FR"}}, {"0x83o.ac3"}},
      {ProjectRoad::Shell, {{"LANG", "ja_JP.UTF-8"}}, {"0x80o.ac3"}},
      {ProjectRoad::Shell, {{"LANG", "C.UTF-8"}}, {"0x80o.ac3"}},
      {ProjectRoad::Shell, {}, {"0x80o.ac3"}},
      {ProjectRoad::Shell, {{"LANG", "en_GB.UTF-8"}, {"LC_ALL", "de_AT"}}, {"0x81o.ac3"}},
      {ProjectRoad::Shell, {{"LANG", "en_GB.UTF-8"}, {"LANGUAGE", "fr_CA:de"}}, {"0x83o.ac3"}},
      {ProjectRoad::Batch, {{"LANG", "de_DE.UTF-8"}}, {}},
  };
  for (const auto& c : cases) {
    app.road = c.road;
    platform.environment.clear();
    for (const auto& [name, value] : c.environment) platform.environment[name] = value;
    platform.PutFile(test::kIfo, "DVDVIDEO-VTS");
    app.globals.ProjectFolder = "E:\\Proj\\";
    Open(report);
    EXPECT_EQ(s.lstAO_code.Items(), c.checked) << (c.environment.empty() ? "" : c.environment.back().second);
    EXPECT_EQ(app.globals.ProjectFolder, c.road == ProjectRoad::Shell ? "" : "E:\\Proj\\");
  }
}

TEST_F(AnalyseIfoTest, NewClearsTheTitleAndKeepsTheIfoPath) {
  Open(kDisc);
  s.cmdASA.Click();
  s.mnuNew.Click();
  ExpectNoTitle();
  for (Field* f : {&s.txtTitle, &s.txtAngle, &s.cmbPGC, &s.txtSec, &s.txtMin, &s.txtFra, &s.txtVB, &s.txtAB}) {
    EXPECT_EQ(f->Text(), "") << f->Name();
  }
  for (Field* f : {&s.optPAL, &s.optNTSC, &s.opt16_9, &s.opt4_3}) EXPECT_FALSE(f->IsSet()) << f->Name();
  for (Field* f : {&s.cmbPGC, &s.lstAL, &s.lstAO_code, &s.lstAO_name, &s.lstSL, &s.lstSO_code, &s.lstSO_name}) {
    EXPECT_EQ(f->ItemCount(), 0) << f->Name();
  }
  EXPECT_EQ(app.globals.IfoPath, test::kIfo);
  EXPECT_EQ(s.cmbAudQual.Text(), "128");
}

}  // namespace
}  // namespace ravlo
