// The save sequence: which files land in the project folder, the copies, the messages.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "frame/app_globals.h"
#include "project/save_project.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class SaveProjectTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    // Every tool and template, each file holding its own source path so a copy can be traced.
    const AppGlobals& g = app.globals;
    for (const std::string& path : g.ToolPaths) platform.PutFile(path, path);
    for (const char* extra : {"BeSweetv1.5b31\\ac3enc.dll", "BeSweetv1.5b31\\azid.dll",
                              "BeSweetv1.5b31\\hip.dll", "BeSweetv1.5b31\\lame_enc.dll",
                              "rarx360\\rsx.exe"}) {
      platform.PutFile(g.ToolsFolder + extra, g.ToolsFolder + extra);
    }
    for (const char* misc : {"1st.reg", "2nd.reg", "brimmer.exe"}) {
      platform.PutFile(g.MiscFolder + misc, g.MiscFolder + misc);
    }
    s.cmbAudQual.SetText("128");
  }
  std::set<std::string> ProjectFiles() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(platform.HostPath("E:\\Proj"))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }
  // Destination names of the copies, in the order they were made.
  std::vector<std::string> Copies() const {
    std::vector<std::string> names;
    for (const std::string& call : platform.calls) {
      if (call.rfind("CopyFile ", 0) != 0) continue;
      // Copies are made under a temporary name and renamed once complete.
      std::string name = FileNameOf(call.substr(call.find('|') + 1));
      if (name.size() > 8 && name.substr(name.size() - 8) == kPartialSuffix) name.resize(name.size() - 8);
      names.push_back(name);
    }
    return names;
  }
  static std::string FileNameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
};

const std::set<std::string> kAlways = {"project.avs", "project.lst", "project.bat", "movie.bat",
                                       "1st.reg",     "2nd.reg",     "brimmer.exe", "DGDecode.dll",
                                       "DGIndex.exe", "avs2avi.exe", "mplayerc.exe", "gsar.exe"};

std::set<std::string> With(std::initializer_list<const char*> more) {
  std::set<std::string> names = kAlways;
  names.insert(more.begin(), more.end());
  return names;
}

TEST_F(SaveProjectTest, NothingChosenWritesTheFixedSetAndConfirms) {
  s.chkAC.SetValue(false);
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), kAlways);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(platform.messages[0].caption, "Ravlo3");
  EXPECT_EQ(platform.messages[0].text,
            "Project saved\r\n\r\n"
            "BAT path: E:\\Proj\\project.bat\r\n"
            "LST path: E:\\Proj\\project.lst\r\n"
            "AVS path: E:\\Proj\\project.avs\r\n"
            "\r\n"
            "Video 1st pass settings: E:\\Proj\\1st.reg\r\n"
            "Video 2nd pass settings: E:\\Proj\\2nd.reg\r\n");
}

TEST_F(SaveProjectTest, CopiesKeepTheirFixedNamesAndComeFromTheRightFolders) {
  AddAudio({"0x80o.ac3"});
  AddSubtitles({"0x20"});
  s.optAud_AC3.SetValue(true);
  s.chkIVTC.SetValue(true);
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(Copies(), (std::vector<std::string>{
                          "1st.reg", "2nd.reg", "brimmer.exe", "vStrip.exe", "ac3enc.dll",
                          "azid.dll", "BeSweet.exe", "hip.dll", "AutoCrop.dll", "Decomb.dll",
                          "DGDecode.dll", "DGIndex.exe", "avs2avi.exe", "rar32.exe", "rsx.exe",
                          "mplayerc.exe", "gsar.exe"}));
  const std::string tools = app.globals.ToolsFolder;
  EXPECT_EQ(Project("vStrip.exe"), tools + "vStrip_08f\\vStrip.exe");
  EXPECT_EQ(Project("ac3enc.dll"), tools + "BeSweetv1.5b31\\ac3enc.dll");
  EXPECT_EQ(Project("rsx.exe"), tools + "rarx360\\rsx.exe");
  EXPECT_EQ(Project("mplayerc.exe"), tools + "mpc2kxp6482\\mplayerc.exe");
  EXPECT_EQ(Project("2nd.reg"), app.globals.MiscFolder + "2nd.reg");
  EXPECT_EQ(ProjectFiles(), With({"subparam", "vStrip.exe", "ac3enc.dll", "azid.dll",
                                  "BeSweet.exe", "hip.dll", "AutoCrop.dll", "Decomb.dll",
                                  "rar32.exe", "rsx.exe"}));
  EXPECT_NE(platform.messages[0].text.find("AVS path: E:\\Proj\\project.avs\r\n"
                                           "SUB path: E:\\Proj\\subparam\r\n\r\n"),
            std::string::npos);
}

