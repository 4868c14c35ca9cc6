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
    // XviD in AVI: the movie with its tracks in files beside it (the one-file plans below).
    app.settings.cmbVideo.SetText("XviD");
    app.settings.cmbContainer.SetText("AVI");
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

// The Linux road's own choices: the Windows program has no codec or container to choose.
#ifndef _WIN32
// One file of H.264, H.265 or AV1: MKV carries everything, MP4 neither the disc's subtitles
// nor Vorbis; XviD stays in AVI. A saved plan names its file after the disc and writes mux.sh;
// another movie file in the folder is refused like another plan's results.
TEST_F(ShellSaveTest, APlanOfOneFileIsSavedOrRefusedByWhatItsContainerCarries) {
  const struct {
    const char* video;
    const char* container;
    Field ProjectSettings::*format;
    bool subtitles;
    const char* present;  // a file in the folder before the save, or ""
    const char* expected;  // saved: a line of mux.sh; refused: a line of the message
  } rows[] = {
      {"H.264", "MKV", &ProjectSettings::optAud_MP3, true, "",
       "  --language 0:und --track-name 0:'0x20' --default-track-flag 0:no tracks/subtitles.idx"},
      {"H.265", "MP4", &ProjectSettings::optAud_AAC, false, "dvd.mp4",
       "  -map 0:v -map 1:a -map_chapters 2 -c copy -metadata title='dvd' \\"},
      {"H.264", "MKV", &ProjectSettings::optAud_OPUS, false, "other.mkv", "  other.mkv"},
      {"H.264", "MP4", &ProjectSettings::optAud_MP3, true, "",
       "MP4 cannot carry the disc's bitmap subtitles in a way players show them: choose MKV, or no subtitles."},
      {"H.264", "MP4", &ProjectSettings::optAud_OGG, false, "",
       "File type: \"MP4\" cannot go into the project."},
      {"XviD", "MKV", &ProjectSettings::optAud_MP3, false, "",
       "XviD video goes into AVI, with the audio and subtitles in files beside it; H.264 and H.265 go into one MKV or MP4 file."},
      {"H.265", "AVI", &ProjectSettings::optAud_MP3, false, "", "AVI holds XviD video only; H.265 goes into MKV or MP4."},
      {"XviD", "AVI", &ProjectSettings::optAud_AAC, false, "",
       "Audio format: \"AAC\" cannot go into the project."},
      // The fake ffmpeg keeps no statistics, as Debian 12's does not for AV1.
      {"AV1", "MKV", &ProjectSettings::optAud_MP3, false, "",
       "The installed ffmpeg keeps no first-pass statistics for libsvtav1, so AV1 cannot be made in two passes"},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(platform.HostPath(kFolder));
    if (*row.present) platform.PutFile(kFolder + row.present, "earlier");
    s.cmbVideo.SetText(row.video);
    s.cmbContainer.SetText(row.container);
    (s.*row.format).SetValue(true);
    s.chkOrig.SetValue(false);
    s.lstSO_code.ClearItems();
    if (row.subtitles) AddSubtitles({"0x20"});
    platform.messages.clear();
    const bool saved = SaveProject(app);
    const std::string what = std::string(row.video) + " in " + row.container;
    ASSERT_EQ(platform.messages.size(), 1u) << what;
    if (!saved) {
      EXPECT_NE(platform.messages[0].text.find(row.expected), std::string::npos)
          << what << ": " << platform.messages[0].text;
      EXPECT_FALSE(InFolder("project.sh")) << what;
      continue;
    }
    const std::string stem = std::string("dvd.") + (std::string(row.container) == "MKV" ? "mkv" : "mp4");
    std::set<std::string> files{"movie.sh", "mux.sh", "project.sh"};
    if (*row.present) files.insert(row.present);
    EXPECT_EQ(ProjectFiles(), files) << what;
    EXPECT_NE(Project("mux.sh").find(std::string(row.expected) + "\n"), std::string::npos) << what << ":\n" << Project("mux.sh");
    EXPECT_NE(Project("project.sh").find("movie='" + stem + "'\n"), std::string::npos) << what;
    EXPECT_NE(Project("movie.sh").find("exec mpv '" + stem + "'\n"), std::string::npos) << what;
  }
}

