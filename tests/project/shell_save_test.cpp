// A save on the shell road: the two scripts, nothing copied, paths the batch cannot carry.
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "project/connect_project.h"
#include "project/save_project.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class ShellSaveTest : public ProjectTest {
 protected:
  // The Linux road's record holds POSIX paths.
  void SetUp() override {
    ProjectTest::SetUp();
    app.road = ProjectRoad::Shell;
    app.globals.AppFolder = "/usr/share/ravlo3/";
    app.globals.IfoPath = "/media/dvd/VIDEO_TS/VTS_01_0.IFO";
    app.globals.ProjectFolder = kFolder;
    std::filesystem::create_directories(platform.HostPath(kFolder));
    AddAudio({"0x80o.ac3"});
    AddSubtitles({"0x20"});
  }
  std::set<std::string> ProjectFiles() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(platform.HostPath(kFolder))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  std::string Project(const std::string& name) const { return platform.GetFile(kFolder + name); }
  bool InFolder(const std::string& name) { return platform.FileExists(kFolder + name); }

  const std::string kFolder = "/home/u/Proj/";
};

TEST_F(ShellSaveTest, WritesTheTwoScriptsWithLineFeedsAndCopiesNoTool) {
  ASSERT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), (std::set<std::string>{"movie.sh", "project.sh"}));
  const std::string script = Project("project.sh");
  EXPECT_EQ(script.rfind("#!/bin/sh -\n", 0), 0u);  // "-": a folder named "-x" is no option
  EXPECT_EQ(script.find('\r'), std::string::npos);
  EXPECT_EQ(script.back(), '\n');
  EXPECT_NE(script.find("-map 0:i:0x80 "), std::string::npos);
  EXPECT_EQ(Project("movie.sh").find('\r'), std::string::npos);
  EXPECT_EQ(platform.CountCalls("CopyFileTo"), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(platform.messages[0].text, "Project saved\n\nScript: /home/u/Proj/project.sh\nPlayback: /home/u/Proj/movie.sh\n");
}

TEST_F(ShellSaveTest, APathOnlyTheBatchCannotCarryIsTakenOnTheShellRoadAlone) {
  app.globals.IfoPath = "/media/\"Best\" of %USER%?*/VTS_01_0.IFO";
  ASSERT_TRUE(SaveProject(app));
  EXPECT_NE(Project("project.sh").find("ifo='/media/\"Best\" of %USER%?*/VTS_01_0.IFO'\n"), std::string::npos);

  app.road = ProjectRoad::Batch;
  app.globals.IfoPath = "D:\\\"Best\" of %USER%\\VTS_01_0.IFO";
  app.globals.ProjectFolder = "E:\\Proj\\";
  EXPECT_FALSE(SaveProject(app));
  EXPECT_NE(platform.messages.back().text.find("quotation mark"), std::string::npos);
  EXPECT_FALSE(InProject("project.bat"));
}

// A folder holding another plan's results is refused, naming them; this plan's own results
// from an earlier run are no reason (the next run replaces them).
TEST_F(ShellSaveTest, AFolderHoldingAnotherPlansResultsIsRefusedNamingThem) {
  struct Case {
    std::vector<std::string> present;
    std::vector<std::string> named;  // empty: saved
  };
  // This plan: 0x80 as MP3, VobSub subtitles.
  const Case cases[] = {
      {{"0x80.mp3", "movie.idx", "movie.sub", "movie.avi", "log.txt"}, {}},
      {{"0x80.mp3", "0x81.mp3"}, {"0x81.mp3"}},
      {{"0x80.ac3", "0x80o.ac3", "0xA0o.wav", "0x81.OGG"}, {"0x80.ac3", "0x80o.ac3", "0x81.OGG", "0xA0o.wav"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(platform.HostPath(kFolder));
    for (const std::string& name : c.present) platform.PutFile(kFolder + name, "earlier");
    platform.messages.clear();
    EXPECT_EQ(SaveProject(app), c.named.empty()) << c.present[1];
    ASSERT_EQ(platform.messages.size(), 1u);
    const std::string& text = platform.messages[0].text;
    if (c.named.empty()) {
      EXPECT_TRUE(InFolder("project.sh")) << text;
      continue;
    }
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
    std::string list;
    for (const std::string& name : c.named) list += "\n  " + name;
    EXPECT_NE(text.find(kFolder + " holds result files that this plan does not make:" + list + "\n"),
              std::string::npos) << text;
    EXPECT_NE(text.find("Nothing was saved."), std::string::npos) << text;
    EXPECT_FALSE(InFolder("project.sh"));
    for (const std::string& name : c.present) EXPECT_EQ(Project(name), "earlier") << name;
  }
}

TEST_F(ShellSaveTest, SaveRunStartsTheScriptAndKeepsThePlannerOpen) {
  ConnectProjectHandlers(app);
  app.settings.mnuSaveRun.Click();
  EXPECT_TRUE(InFolder("project.sh"));
  ASSERT_GE(platform.calls.size(), 1u);
  EXPECT_EQ(platform.calls.back(), "ShellOpen OPEN|project.bat||" + kFolder + "|Normal");
  EXPECT_EQ(platform.closeCount, 0);
}

}  // namespace
}  // namespace ravlo::test