TEST_F(SaveProjectTest, AudioToolsFollowFormatAndOriginal) {
  s.chkAC.SetValue(false);
  AddAudio({"0x80o.ac3"});
  s.optAud_OGG.SetValue(true);
  s.cmbAudQual.SetText("80");
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), With({"vStrip.exe", "azid.dll", "BeSweet.exe", "hip.dll"}));

  std::filesystem::remove_all(platform.HostPath("E:\\Proj"));
  std::filesystem::create_directories(platform.HostPath("E:\\Proj"));
  s.optAud_MP3.SetValue(true);
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(),
            With({"vStrip.exe", "azid.dll", "BeSweet.exe", "hip.dll", "lame_enc.dll"}));

  std::filesystem::remove_all(platform.HostPath("E:\\Proj"));
  std::filesystem::create_directories(platform.HostPath("E:\\Proj"));
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(true);
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), With({"vStrip.exe"}));
}

TEST_F(SaveProjectTest, SrtSubtitlesWriteNoParametersButCopyTheArchiverAndShowTheLine) {
  s.chkAC.SetValue(false);
  s.chkDeinterlace.SetValue(true);
  AddSubtitles({"0x21"});
  s.optSub_SRT.SetValue(true);
  EXPECT_TRUE(SaveProject(app));
  EXPECT_EQ(ProjectFiles(), With({"Decomb.dll", "rar32.exe", "rsx.exe"}));
  EXPECT_NE(platform.messages[0].text.find("SUB path: E:\\Proj\\subparam\r\n"), std::string::npos);
}

TEST_F(SaveProjectTest, EveryFailureIsListedAfterAllStepsRan) {
  AddAudio({"0x80o.ac3"});
  std::filesystem::remove(platform.HostPath(app.globals.ToolPath(Tool::BeSweet)));
  std::filesystem::remove(platform.HostPath(app.globals.MiscFolder + "brimmer.exe"));
  platform.Lock("E:\\Proj\\project.bat");
  EXPECT_FALSE(SaveProject(app));

  // The steps after each failure still ran.
  EXPECT_TRUE(InProject("movie.bat"));
  EXPECT_TRUE(InProject("gsar.exe"));
  EXPECT_TRUE(InProject("hip.dll"));
  EXPECT_FALSE(InProject("project.bat"));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(platform.messages[0].caption, "Ravlo3");
  EXPECT_EQ(platform.messages[0].text,
            "The project in E:\\Proj\\ is incomplete.\r\n\r\n"
            "These files could not be written or copied:\r\n"
            "project.bat: the file is in use by another program\r\n"
            "brimmer.exe (from C:\\Program Files\\Ravlo3\\misc\\brimmer.exe): the file does not "
            "exist\r\n"
            "BeSweet.exe (from C:\\Program Files\\Ravlo3\\tools\\BeSweetv1.5b31\\BeSweet.exe): the "
            "file does not exist\r\n"
            "\r\nCorrect the cause and save again.\r\n");
}

