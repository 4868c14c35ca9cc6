// Start-up and the window's simple commands, on the fake system.

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frame/connect_frame.h"
#include "frame/constants.h"
#include "frame/startup.h"

namespace ravlo {
namespace {

struct StartupTest : ::testing::Test {
  test::FakePlatform os;
  AppState app{os};
  int audioSetUps = 0;
  void Load() { Form_Load(app, [this] { ++audioSetUps; }); }
};

TEST_F(StartupTest, GlobalsAndToolPaths) {
  Load();
  const AppGlobals& g = app.globals;
  EXPECT_EQ(g.LineBreak, "\r\n");
  EXPECT_EQ(g.AppFolder, "C:\\Program Files\\Ravlo3\\");
  EXPECT_EQ(g.MiscFolder, "C:\\Program Files\\Ravlo3\\misc\\");
  EXPECT_EQ(g.ToolsFolder, "C:\\Program Files\\Ravlo3\\tools\\");
  EXPECT_EQ(g.AuthorText, "ravlo.example.net");
  EXPECT_EQ(g.ToolPath(Tool::vStrip), g.ToolsFolder + "vStrip_08f\\vStrip.exe");
  EXPECT_EQ(g.ToolPath(Tool::BeSweet), g.ToolsFolder + "BeSweetv1.5b31\\BeSweet.exe");
  EXPECT_EQ(g.ToolPath(Tool::gsar), g.ToolsFolder + "gsar112\\gsar.exe");
  EXPECT_EQ(audioSetUps, 1);
}

TEST_F(StartupTest, ProgramInADriveRootGetsNoSecondBackslash) {
  os.programFolder = "E:\\";
  Load();
  EXPECT_EQ(app.globals.AppFolder, "E:\\");
  EXPECT_EQ(app.globals.MiscFolder, "E:\\misc\\");
}

TEST_F(StartupTest, FirstStartOpensHelpOnceAndRemembersIt) {
  Load();
  const std::string help = "ShellOpen OPEN|help.htm||C:\\Program Files\\Ravlo3\\misc\\|Maximized";
  EXPECT_EQ(os.CountCalls(help), 1);
  EXPECT_EQ(os.settingsStore["Ravlo3\\Options\\FirstRun"], "Done");

  test::FakePlatform again;
  again.settingsStore = os.settingsStore;
  AppState second(again);
  Form_Load(second, nullptr);
  EXPECT_EQ(again.CountCalls("ShellOpen OPEN|help.htm"), 0);
  EXPECT_EQ(again.CountCalls("WriteSetting"), 0);
}

TEST_F(StartupTest, ToolsScriptRunsUntilItsMarkerExists) {
  Load();
  EXPECT_EQ(os.CountCalls("ShellOpen OPEN|xt.bat||C:\\Program Files\\Ravlo3\\tools\\|Normal"), 1);
  EXPECT_FALSE(os.FileExists("C:\\Program Files\\Ravlo3\\tools\\xt.txt"));  // never made by us

  test::FakePlatform ready;
  ready.PutFile("C:\\Program Files\\Ravlo3\\tools\\xt.txt", "ok");
  AppState second(ready);
  Form_Load(second, nullptr);
  EXPECT_EQ(ready.CountCalls("ShellOpen OPEN|xt.bat"), 0);
}

TEST_F(StartupTest, StepsRunInOrder) {
  // The audio controls are set up after the tools script and before the help page.
  std::size_t callsBeforeAudio = 0;
  std::string toolsFolderDuringAudio;
  Form_Load(app, [&] {
    callsBeforeAudio = os.calls.size();
    toolsFolderDuringAudio = app.globals.ToolPath(Tool::mplayerc);
  });
  ASSERT_EQ(os.calls.size(), 3u);
  EXPECT_NE(os.calls[0].find("xt.bat"), std::string::npos);
  EXPECT_EQ(callsBeforeAudio, 1u);
  EXPECT_NE(os.calls[1].find("help.htm"), std::string::npos);
  EXPECT_EQ(toolsFolderDuringAudio, "C:\\Program Files\\Ravlo3\\tools\\mpc2kxp6482\\mplayerc.exe");
}

TEST_F(StartupTest, OptionsItemsFlipOnlyTheirOwnMark) {
  ConnectFrameHandlers(app);
  Load();
  ProjectSettings& s = app.settings;
  s.chkDelTemp.Click();
  EXPECT_FALSE(s.chkDelTemp.IsSet());
  EXPECT_TRUE(s.chkDelLogs.IsSet());
  EXPECT_FALSE(s.chkShutDown.IsSet());
  s.chkShutDown.Click();
  s.chkDelLogs.Click();
  s.chkDelTemp.Click();
  EXPECT_TRUE(s.chkDelTemp.IsSet());
  EXPECT_FALSE(s.chkDelLogs.IsSet());
  EXPECT_TRUE(s.chkShutDown.IsSet());
}

// On Linux the job's power-off is asked for each time it is ticked, with what the system lets
// this user do; unticking, and the Windows program, ask nothing.
TEST_F(StartupTest, OnLinuxShuttingDownIsAskedForWithWhetherTheUserMay) {
  ConnectFrameHandlers(app);
  const struct {
    ProjectRoad road;
    const char* permission;  // logind's answer
    const char* answer;      // nullptr: none asked for
    bool ticked;
    const char* said;
  } cases[] = {
      {ProjectRoad::Shell, "yes", "yes", true, "shuts the computer down (systemctl poweroff)"},
      {ProjectRoad::Shell, "yes", "no", false, "shuts the computer down"},
      {ProjectRoad::Shell, "no", "yes", true, "This user may not power the computer off (logind answers \"no\")."},
      {ProjectRoad::Shell, "challenge", "yes", true, "only with an administrator's password"},
      {ProjectRoad::Shell, "", "yes", true, "could not be checked"},
      {ProjectRoad::Batch, "no", nullptr, true, ""},
  };
  for (const auto& c : cases) {
    app.road = c.road;
    os.powerOff = c.permission;
    os.questions.clear();
    app.settings.chkShutDown.SetValue(false);
    if (c.answer) os.QueueAnswer(c.answer);
    app.settings.chkShutDown.Click();
    EXPECT_EQ(app.settings.chkShutDown.IsSet(), c.ticked) << c.permission;
    ASSERT_EQ(os.questions.size(), c.answer ? 1u : 0u) << c.permission;
    if (c.answer) {
      EXPECT_NE(os.questions[0].text.find(c.said), std::string::npos) << os.questions[0].text;
      EXPECT_EQ(os.questions[0].question, "Shut down the computer when the job ends?");
      EXPECT_EQ(os.questions[0].text.find("may not") == std::string::npos &&
                    os.questions[0].text.find("could not") == std::string::npos &&
                    os.questions[0].text.find("password") == std::string::npos,
                std::string(c.permission) == "yes");
    }
    // Unticked without a question.
    if (app.settings.chkShutDown.IsSet()) app.settings.chkShutDown.Click();
    EXPECT_FALSE(app.settings.chkShutDown.IsSet());
    EXPECT_EQ(os.questions.size(), c.answer ? 1u : 0u);
  }
}

// project.sh makes VobSub subtitles only: on Linux SRT is not offered.
TEST_F(StartupTest, OnLinuxSrtIsNotOffered) {
  for (const ProjectRoad road : {ProjectRoad::Batch, ProjectRoad::Shell}) {
    test::FakePlatform system;
    AppState started{system};
    started.road = road;
    Form_Load(started, nullptr);
    EXPECT_EQ(started.settings.optSub_SRT.Visible(), road == ProjectRoad::Batch);
    EXPECT_TRUE(started.settings.optSub_VOBSUB.IsSet());
  }
}

TEST_F(StartupTest, CommandsOpenWhatTheyShould) {
  ConnectFrameHandlers(app);
  Load();
  ProjectSettings& s = app.settings;
  s.mnuHelp.Click();
  s.mnuHelp.Click();
  EXPECT_EQ(os.CountCalls("ShellOpen OPEN|help.htm"), 3);  // first run, then every F1
  s.cmdCfgCodec.Click();
  EXPECT_EQ(os.CountCalls("StartProcess rundll32.exe xvidvfw.dll, Configure|NormalFocus"), 1);
  s.cmdJO.Click();
  EXPECT_EQ(os.CountCalls(std::string("ShellOpen Open|") + kWebAddress + "|||Maximized"), 1);
  s.mnuAbout.Click();
  ASSERT_EQ(os.messages.size(), 1u);
  EXPECT_NE(os.messages[0].text.find("Ravlo v3.0"), std::string::npos);
  EXPECT_NE(os.messages[0].text.find(kHostName), std::string::npos);
  EXPECT_EQ(os.messages[0].caption, "Ravlo3");
  s.mnuExit.Click();
  EXPECT_EQ(os.closeCount, 1);
  EXPECT_EQ(s.cmdJO.Caption(), kHostName);
}

}  // namespace
}  // namespace ravlo
