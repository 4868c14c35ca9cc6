#include <sstream>
#include <vector>

#include "project/writers.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

const std::string kVStrip80 =
    "START /w vStrip.exe @project.lst -i\"D:\\VIDEO_TS\\VTS_01_0.IFO\" -p0 -j1 -!do0x80o.ac3 0xBD 0x80";
const std::string kVStrip81 =
    "START /w vStrip.exe @project.lst -i\"D:\\VIDEO_TS\\VTS_01_0.IFO\" -p0 -j1 -!do0x81o.ac3 0xBD 0x81";

// Lines of the fixed head (A and B, film option off) and of the fixed tail (E and F).
std::string Head() {
  return Crlf({"@ECHO OFF", "", "ECHO Encoding - do not close this window...", "",
               "ECHO Analysis: %time% > log.txt",
               "START /w DGIndex.exe -AIF=[D:\\VIDEO_TS\\VTS_01_1.VOB] -OM=0 -OF=[project] -exit",
               ""});
}
std::string VideoAndAuthor() {
  return Crlf({"ECHO Video 1st pass: %time% >> log.txt", "START /w regedit /s 1st.reg",
               "START /w avs2avi.exe project.avs movie.avi -w -c XVID", "",
               "ECHO Video 2nd pass: %time% >> log.txt", "START /w brimmer.exe 699",
               "START /w regedit /s 2nd.reg",
               "START /w avs2avi.exe project.avs movie.avi -w -c XVID", "",
               "ECHO Set author: %time% >> log.txt",
               "START /w gsar.exe -s\"DSPguru.doom9.net\" -r\"ravlo.example.net\" -o *.mp3 *.ogg *.ac3",
               "", "ECHO End: %time% >> log.txt"});
}

class ProjectBatchTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    s.cmbAudQual.SetText("128");
  }
  void NoOptions() {
    s.chkDelTemp.SetValue(false);
    s.chkDelLogs.SetValue(false);
  }
  std::string Write() {
    return WriteWith(WriteProjectBatch, "project.bat");
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    const std::string text = Write();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last line break";
    return lines;
  }
  // The lines after "ECHO End", the last two (CLS and the empty line) left off.
  std::vector<std::string> CleanUp() {
    std::vector<std::string> lines = Lines();
    auto end = std::find(lines.begin(), lines.end(), "ECHO End: %time% >> log.txt");
    EXPECT_NE(end, lines.end());
    EXPECT_GE(lines.size(), 2u);
    return {end + 1, lines.end() - 2};
  }
  std::vector<std::string> ConversionLines() {
    std::vector<std::string> found;
    for (const std::string& line : Lines()) {
      if (line.rfind("START /w BeSweet.exe", 0) == 0) found.push_back(line);
    }
    return found;
  }
};

TEST_F(ProjectBatchTest, OneOriginalStreamExample) {
  NoOptions();
  AddAudio({"0x80o.ac3"});
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(true);
  EXPECT_EQ(Write(), Head() + Crlf({"ECHO Audio: %time% >> log.txt", kVStrip80}) +
                         VideoAndAuthor() + Crlf({"CLS", ""}));
  EXPECT_TRUE(platform.inputBoxes.empty());
}