// A full disk mid-save: each file of the folder is either the earlier complete one or absent,
// never a part of one or an empty copy, and the warning names every missing file.
TEST_F(SaveProjectTest, AFailedSaveLeavesNoPartialFile) {
  ASSERT_TRUE(SaveProject(app));
  std::map<std::string, std::string> before;
  for (const std::string& name : ProjectFiles()) before[name] = Project(name);

  AddAudio({"0x80o.ac3", "0x81o.ac3"});  // a longer batch and new tool copies
  s.optAud_MP3.SetValue(true);
  for (const std::uintmax_t room : {0u, 100u, 700u, 2000u}) {
    platform.messages.clear();
    platform.diskSpace = room;
    EXPECT_FALSE(SaveProject(app)) << room;
    for (const std::string& name : ProjectFiles()) {
      EXPECT_EQ(name.find(kPartialSuffix), std::string::npos) << name << " with " << room;
      const std::string text = Project(name);
      if (before.count(name) && text == before[name]) continue;  // the earlier complete file
      // Otherwise this save made it whole: a batch ends with CLS, a copy holds its source.
      if (name == "project.bat") {
        EXPECT_EQ(text.substr(text.size() - 7), "CLS\r\n\r\n") << room;
      } else if (name.find('.') != std::string::npos && name != "project.avs" &&
                 name != "project.lst" && name != "movie.bat") {
        EXPECT_NE(text.find(name.substr(0, name.find('.'))), std::string::npos) << name;
      }
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    const std::string& warning = platform.messages[0].text;
    EXPECT_NE(warning.find("is incomplete"), std::string::npos);
    EXPECT_NE(warning.find("not enough space"), std::string::npos) << warning;
    // Every new file that is absent is named in the warning.
    for (const char* added : {"lame_enc.dll", "BeSweet.exe", "vStrip.exe"}) {
      if (!InProject(added)) {
        EXPECT_NE(warning.find(added), std::string::npos) << added;
      }
    }
  }
}

TEST_F(SaveProjectTest, AMissingFolderIsMadeWhenItsParentExists) {
  app.globals.ProjectFolder = "E:\\New\\";
  EXPECT_TRUE(SaveProject(app)) << platform.messages.back().text;
  EXPECT_EQ(platform.GetFile("E:\\New\\movie.bat").rfind("mplayerc.exe movie.avi", 0), 0u);
}

TEST_F(SaveProjectTest, MissingFolderFailsEveryFileAndNeverClaimsSuccess) {
  app.globals.ProjectFolder = "E:\\Gone\\Deeper\\";  // no parent to make it in
  EXPECT_FALSE(SaveProject(app));
  ASSERT_EQ(platform.messages.size(), 1u);
  const std::string& text = platform.messages[0].text;
  EXPECT_EQ(text.find("Project saved"), std::string::npos);
  for (const char* name : {"E:\\Gone\\Deeper\\: the folder cannot be made", "project.avs:",
                           "project.lst:", "project.bat:", "movie.bat:",
                           "\r\n1st.reg (from", "\r\ngsar.exe (from"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
}

TEST_F(SaveProjectTest, SecondSaveRewritesEveryFile) {
  AddSubtitles({"0x20"});
  EXPECT_TRUE(SaveProject(app));
  const std::string firstBatch = Project("project.bat");
  platform.PutFile("E:\\Proj\\2nd.reg", Project("2nd.reg") + "\"desired_size\"=dword:00001000\r\n");
  s.lstSO_code.ClearItems();
  s.cmbMS.SetText("1493");
  EXPECT_TRUE(SaveProject(app)) << platform.messages.back().text;
  EXPECT_EQ(Project("2nd.reg"), app.globals.MiscFolder + "2nd.reg");
  EXPECT_LT(Project("project.bat").size(), firstBatch.size());
  EXPECT_EQ(Project("project.bat").find("@ECHO OFF", 1), std::string::npos);
  EXPECT_TRUE(InProject("subparam"));  // left from the first save: nothing else is touched
  EXPECT_EQ(platform.messages[1].text.find("SUB path"), std::string::npos);
}

}  // namespace
}  // namespace ravlo::test
