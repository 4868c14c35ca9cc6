// Save, Save As, Save & Run with the folder picker answered and cancelled; Set author.
#include "frame/constants.h"
#include "project/connect_project.h"
#include "project/save_commands.h"
#include "project/set_author.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class SaveCommandsTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    app.globals.ProjectFolder.clear();
    ConnectProjectHandlers(app);
  }
  int Pickers() const { return platform.CountCalls("BrowseForFolder "); }
};

TEST_F(SaveCommandsTest, SaveAsksForTheFolderOnlyTheFirstTime) {
  platform.QueueCancel();
  app.settings.mnuSave.Click();
  EXPECT_EQ(Pickers(), 1);
  EXPECT_EQ(app.globals.ProjectFolder, "");
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(platform.CountCalls("CopyFile"), 0);

  platform.QueueAnswer("E:\\Proj");
  app.settings.mnuSave.Click();
  // Title "Select folder", file-system folders only in the new dialog style.
  EXPECT_EQ(platform.CountCalls("BrowseForFolder Select folder|65"), 2);
  EXPECT_EQ(app.globals.ProjectFolder, "E:\\Proj\\");
  EXPECT_TRUE(InProject("project.bat"));
  ASSERT_EQ(platform.messages.size(), 1u);

  app.settings.mnuSave.Click();
  EXPECT_EQ(Pickers(), 2);
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(SaveCommandsTest, DriveRootIsKeptAsItIs) {
  platform.QueueAnswer("E:\\");
  mnuSave_Click(app);
  EXPECT_EQ(app.globals.ProjectFolder, "E:\\");
}

TEST_F(SaveCommandsTest, SaveAsAlwaysAsksAndACancelKeepsTheFolder) {
  app.globals.ProjectFolder = "E:\\Proj\\";
  platform.QueueCancel();
  app.settings.mnuSaveAs.Click();
  EXPECT_EQ(Pickers(), 1);
  EXPECT_EQ(app.globals.ProjectFolder, "E:\\Proj\\");
  EXPECT_FALSE(InProject("project.avs"));

  std::filesystem::create_directories(platform.HostPath("E:\\Other"));
  platform.QueueAnswer("E:\\Other");
  app.settings.mnuSaveAs.Click();
  EXPECT_EQ(app.globals.ProjectFolder, "E:\\Other\\");
  EXPECT_TRUE(platform.FileExists("E:\\Other\\project.avs"));
}

TEST_F(SaveCommandsTest, SaveRunCancelledStartsAndClosesNothing) {
  platform.QueueCancel();
  app.settings.mnuSaveRun.Click();
  EXPECT_EQ(platform.CountCalls("ShellOpen"), 0);
  EXPECT_EQ(platform.closeCount, 0);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SaveCommandsTest, SaveRunWithMissingToolsKeepsTheWindowOpen) {
  platform.QueueAnswer("E:\\Proj");
  app.settings.mnuSaveRun.Click();  // no tools in the fake tools folder
  EXPECT_EQ(platform.CountCalls("ShellOpen"), 0);
  EXPECT_EQ(platform.closeCount, 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
  EXPECT_NE(platform.messages[0].text.find("The batch was not started."), std::string::npos);
}

TEST_F(SaveCommandsTest, SaveRunStartsTheBatchInTheFolderThenCloses) {
  for (const std::string& path : app.globals.ToolPaths) platform.PutFile(path);
  for (const char* misc : {"1st.reg", "2nd.reg", "brimmer.exe"}) {
    platform.PutFile(app.globals.MiscFolder + misc);
  }
  app.settings.chkAC.SetValue(false);
  platform.QueueAnswer("E:\\Proj");
  app.settings.mnuSaveRun.Click();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
  ASSERT_GE(platform.calls.size(), 2u);
  EXPECT_EQ(platform.calls[platform.calls.size() - 2],
            "ShellOpen OPEN|project.bat||E:\\Proj\\|Normal");
  EXPECT_EQ(platform.calls.back(), "CloseMainWindow");
  EXPECT_EQ(platform.closeCount, 1);
}

class SetAuthorTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    ConnectProjectHandlers(app);
  }
};