// Ticked titles: two or more make a file each, named after the disc and the chain, sharing the
// medium or each with its own; one ticked is the chain to convert; XviD makes no such files.
TEST_F(ShellSaveTest, TickedTitlesMakeAFileEachOrTheOneChain) {
  const struct {
    std::vector<int> ticked;  // 0-based items of the list
    const char* video;
    bool each;
    const char* expected;  // saved: a line of project.sh; refused: a part of the message
  } rows[] = {
      {{0, 2}, "H.264", false, "titles='1 3'\nresults='dvd_1.mkv dvd_3.mkv'\n"},
      {{0, 1, 2}, "H.265", true, "  --medium-each \"$medium_bytes\" --mux ./mux.sh --outs \"$parts\"\n"},
      {{1}, "H.264", false, "chain=2\n"},
      {{0, 1}, "XviD", false, "Several titles go each into a file of its own, MKV or MP4"},
  };
  for (const auto& row : rows) {
    std::filesystem::remove_all(platform.HostPath(kFolder));
    s.lstTitles.ClearItems();
    for (const char* chain : {"1. Length: 00:20:00, 2 chapters", "2. Length: 00:20:00, 2 chapters",
                              "3. Length: 00:21:00, 3 chapters"}) {
      s.lstTitles.AddItem(chain);
    }
    for (const int item : row.ticked) s.lstTitles.SetChecked(item, true);
    s.chkSizeEach.SetValue(row.each);
    s.cmbVideo.SetText(row.video);
    s.cmbContainer.SetText(std::string(row.video) == "XviD" ? "AVI" : "MKV");
    s.lstSO_code.ClearItems();
    platform.messages.clear();
    const bool saved = SaveProject(app);
    ASSERT_EQ(platform.messages.size(), 1u) << row.expected;
    if (!saved) {
      EXPECT_NE(platform.messages[0].text.find(row.expected), std::string::npos) << platform.messages[0].text;
      EXPECT_FALSE(InFolder("project.sh"));
      continue;
    }
    EXPECT_NE(Project("project.sh").find(row.expected), std::string::npos) << Project("project.sh");
    if (row.ticked.size() > 1) {
      EXPECT_NE(Project("mux.sh").find("dir=$3 title='dvd, title '${3#title}\n"), std::string::npos) << Project("mux.sh");
      EXPECT_NE(Project("movie.sh").find("exec mpv 'dvd_1.mkv'"), std::string::npos) << Project("movie.sh");
    }
  }
}

// Picking XviD brings AVI along and AVI brings XviD; leaving either brings H.264 in MKV; a text
// being typed changes nothing.
TEST_F(ShellSaveTest, TheCodecAndTheContainerFollowEachOther) {
  ConnectProjectHandlers(app);
  const struct {
    const char* video;
    const char* container;
    Field ProjectSettings::*picked;
    const char* value;
    const char* videoAfter;
    const char* containerAfter;
  } rows[] = {
      {"H.264", "MKV", &ProjectSettings::cmbVideo, "XviD", "XviD", "AVI"},
      {"XviD", "AVI", &ProjectSettings::cmbVideo, "H.265", "H.265", "MKV"},
      {"H.264", "MP4", &ProjectSettings::cmbContainer, "AVI", "XviD", "AVI"},
      {"XviD", "AVI", &ProjectSettings::cmbContainer, "MP4", "H.264", "MP4"},
      {"H.265", "MKV", &ProjectSettings::cmbContainer, "MP4", "H.265", "MP4"},
      {"XviD", "AVI", &ProjectSettings::cmbVideo, "H.2", "H.2", "AVI"},
  };
  for (const auto& row : rows) {
    s.cmbVideo.SetText(row.video);
    s.cmbContainer.SetText(row.container);
    ASSERT_EQ(s.cmbVideo.Text() + " " + s.cmbContainer.Text(), std::string(row.video) + " " + row.container);
    (s.*row.picked).SetText(row.value);
    EXPECT_EQ(s.cmbVideo.Text() + " " + s.cmbContainer.Text(), std::string(row.videoAfter) + " " + row.containerAfter)
        << row.video << " in " << row.container << ", picked " << row.value;
  }
}

#endif  // _WIN32

TEST_F(ShellSaveTest, SaveRunStartsTheScriptAndKeepsThePlannerOpen) {
  ConnectProjectHandlers(app);
  app.settings.mnuSaveRun.Click();
  EXPECT_TRUE(InFolder("project.sh"));
  ASSERT_GE(platform.calls.size(), 1u);
  EXPECT_EQ(platform.calls.back(), "ShellOpen OPEN|project.bat||" + kFolder + "|Normal");
  EXPECT_EQ(platform.closeCount, 0);
}

