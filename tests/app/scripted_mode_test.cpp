// Scripted mode drives the record through the same handlers as the window.

#include <gtest/gtest.h>

#include <sstream>

#include "app/scripted_mode.h"
#include "fake_platform.h"

namespace ravlo {
namespace {

struct ScriptTest : ::testing::Test {
  test::FakePlatform system;
  std::ostringstream out, err;
  ScriptedPlatform platform{system, out, err};
  AppState app{platform};

  int Run(std::vector<std::string> args) { return RunScript(app, platform, args, out, err); }
  bool DumpHas(const std::string& line) {
    std::string text(1, '\n');
    text += out.str();
    std::string wanted(1, '\n');
    wanted += line;
    wanted += '\n';
    return text.find(wanted) != std::string::npos;
  }
};

TEST_F(ScriptTest, DumpShowsTheStartStateInTableOrder) {
  ASSERT_EQ(Run({"--dump"}), 0);
  for (const char* line :
       {"cmbMS=699", "cmbMS[0]=349", "cmbMS[7]=4478", "chkAC=1", "txtAC_Threshold=20",
        "cmbResize=Lanczos", "cmbBS_CM=surround2", "optSub_VOBSUB=1", "optAud_MP3=1",
        "chkOrig.visible=0", "chk51.enabled=0", "mnuSave.enabled=0", "chkDelTemp=1",
        "chkShutDown=0", "txtVB=0", "txtAB=128", "cmbAudQual=128", "cmbAudQual[7]=64",
        "LineBreak=\\r\\n", "AppFolder=C:\\Program Files\\Ravlo3\\",
        "ToolPaths.avs2avi=C:\\Program Files\\Ravlo3\\tools\\avs2avi-139\\avs2avi.exe"}) {
    EXPECT_TRUE(DumpHas(line)) << line;
  }
  const std::string text = out.str();
  EXPECT_LT(text.find("txtTitle="), text.find("cmbMS="));
  EXPECT_LT(text.find("cmbMS="), text.find("mnuAbout.enabled="));
  EXPECT_LT(text.find("mnuAbout.enabled="), text.find("LineBreak="));
  EXPECT_EQ(err.str(), "");
}

TEST_F(ScriptTest, ActionsWriteFieldsAsTheUserWould) {
  ASSERT_EQ(Run({"--set", "cmbMS=800", "--pick", "cmbResize=1", "--set", "chkIVTC=1",
                 "--set", "optAud_AC3=1", "--click", "chkDelLogs", "--click", "chkOrig",
                 "--dump"}),
            0);
  EXPECT_TRUE(DumpHas("cmbMS=800"));
  EXPECT_TRUE(DumpHas("cmbResize=Bicubic"));
  EXPECT_TRUE(DumpHas("chkIVTC=1"));
  EXPECT_TRUE(DumpHas("optAud_AC3=1"));
  EXPECT_TRUE(DumpHas("optAud_MP3=0"));
  EXPECT_TRUE(DumpHas("chkDelLogs=0"));
  // AC3 shows "Original" checked; clicking it unchecks it and turns six channels on.
  EXPECT_TRUE(DumpHas("chkOrig=0"));
  EXPECT_TRUE(DumpHas("chk51=1"));
  EXPECT_TRUE(DumpHas("cmbBS_CM.enabled=0"));
}

TEST_F(ScriptTest, BadArgumentsStopBeforeAnythingRuns) {
  for (std::vector<std::string> args :
       std::vector<std::vector<std::string>>{{"--frobnicate"},
                                             {"--set", "txtNothing=1"},
                                             {"--pick", "chkAC=0"},
                                             {"--check", "cmbMS=0"},
                                             {"--set", "txtVB=5"},
                                             {"--set", "cmbMS"},
                                             {"--click"},
                                             {"plain"}}) {
    test::FakePlatform fresh;
    std::ostringstream freshOut, freshErr;
    ScriptedPlatform freshPlatform(fresh, freshOut, freshErr);
    AppState freshApp(freshPlatform);
    EXPECT_EQ(RunScript(freshApp, freshPlatform, args, freshOut, freshErr), kScriptUsageError)
        << args[0];
    EXPECT_NE(freshErr.str(), "") << args[0];
    EXPECT_TRUE(fresh.calls.empty()) << args[0];  // start-up did not run
  }
}

TEST_F(ScriptTest, BadIndexesAndUnreachableControlsStopWithExitCode2) {
  EXPECT_EQ(Run({"--pick", "cmbMS=8"}), kScriptUsageError);
  EXPECT_NE(err.str().find("cmbMS"), std::string::npos);

  test::FakePlatform fresh;
  std::ostringstream o, e;
  ScriptedPlatform p(fresh, o, e);
  AppState a(p);
  EXPECT_EQ(RunScript(a, p, {"--click", "mnuSave", "--dump"}, o, e), kScriptUsageError);
  EXPECT_NE(e.str().find("mnuSave is disabled"), std::string::npos);
  EXPECT_EQ(o.str().find("txtTitle="), std::string::npos);  // stopped before the dump
}

TEST_F(ScriptTest, MessagesArePrintedAndDialogsAnsweredFromTheQueue) {
  ASSERT_EQ(Run({"--click", "mnuAbout", "--answer", "ravlo.example.org", "--click",
                 "mnuSetAuthor", "--dump"}),
            0);
  EXPECT_NE(out.str().find("Ravlo v3.0\n"), std::string::npos);
  EXPECT_EQ(out.str().find('\r'), std::string::npos);
  EXPECT_TRUE(DumpHas("AuthorText=ravlo.example.org"));
}

TEST_F(ScriptTest, WarningsAndErrorsGoToStderrAndFailTheRun) {
  // A wrong-length author text is refused with an error box; the prompt then comes again and
  // the cancel ends it. The run ends there: the dump after it does not come.
  ASSERT_EQ(Run({"--answer", "too.short", "--cancel", "--click", "mnuSetAuthor", "--dump"}),
            kScriptFailed);
  EXPECT_NE(err.str().find("It must be 17 characters long"), std::string::npos);
  EXPECT_EQ(out.str().find("It must be 17 characters long"), std::string::npos);
  EXPECT_EQ(out.str().find("AuthorText="), std::string::npos);
}

// Whatever follows an action that showed an error would build on what did not happen; above
// all, nothing is saved after it.
TEST(ScriptStops, AtTheFirstActionThatShowedAnError) {
  const std::string ifo = "D:\\VIDEO_TS\\VTS_01_0.IFO";
  struct Case {
    const char* what;
    bool reportWritten;  // whether the parser writes its report
    std::vector<std::string> args;
    std::string said;    // on stderr
  };
  const Case cases[] = {
      {"refused author", true,
       {"--open", ifo, "--answer", "too.short", "--click", "mnuSetAuthor", "--save", "E:\\Proj", "--dump"},
       "It must be 17 characters long"},
      {"tiny medium", true,
       {"--open", ifo, "--set", "cmbMS=0.0001", "--save", "E:\\Proj", "--dump"},
       "Media size (cmbMS): \"0.0001\""},
      {"failed open", false, {"--open", ifo, "--save", "E:\\Proj", "--dump"}, "wrote no report"},
  };
  for (const Case& c : cases) {
    test::FakePlatform system;
    std::ostringstream out, err;
    ScriptedPlatform platform(system, out, err);
    AppState app(platform);
    system.PutFile("D:\\VIDEO_TS\\VTS_01_1.VOB");
    system.onRunAndWait = [&system, &c](const std::string&) {
      if (c.reportWritten) {
        system.PutFile("C:\\Program Files\\Ravlo3\\misc\\ifoparse.txt",
                       "  1. Length: 00:01:00, 1 chapters\r\n  Video: PAL 16:9 720x576\r\n");
      }
      return true;
    };
    EXPECT_EQ(RunScript(app, platform, c.args, out, err), kScriptFailed) << c.what << err.str();
    EXPECT_NE(err.str().find(c.said), std::string::npos) << c.what << ": " << err.str();
    EXPECT_FALSE(system.FileExists("E:\\Proj\\project.bat")) << c.what;
    EXPECT_EQ(out.str().find("Project saved"), std::string::npos) << c.what;
    EXPECT_EQ(out.str().find("txtTitle="), std::string::npos) << c.what;  // no dump either
  }
}

TEST_F(ScriptTest, HelpListsTheActionsWithoutStartingUp) {
  ASSERT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("--check NAME=INDEX"), std::string::npos);
  EXPECT_TRUE(system.calls.empty());
}

TEST_F(ScriptTest, UnansweredDialogsCountAsCancelled) {
  ASSERT_EQ(Run({"--click", "mnuOpen", "--dump"}), 0);
  EXPECT_EQ(system.CountCalls("RunAndWait"), 0);
  EXPECT_TRUE(DumpHas("mnuSave.enabled=0"));
}

TEST_F(ScriptTest, ExitEndsTheScript) {
  ASSERT_EQ(Run({"--click", "mnuExit", "--dump"}), 0);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace ravlo
