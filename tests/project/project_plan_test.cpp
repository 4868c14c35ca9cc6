// What a save refuses before it writes anything, and how what it takes reaches the batch:
// grouped by the harm a value could do, not by field.
#include <filesystem>
#include <string>
#include <vector>

#include "frame/cmd_text.h"
#include "project/save_commands.h"
#include "project/save_project.h"
#include "project/writers.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

namespace fs = std::filesystem;

class PlanTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    platform.PutFile("D:\\VIDEO_TS\\VTS_01_1.VOB");
  }

  // A save that must be refused with one warning naming `what` and the refused `text`, and
  // must leave the project folder as it was: empty.
  void ExpectRefused(const std::string& what, const std::string& text) {
    platform.messages.clear();
    EXPECT_FALSE(SaveProject(app)) << what << " = " << text;
    ASSERT_EQ(platform.messages.size(), 1u) << what << " = " << text;
    const ShownMessage& shown = platform.messages[0];
    EXPECT_EQ(shown.icon, MessageIcon::Warning);
    EXPECT_NE(shown.text.find(what), std::string::npos) << shown.text;
    EXPECT_NE(shown.text.find("\"" + text + "\""), std::string::npos) << shown.text;
    EXPECT_NE(shown.text.find("Nothing was saved."), std::string::npos) << shown.text;
    EXPECT_TRUE(fs::is_empty(platform.HostPath("E:\\Proj"))) << what << " = " << text;
  }

  std::vector<std::string> BatchLines() {
    const PlanResult result = BuildProjectPlan(app);
    EXPECT_TRUE(result.plan) << result.refusal;
    std::vector<std::string> lines;
    if (!result.plan) return lines;
    const std::string text = ProjectBatchText(*result.plan);
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

TEST_F(PlanTest, EveryNumberRejectsEmptyNonNumericNegativeFractionalWhereWholeAndHuge) {
  AddAudio({"0x80o.ac3"});
  s.optAud_MP3.SetValue(true);
  s.chkAC.SetValue(true);
  struct Case {
    Field* field;
    std::string good;
    std::vector<std::string> bad;
  };
  const std::vector<Case> cases = {
      {&s.txtTitle, "1", {"", "abc", "-5", "0", "2.5", "100", "1x"}},
      {&s.txtAngle, "1", {"", "x", "0", "10", "1.5", "-1"}},
      {&s.cmbMS, "699", {"", "699 MB", "-5", "0", "2097152", "1e400", "700 & mkdir PWNED"}},
      {&s.cmbAudQual, "128", {"", "abc", "-128", "128.5", "321", "128 ) & x"}},
      {&s.txtAC_Threshold, "20", {"", "-1", "256", "2.5", "20,samples=1)"}},
      {&s.txtAC_Samples, "10", {"", "0", "10001", "1.5", "7x"}},
  };
  for (const Case& c : cases) {
    for (const std::string& bad : c.bad) {
      c.field->SetText(bad);
      ExpectRefused(c.field->Name(), bad);
    }
    c.field->SetText(c.good);
  }
  // With the report's chains known, a chain past them is refused too.
  s.cmbPGC.AddItem("1. 0:01:00");
  s.cmbPGC.AddItem("2. 0:02:00");
  s.txtTitle.SetText("3");
  ExpectRefused("txtTitle", "3");
  s.txtTitle.SetText("2");
  EXPECT_TRUE(BuildProjectPlan(app).plan);
}

// A medium that cannot hold one second of the title's frames would fail stages later with a
// message about the codec; the save refuses it, naming the field.
TEST_F(PlanTest, AMediumTooSmallForOneSecondOfTheTitlesFramesIsRefused) {
  struct Case {
    Field* standard;  // the option of the title's standard; null: none known
    bool forceFilm;
    std::string size;
    bool accepted;
  };
  const Case cases[] = {
      {&s.optPAL, false, "0.0001", false},
      {&s.optPAL, false, "1e-300", false},
      {&s.optPAL, false, "0.017", false},
      {&s.optPAL, false, "0.018", true},
      {&s.optNTSC, false, "0.018", false},
      {&s.optNTSC, false, "0.019", true},
      {&s.optNTSC, true, "0.018", true},
      {nullptr, false, "0.018", false},
      {&s.optPAL, false, "699", true},
  };
  for (const Case& c : cases) {
    s.optPAL.SetValue(false);
    s.optNTSC.SetValue(false);
    if (c.standard) c.standard->SetValue(true);
    s.chkForceFilm.SetValue(c.forceFilm);
    s.cmbMS.SetText(c.size);
    if (c.accepted) {
      EXPECT_TRUE(BuildProjectPlan(app).plan) << c.size;
    } else {
      ExpectRefused("Media size (cmbMS)", c.size);
      EXPECT_NE(platform.messages.back().text.find("one second of the title's frames"), std::string::npos);
    }
  }
}

TEST_F(PlanTest, QualitiesFollowTheFormatAndTheOggAnswerIsANumberInRange) {
  AddAudio({"0xA0o.wav"});
  s.optAud_AC3.SetValue(true);
  s.cmbAudQual.SetText("100");  // not an AC3 bitrate
  ExpectRefused("cmbAudQual", "100");
  s.cmbAudQual.SetText("640");
  EXPECT_TRUE(BuildProjectPlan(app).plan);

  s.optAud_OGG.SetValue(true);
  s.cmbAudQual.SetText("100");  // typed: the user is asked for the quality
  for (const char* answer : {"0.1 ) & mkdir X & rem", "1.5", "-0.3", ""}) {
    platform.QueueAnswer(answer);
    ExpectRefused("OGG quality", answer);
  }
  platform.QueueCancel();
  ExpectRefused("OGG quality", "");
  platform.QueueAnswer(" -0.2 ");
  const std::vector<std::string> lines = BatchLines();
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::string& l) { return l.find("-ogg( -q -0.2 )") != std::string::npos; }),
            lines.end());
}

