#include "project/writers.h"
#include "project_fixture.h"

namespace ravlo::test {
namespace {

class FrameServerScriptTest : public ProjectTest {
 protected:
  void NoFilters() {
    s.chkAC.SetValue(false);
    s.chkResize.SetValue(false);
    s.chkIVTC.SetValue(false);
    s.chkDeinterlace.SetValue(false);
  }
  std::string Write() {
    return WriteWith(WriteFrameServerScript, "project.avs");
  }
};

TEST_F(FrameServerScriptTest, EveryFilterOnNtscWideGivesTheTenLines) {
  s.optNTSC.SetValue(true);
  s.opt16_9.SetValue(true);
  s.chkIVTC.SetValue(true);
  s.chkDeinterlace.SetValue(true);
  EXPECT_EQ(Write(),
            "LoadPlugin(\"DGDecode.dll\")\r\n"
            "LoadPlugin(\"Decomb.dll\")\r\n"
            "LoadPlugin(\"AutoCrop.dll\")\r\n"
            "mpeg2source(\"project.d2v\")\r\n"
            "Telecide()\r\n"
            "Decimate(cycle=5)\r\n"
            "FieldDeinterlace()\r\n"
            "LanczosResize(640,360)\r\n"
            "AutoCrop(mode=0,threshold=20,samples=10)\r\n"
            "\r\n");
}

TEST_F(FrameServerScriptTest, NoFilterLeavesPluginSourceAndEmptyLine) {
  NoFilters();
  s.optPAL.SetValue(true);
  EXPECT_EQ(Write(), "LoadPlugin(\"DGDecode.dll\")\r\nmpeg2source(\"project.d2v\")\r\n\r\n");
}

TEST_F(FrameServerScriptTest, InverseTelecineDependsOnTheStandard) {
  NoFilters();
  s.chkIVTC.SetValue(true);
  s.optPAL.SetValue(true);
  EXPECT_EQ(Write(), Crlf({"LoadPlugin(\"DGDecode.dll\")", "LoadPlugin(\"Decomb.dll\")",
                           "mpeg2source(\"project.d2v\")", "Telecide()", "Decimate(mode=1)", ""}));

  // No standard known: the plug-in is still loaded, the filters are left out.
  s.optPAL.SetValue(false);
  ASSERT_FALSE(s.optNTSC.IsSet());
  ASSERT_FALSE(s.optPAL.IsSet());
  EXPECT_EQ(Write(), Crlf({"LoadPlugin(\"DGDecode.dll\")", "LoadPlugin(\"Decomb.dll\")",
                           "mpeg2source(\"project.d2v\")", ""}));
}

TEST_F(FrameServerScriptTest, IvtcAndDeinterlaceShareOnePluginLine) {
  NoFilters();
  s.optPAL.SetValue(true);
  s.chkIVTC.SetValue(true);
  s.chkDeinterlace.SetValue(true);
  EXPECT_EQ(Write(),
            Crlf({"LoadPlugin(\"DGDecode.dll\")", "LoadPlugin(\"Decomb.dll\")",
                  "mpeg2source(\"project.d2v\")", "Telecide()", "Decimate(mode=1)",
                  "FieldDeinterlace()", ""}));
}

TEST_F(FrameServerScriptTest, ResizeTakesFilterAndAspectAndCropTakesItsNumbers) {
  NoFilters();
  s.chkResize.SetValue(true);
  s.cmbResize.SetText("Bicubic");
  s.opt4_3.SetValue(true);
  s.chkAC.SetValue(true);
  s.txtAC_Threshold.SetText("0");
  s.txtAC_Samples.SetText(" 7");
  EXPECT_EQ(Write(), Crlf({"LoadPlugin(\"DGDecode.dll\")", "LoadPlugin(\"AutoCrop.dll\")",
                           "mpeg2source(\"project.d2v\")", "BicubicResize(640,480)",
                           "AutoCrop(mode=0,threshold=0,samples=7)", ""}));

  s.opt4_3.SetValue(false);  // no aspect ratio known
  NoFilters();
  s.chkResize.SetValue(true);
  EXPECT_EQ(Write(), Crlf({"LoadPlugin(\"DGDecode.dll\")", "mpeg2source(\"project.d2v\")",
                           "BicubicResize()", ""}));
}

TEST_F(FrameServerScriptTest, LockedFileIsReportedAndNotChanged) {
  platform.PutFile("E:\\Proj\\project.avs", "old");
  platform.Lock("E:\\Proj\\project.avs");
  SaveReport report;
  WriteFrameServerScript(app, report);
  ASSERT_EQ(report.failures.size(), 1u);
  EXPECT_EQ(report.failures[0].file, "project.avs");
  EXPECT_EQ(report.failures[0].reason, "the file is in use by another program");
  EXPECT_EQ(Project("project.avs"), "old");
}

}  // namespace
}  // namespace ravlo::test