TEST_F(ProjectBatchTest, TwoStreamsToMp3WithDefaultCleanUp) {
  AddAudio({"0x80o.ac3", "0x81o.ac3"});
  const std::string convert =
      " ) -ota( -g max -d auto ) -azid( -L -3db -c normal -s surround2 ) -lame( -b 128 )";
  EXPECT_EQ(Write(),
            Head() +
                Crlf({"ECHO Audio: %time% >> log.txt", kVStrip80, kVStrip81,
                      "START /w BeSweet.exe -core( -input 0x80o.ac3 -output 0x80.mp3 -logfile "
                      "0x80.log -substream 0x80" + convert,
                      "START /w BeSweet.exe -core( -input 0x81o.ac3 -output 0x81.mp3 -logfile "
                      "0x81.log -substream 0x81" + convert,
                      "DEL 0x80o.ac3", "DEL 0x81o.ac3", ""}) +
                VideoAndAuthor() +
                Crlf({"DEL 1st.reg", "DEL 2nd.reg", "DEL brimmer.exe", "DEL vStrip.exe",
                      "DEL azid.dll", "DEL BeSweet.exe", "DEL hip.dll", "DEL lame_enc.dll",
                      "DEL AutoCrop.dll", "DEL DGDecode.dll", "DEL DGIndex.exe",
                      "DEL avs2avi.exe", "DEL gsar.exe", "DEL 0x80.log", "DEL 0x81.log",
                      "DEL project.avs", "DEL project.d2v", "DEL project.lst", "CLS", ""}));
}

TEST_F(ProjectBatchTest, NothingChosenWithEveryOptionOff) {
  NoOptions();
  s.chkForceFilm.SetValue(true);
  std::string expected = Head() + VideoAndAuthor() + Crlf({"CLS", ""});
  expected.replace(expected.find("] -OM=0"), 2, "] -FO 1 ");
  EXPECT_EQ(Write(), expected);
}

TEST_F(ProjectBatchTest, Ac3FormsDependOnSixChannels) {
  AddAudio({"0x81o.ac3"});
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(false);
  s.cmbAudQual.SetText("448");
  s.cmbBS_DC.SetText("light");
  s.chk51.SetValue(true);
  const std::string core =
      "START /w BeSweet.exe -core( -input 0x81o.ac3 -output 0x81.ac3 -logfile 0x81.log "
      "-substream 0x81 ) -ota( -g max -d auto ) -azid( ";
  EXPECT_EQ(ConversionLines(),
            std::vector<std::string>{core + "-c light ) -ac3enc( -b 448 -6ch )"});
  s.chk51.SetValue(false);
  EXPECT_EQ(ConversionLines(), std::vector<std::string>{
                                   core + "-L -3db -c light -s surround2 ) -ac3enc( -b 448 )"});
}

TEST_F(ProjectBatchTest, OggQualityComesFromTheTableOrTheUser) {
  AddAudio({"0xA0o.wav"});
  s.optAud_OGG.SetValue(true);
  s.cmbAudQual.SetText("64");
  const std::string core =
      "START /w BeSweet.exe -core( -input 0xA0o.wav -output 0xA0.ogg -logfile 0xA0.log "
      "-substream 0xA0 ) -ota( -g max -d auto ) -azid( -L -3db -c normal -s surround2 ) -ogg( -q ";
  EXPECT_EQ(ConversionLines(), std::vector<std::string>{core + "0.001 )"});
  EXPECT_TRUE(platform.inputBoxes.empty());

  s.cmbAudQual.SetText("100");
  platform.QueueAnswer("0.350");
  EXPECT_EQ(ConversionLines(), std::vector<std::string>{core + "0.350 )"});
  ASSERT_EQ(platform.inputBoxes.size(), 1u);
  EXPECT_EQ(platform.inputBoxes[0].title, "Input OGG Quality");

  // Without audio the quality is not asked for and keeps its value.
  s.lstAO_code.ClearItems();
  Write();
  EXPECT_EQ(platform.inputBoxes.size(), 1u);
  EXPECT_EQ(app.globals.OggQuality, "0.350");
}

TEST_F(ProjectBatchTest, ProgramChainAndAngleArguments) {
  AddAudio({"0x80o.ac3"});
  s.txtTitle.SetText("3");
  s.txtAngle.SetText("2");
  std::vector<std::string> lines = Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "START /w vStrip.exe @project.lst -i\"D:\\VIDEO_TS\\VTS_01_0.IFO\" -p2 -j2 "
                      "-!do0x80o.ac3 0xBD 0x80"),
            lines.end());
}