TEST_F(PlanTest, ListChoicesMustBeItemsOfTheirLists) {
  AddAudio({"0x80o.ac3"});
  s.optAud_MP3.SetValue(true);
  s.chkResize.SetValue(true);
  struct Case { Field* field; std::string good, bad; };
  for (const Case& c : {Case{&s.cmbBS_DC, "normal", "extreme"},
                        Case{&s.cmbBS_CM, "stereo", "stereo & mkdir X"},
                        Case{&s.cmbResize, "Bicubic", "Lanczos) & x"}}) {
    c.field->SetText(c.bad);
    ExpectRefused(c.field->Name(), c.bad);
    c.field->SetText(c.good);
  }
  EXPECT_TRUE(BuildProjectPlan(app).plan);
  // Unused choices are not held against the project: no resize, no conversion.
  s.chkResize.SetValue(false);
  s.cmbResize.SetText("anything");
  s.chkOrig.SetValue(true);
  s.cmbAudQual.SetText("");
  EXPECT_TRUE(BuildProjectPlan(app).plan);
}

TEST_F(PlanTest, EveryPathOrTextThatReachesTheBatchArrivesLiterallyOrIsRefused) {
  const std::string folder = "D:\\x&mkdir INJECTED&y ^%PATH%!();\\VIDEO_TS\\";
  platform.PutFile(folder + "VTS_01_1.VOB");
  app.globals.IfoPath = folder + "VTS_01_0.IFO";
  app.globals.AuthorText = "www.100%off.co.uk";
  AddAudio({"0x80o.ac3"});
  AddSubtitles({"0x20"});
  s.optAud_MP3.SetValue(true);
  const std::vector<std::string> lines = BatchLines();
  // Outside quotation marks every character of cmd's own is escaped; inside them only %.
  EXPECT_TRUE(Has(lines, "START /w DGIndex.exe -AIF=[D:\\x^&mkdir INJECTED^&y ^^%%PATH%%!();"
                         "\\VIDEO_TS\\VTS_01_1.VOB] -OM=0 -OF=[project] -exit"));
  EXPECT_TRUE(Has(lines, "START /w vStrip.exe @project.lst -i\"D:\\x&mkdir INJECTED&y "
                         "^%%PATH%%!();\\VIDEO_TS\\VTS_01_0.IFO\" -p0 -j1 -!do0x80o.ac3 0xBD 0x80"));
  EXPECT_TRUE(Has(lines, "START /w gsar.exe -s\"DSPguru.doom9.net\" -r\"www.100%%off.co.uk\" "
                         "-o *.mp3 *.ogg *.ac3"));
  // Files that no command interpreter reads take the path as it is. (The tools are not
  // installed here, so only the copies fail.)
  SaveProject(app);
  EXPECT_EQ(Project("project.lst"), folder + "VTS_01_1.VOB\r\n\r\n");
  EXPECT_EQ(Project("subparam").substr(0, app.globals.IfoPath.size() + 2),
            app.globals.IfoPath + "\r\n");

  // What cannot be carried is refused, naming the path.
  for (const std::string& bad :
       {std::string("D:\\a\r\nb\\VTS_01_0.IFO"), std::string("D:\\\xe4?\\VTS_01_0.IFO"),
        "D:\\" + std::string(250, 'd') + "\\VTS_01_0.IFO", std::string()}) {
    fs::remove_all(platform.HostPath("E:\\Proj"));
    fs::create_directories(platform.HostPath("E:\\Proj"));
    app.globals.IfoPath = bad;
    ExpectRefused("IFO file", bad);
  }
  app.globals.IfoPath = "D:\\VIDEO_TS\\VTS_01_0.IFO";
  app.globals.ProjectFolder = "E:\\" + std::string(240, 'p') + "\\";
  platform.messages.clear();
  EXPECT_FALSE(SaveProject(app));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("Project folder"), std::string::npos);
  EXPECT_NE(platform.messages[0].text.find("characters long"), std::string::npos);

  app.globals.ProjectFolder = "E:\\Proj\\";
  for (const std::string& author : {std::string("ravlo.example\r\nne"), std::string("ravlo\"example.net")}) {
    app.globals.AuthorText = author;
    ExpectRefused("Author", author);
  }
}

