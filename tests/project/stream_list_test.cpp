// project.lst and subparam.
#include "project/writers.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class StreamListTest : public ProjectTest {
 protected:
  std::string WriteList() {
    return WriteWith(WriteStreamList, "project.lst");
  }
  std::string WriteParameters() {
    return WriteWith(WriteSubtitleParameters, "subparam");
  }
};

TEST_F(StreamListTest, ListsTheTitleSetsContentVobsInOrder) {
  for (const char* name : {"VTS_01_3.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_01_2.VOB",
                           "VTS_01_0.IFO", "VTS_02_1.VOB", "VIDEO_TS.VOB"}) {
    platform.PutFile(std::string("D:\\VIDEO_TS\\") + name);
  }
  EXPECT_EQ(WriteList(),
            "D:\\VIDEO_TS\\VTS_01_1.VOB\r\nD:\\VIDEO_TS\\VTS_01_2.VOB\r\n"
            "D:\\VIDEO_TS\\VTS_01_3.VOB\r\n\r\n");
  EXPECT_EQ(app.globals.ListFilePath, "E:\\Proj\\project.lst");
}

TEST_F(StreamListTest, VideoTsIfoAndLowerCaseNames) {
  // VIDEO_T*.VOB: VIDEO_TS.VOB does not end in 0.VOB, so it is listed.
  platform.PutFile("D:\\VIDEO_TS\\VIDEO_TS.VOB");
  app.globals.IfoPath = "D:\\VIDEO_TS\\VIDEO_TS.IFO";
  EXPECT_EQ(WriteList(), "D:\\VIDEO_TS\\VIDEO_TS.VOB\r\n\r\n");

  // Lower-case names match the pattern, and the menu VOB is not recognised as one.
  platform.PutFile("F:\\dvd\\vts_02_0.vob");
  platform.PutFile("F:\\dvd\\vts_02_1.vob");
  app.globals.IfoPath = "F:\\dvd\\VTS_02_0.IFO";
  EXPECT_EQ(WriteList(), "F:\\dvd\\vts_02_0.vob\r\nF:\\dvd\\vts_02_1.vob\r\n\r\n");
}

TEST_F(StreamListTest, NoVobLeavesOnlyTheEmptyLineAndASecondSaveReplaces) {
  platform.PutFile("E:\\Proj\\project.lst", "an older and much longer list\r\n\r\n");
  EXPECT_EQ(WriteList(), "\r\n");
}

TEST_F(StreamListTest, SubtitleParametersKeepTheChosenOrder) {
  AddSubtitles({"0x22", "0x20"});
  EXPECT_EQ(WriteParameters(),
            "D:\\VIDEO_TS\\VTS_01_0.IFO\r\nmovie\r\n1\r\n1\r\n2 0 \r\nCLOSE\r\n\r\n");
}

TEST_F(StreamListTest, SubtitleParametersTakeChainAngleAndLastStream) {
  AddSubtitles({"0x3F", "0x20"});
  app.settings.txtTitle.SetText("2");
  app.settings.txtAngle.SetText("2");
  EXPECT_EQ(WriteParameters(),
            "D:\\VIDEO_TS\\VTS_01_0.IFO\r\nmovie\r\n2\r\n2\r\n31 0 \r\nCLOSE\r\n\r\n");
}

}  // namespace
}  // namespace ravlo::test