TEST_F(ProjectBatchTest, SubtitleSectionByFormat) {
  NoOptions();
  AddSubtitles({"0x20", "0x21"});
  EXPECT_EQ(Write(), Head() +
                         Crlf({"ECHO Subtitles: %time% >> log.txt",
                               "START /w rundll32 vobsub.dll,Configure subparam",
                               "START /w rar32.exe a -ep movie.rar movie.sub", ""}) +
                         VideoAndAuthor() + Crlf({"CLS", ""}));
  s.optSub_SRT.SetValue(true);
  EXPECT_EQ(Write(), Head() + Crlf({"ECHO Subtitles: %time% >> log.txt"}) + VideoAndAuthor() +
                         Crlf({"CLS", ""}));
}

TEST_F(ProjectBatchTest, TemporaryFilesFollowTheChoices) {
  s.chkDelLogs.SetValue(false);
  s.chkAC.SetValue(false);
  s.chkIVTC.SetValue(true);
  AddSubtitles({"0x20"});
  s.optSub_SRT.SetValue(true);  // the subtitle rows do not depend on the format
  AddAudio({"0x80o.ac3"});
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(false);
  EXPECT_EQ(CleanUp(),
            (std::vector<std::string>{"DEL movie.sub", "DEL subparam", "DEL 1st.reg",
                                      "DEL 2nd.reg", "DEL brimmer.exe", "DEL vStrip.exe",
                                      "DEL ac3enc.dll", "DEL azid.dll", "DEL BeSweet.exe",
                                      "DEL hip.dll", "DEL Decomb.dll", "DEL DGDecode.dll",
                                      "DEL DGIndex.exe", "DEL avs2avi.exe", "DEL rar32.exe",
                                      "DEL rsx.exe", "DEL gsar.exe"}));

  // Unconverted audio: none of the converter's files; deinterlacing alone still needs Decomb.
  s.chkOrig.SetValue(true);
  s.chkIVTC.SetValue(false);
  s.chkDeinterlace.SetValue(true);
  s.lstSO_code.ClearItems();
  EXPECT_EQ(CleanUp(), (std::vector<std::string>{"DEL 1st.reg", "DEL 2nd.reg",
                                                 "DEL brimmer.exe", "DEL vStrip.exe",
                                                 "DEL Decomb.dll", "DEL DGDecode.dll",
                                                 "DEL DGIndex.exe", "DEL avs2avi.exe",
                                                 "DEL gsar.exe"}));
}

TEST_F(ProjectBatchTest, LogsAreDeletedPerStreamEvenUnconvertedAndShutdownComesLast) {
  s.chkDelTemp.SetValue(false);
  s.chkShutDown.SetValue(true);
  AddAudio({"0x81o.ac3", "0xA0o.wav"});
  s.optAud_AC3.SetValue(true);
  s.chkOrig.SetValue(true);
  const std::vector<std::string> lines = Lines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 8, lines.end()),
            (std::vector<std::string>{"DEL 0x81.log", "DEL 0xA0.log", "DEL project.avs",
                                      "DEL project.d2v", "DEL project.lst", "shutdown -s", "CLS",
                                      ""}));
}

TEST_F(ProjectBatchTest, FractionalMediaSizeAndNewAuthorAndASecondWriteReplaces) {
  NoOptions();
  s.cmbMS.SetText(" 699.5 ");
  app.globals.AuthorText = "www.example.org.x";
  std::string text = Write();
  EXPECT_NE(text.find("\r\nSTART /w brimmer.exe 699.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("-r\"www.example.org.x\" -o"), std::string::npos);
  s.cmbMS.SetText("4478");
  AddAudio({"0x80o.ac3"});
  text = Write();
  EXPECT_EQ(text.find("@ECHO OFF", 1), std::string::npos);
  EXPECT_NE(text.find("\r\nSTART /w brimmer.exe 4478\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 7), "CLS\r\n\r\n");
}

}  // namespace
}  // namespace ravlo::test
