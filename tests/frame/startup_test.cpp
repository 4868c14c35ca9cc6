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