TEST_F(PlanTest, ARefusedSaveAndRunStartsNothingAndKeepsTheWindow) {
  s.cmbMS.SetText("699 MB");
  mnuSaveRun_Click(app);
  EXPECT_EQ(platform.CountCalls("ShellOpen"), 0);
  EXPECT_EQ(platform.closeCount, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].text.find("Nothing was saved and the batch was not started."),
            std::string::npos);
  EXPECT_TRUE(fs::is_empty(platform.HostPath("E:\\Proj")));
}

TEST(CmdText, EscapesForEachPlaceAndFindsWhatCannotBeCarried) {
  EXPECT_EQ(BatchQuoted("a%b&c^"), "a%%b&c^");
  EXPECT_EQ(BatchBare("a%b&c|d<e>f^g(h)!"), "a%%b^&c^|d^<e^>f^^g(h)!");
  EXPECT_FALSE(TextProblem("plain text & more %"));
  EXPECT_EQ(TextProblem("a\nb"), "it holds a line break");
  EXPECT_EQ(TextProblem(std::string("a\x1b")), "it holds the control character 0x1B");
  EXPECT_FALSE(PathProblem("C:\\x", 4));
  EXPECT_TRUE(PathProblem("C:\\x", 3));
  EXPECT_TRUE(PathProblem("C:\\?", 10));
  EXPECT_TRUE(PathProblem("C:\\\"", 10));
}

}  // namespace
}  // namespace ravlo::test