// The medium against the title on the Linux road: one the title cannot fit into is refused,
// naming the smallest that works; one the job cannot fill to 90% is saved only when the user
// says so, told the fill to expect. The Windows program takes both as before, and a chain of
// unknown length is taken as it is.
TEST_F(ShellSaveTest, TheMediumIsCheckedAgainstTheTitlesLength) {
  enum Outcome { Saved, Refused, Warned };
  struct Case {
    ProjectRoad road;
    const char* seconds;
    const char* size;
    Outcome outcome;
    const char* said;  // in the refusal or the warning
  } cases[] = {
      // 90 s of PAL 16:9 resized to 640x360 with one MP3 stream at 128 kbit/s: at least
      // 2.66 MB; at most 159.37 MB, of which 22% fill 699 MB.
      {ProjectRoad::Shell, "90", "1", Refused, "The title's 1:30 of video at the codec's smallest and its audio need more: the smallest medium that works is 2.66 MB."},
      {ProjectRoad::Shell, "90", "2.65", Refused, "the smallest medium that works is 2.66 MB"},
      {ProjectRoad::Shell, "90", "2.66", Saved, ""},
      {ProjectRoad::Shell, "90", "177", Saved, ""},
      {ProjectRoad::Shell, "90", "178", Warned, "Expect a fill of 89% at most"},
      {ProjectRoad::Shell, "90", "699", Warned,
       "The title cannot fill the medium of 699 MB: even at the best quality its 1:30 take about 159.37 MB at most.\n"
       "Expect a fill of 22% at most; a smaller medium is filled better."},
      {ProjectRoad::Shell, "5400", "699", Saved, ""},
      {ProjectRoad::Shell, "", "1", Saved, ""},
      {ProjectRoad::Batch, "90", "1", Saved, ""},
      {ProjectRoad::Batch, "90", "699", Saved, ""},
  };
  s.optPAL.SetValue(true);
  s.opt16_9.SetValue(true);
  s.optAud_MP3.SetValue(true);
  s.lstSO_code.ClearItems();
  for (const Case& c : cases) {
    for (const bool yes : {false, true}) {
      if (c.outcome != Warned && yes) continue;
      SCOPED_TRACE(std::string(c.seconds) + " s on " + c.size + " MB" + (yes ? ", answered yes" : ""));
      app.road = c.road;
      app.globals.ProjectFolder = c.road == ProjectRoad::Shell ? kFolder : "E:\\Proj\\";
      std::filesystem::remove_all(platform.HostPath(app.globals.ProjectFolder));
      std::filesystem::create_directories(platform.HostPath(app.globals.ProjectFolder));
      s.txtSec.SetText(c.seconds);
      s.cmbMS.SetText(c.size);
      platform.messages.clear();
      platform.questions.clear();
      if (c.road == ProjectRoad::Batch) {  // its save would copy tools the fake has not
        EXPECT_TRUE(BuildProjectPlan(app).plan);
        continue;
      }
      if (yes) platform.QueueAnswer("yes");
      const bool saved = SaveProject(app);
      EXPECT_EQ(saved, c.outcome == Saved || yes);
      EXPECT_EQ(InFolder("project.sh"), saved);
      if (c.outcome == Warned) {
        ASSERT_EQ(platform.questions.size(), 1u);
        EXPECT_NE(platform.questions[0].text.find(c.said), std::string::npos) << platform.questions[0].text;
        EXPECT_EQ(platform.questions[0].question, "Save?");
      } else {
        EXPECT_TRUE(platform.questions.empty()) << platform.questions[0].text;
      }
      if (c.outcome == Refused) {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::Warning);
        EXPECT_NE(platform.messages[0].text.find("Media size: \"" + std::string(c.size) + "\""),
                  std::string::npos) << platform.messages[0].text;
        EXPECT_NE(platform.messages[0].text.find(c.said), std::string::npos) << platform.messages[0].text;
      }
    }
  }
}

// A folder just chosen that holds a project's files is named before they are replaced; a no
// saves nothing and forgets the folder, so the next save asks again. The save's own folder,
// saved into again, asks nothing.
TEST_F(ShellSaveTest, AChosenFolderHoldingAProjectIsNamedBeforeItsFilesAreReplaced) {
  ConnectProjectHandlers(app);
  struct Case {
    std::vector<std::string> present;
    const char* answer;  // nullptr: none asked for
    bool saved;
  } cases[] = {
      {{}, nullptr, true},
      {{"project.sh", "movie.avi"}, "no", false},
      {{"project.sh", "movie.avi"}, "yes", true},
      {{"movie.sub", "0x80.mp3", "notes.txt"}, "yes", true},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(platform.HostPath(kFolder));
    std::filesystem::create_directories(platform.HostPath(kFolder));
    for (const std::string& name : c.present) platform.PutFile(kFolder + name, "earlier");
    app.globals.ProjectFolder.clear();
    platform.questions.clear();
    platform.QueueAnswer("/home/u/Proj");
    if (c.answer) platform.QueueAnswer(c.answer);
    s.mnuSave.Click();
    EXPECT_EQ(platform.PendingAnswers(), 0u);
    EXPECT_EQ(InFolder("project.sh") && Project("project.sh") != "earlier", c.saved);
    EXPECT_EQ(app.globals.ProjectFolder, c.saved ? kFolder : "");
    if (!c.answer) {
      EXPECT_TRUE(platform.questions.empty());
      continue;
    }
    ASSERT_EQ(platform.questions.size(), 1u);
    std::string named;
    for (const std::string& name : c.present) {
      if (name != "notes.txt") named += "\n  " + name;
    }
    EXPECT_NE(platform.questions[0].text.find(kFolder + " holds files of a project, which this save and its job replace:"),
              std::string::npos) << platform.questions[0].text;
    EXPECT_NE(platform.questions[0].text.find(named), std::string::npos) << platform.questions[0].text;
    EXPECT_EQ(platform.questions[0].text.find("notes.txt"), std::string::npos);
  }
  // Saved again into its own folder: no question.
  platform.questions.clear();
  s.mnuSave.Click();
  EXPECT_TRUE(platform.questions.empty());
}

}  // namespace
}  // namespace ravlo::test