TEST_F(SetAuthorTest, PromptShowsTheThreeExamples) {
  platform.QueueCancel();
  app.settings.mnuSetAuthor.Click();
  ASSERT_EQ(platform.inputBoxes.size(), 1u);
  EXPECT_EQ(platform.inputBoxes[0].title, "Set author");
  EXPECT_EQ(platform.inputBoxes[0].defaultAnswer, "ravlo.example.net");
  EXPECT_EQ(platform.inputBoxes[0].prompt,
            "Enter a URL. It must be 17 characters long.\r\n\r\nExamples:\r\n"
            "ravlo.example.net\r\nwww.microsoft.com\r\nDSPguru.doom9.net\r\n");
  EXPECT_EQ(app.globals.AuthorText, "ravlo.example.net");
}

TEST_F(SetAuthorTest, WrongLengthsAreRefusedUntilSeventeenCharacters) {
  platform.QueueAnswer("abcdefghijklmnop");    // 16
  platform.QueueAnswer("abcdefghijklmnopqr");  // 18
  platform.QueueAnswer("abcdefghijklmnopq");   // 17
  mnuSetAuthor_Click(app);
  EXPECT_EQ(app.globals.AuthorText, "abcdefghijklmnopq");
  ASSERT_EQ(platform.inputBoxes.size(), 3u);
  // The old text stays the default after a refusal, not the refused text.
  EXPECT_EQ(platform.inputBoxes[1].defaultAnswer, "ravlo.example.net");
  EXPECT_EQ(platform.inputBoxes[2].defaultAnswer, "ravlo.example.net");
  ASSERT_EQ(platform.messages.size(), 2u);
  for (const ShownMessage& message : platform.messages) {
    EXPECT_EQ(message.text, "It must be 17 characters long");
    EXPECT_EQ(message.icon, MessageIcon::Critical);
    EXPECT_EQ(message.caption, "Ravlo3");
  }
}

TEST_F(SetAuthorTest, EmptyAnswerOrCancelAfterARefusalKeepsTheText) {
  platform.QueueAnswer("short");
  platform.QueueAnswer("");
  mnuSetAuthor_Click(app);
  EXPECT_EQ(app.globals.AuthorText, "ravlo.example.net");
  EXPECT_EQ(platform.inputBoxes.size(), 2u);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(SetAuthorTest, QuotationMarkAndPercentSignAreRefused) {
  platform.QueueAnswer("abc\"efghijklmnopq");
  platform.QueueAnswer("%PATH%.example.ne");
  platform.QueueAnswer(" spaces are fine ");
  mnuSetAuthor_Click(app);
  EXPECT_EQ(app.globals.AuthorText, " spaces are fine ");
  ASSERT_EQ(platform.messages.size(), 2u);
  for (const ShownMessage& message : platform.messages) {
    EXPECT_EQ(message.text, "It must not contain a quotation mark (\") or a percent sign (%)");
    EXPECT_EQ(message.icon, MessageIcon::Critical);
  }
}

TEST_F(SetAuthorTest, LineBreaksAndControlCharactersAreRefused) {
  platform.QueueAnswer("ravlo.example\r\nne");
  platform.QueueAnswer(std::string("ravlo.exam\tle.net"));
  platform.QueueAnswer("ravlo.example.org");
  mnuSetAuthor_Click(app);
  EXPECT_EQ(app.globals.AuthorText, "ravlo.example.org");
  ASSERT_EQ(platform.messages.size(), 2u);
  for (const ShownMessage& message : platform.messages) {
    EXPECT_EQ(message.text, "It must not contain a line break or another control character");
  }
}

}  // namespace
}  // namespace ravlo::test
