// A save on the shell road: the two scripts, nothing copied, paths the batch cannot carry.
#include <filesystem>
#include <set>

#include "project/connect_project.h"
#include "project/save_project.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class ShellSaveTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    app.road = ProjectRoad::Shell;
    AddAudio({"0x80o.ac3"});
    AddSubtitles({"0x20"});
  }
  std::set<std::string> ProjectFiles() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(platform.HostPath("E:\\Proj"))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
};

TEST_F(ShellSaveTest, WritesTheTwoScriptsWithLineFeedsAndCopiesNoTool) {
  ASSERT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), (std::set<std::string>{"movie.sh", "project.sh"}));
  const std::string script = Project("project.sh");
  EXPECT_EQ(script.rfind("#!/bin/sh\n", 0), 0u);
  EXPECT_EQ(script.find('\r'), std::string::npos);
  EXPECT_EQ(script.back(), '\n');
  EXPECT_NE(script.find("-map 0:i:0x80 "), std::string::npos);
  EXPECT_EQ(Project("movie.sh").find('\r'), std::string::npos);
  EXPECT_EQ(platform.CountCalls("CopyFileTo"), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(platform.messages[0].text, "Project saved\n\nScript: E:/Proj/project.sh\nPlayback: E:/Proj/movie.sh\n");
}

TEST_F(ShellSaveTest, APathOnlyTheBatchCannotCarryIsTakenOnTheShellRoadAlone) {
  app.globals.IfoPath = "D:\\\"Best\" of %USER%\\VTS_01_0.IFO";
  ASSERT_TRUE(SaveProject(app));
  EXPECT_NE(Project("project.sh").find("ifo='D:/\"Best\" of %USER%/VTS_01_0.IFO'\n"), std::string::npos);

  app.road = ProjectRoad::Batch;
  std::filesystem::remove(platform.HostPath("E:\\Proj\\project.sh"));
  EXPECT_FALSE(SaveProject(app));
  EXPECT_NE(platform.messages.back().text.find("quotation mark"), std::string::npos);
  EXPECT_FALSE(InProject("project.bat"));
}

TEST_F(ShellSaveTest, SaveRunStartsTheScriptAndKeepsThePlannerOpen) {
  ConnectProjectHandlers(app);
  app.settings.mnuSaveRun.Click();
  EXPECT_TRUE(InProject("project.sh"));
  ASSERT_GE(platform.calls.size(), 1u);
  EXPECT_EQ(platform.calls.back(), "ShellOpen OPEN|project.bat||E:\\Proj\\|Normal");
  EXPECT_EQ(platform.closeCount, 0);
}

}  // namespace
}  // namespace ravlo::test
