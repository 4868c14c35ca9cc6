#include "project/writers.h"

namespace ravlo {

void WriteFrameServerScript(AppState& app, SaveReport& report) {
  const ProjectSettings& s = app.settings;
  const std::string& br = app.globals.LineBreak;
  const bool ivtc = s.chkIVTC.Value() == 1;
  const bool deinterlace = s.chkDeinterlace.Value() == 1;
  const bool autoCrop = s.chkAC.Value() == 1;

  std::string text = "LoadPlugin(\"DGDecode.dll\")" + br;
  if (deinterlace || ivtc) text += "LoadPlugin(\"Decomb.dll\")" + br;
  if (autoCrop) text += "LoadPlugin(\"AutoCrop.dll\")" + br;
  text += "mpeg2source(\"project.d2v\")" + br;
  // Inverse telecine needs to know the standard; with none selected it is left out.
  if (ivtc && (s.optNTSC.IsSet() || s.optPAL.IsSet())) {
    text += "Telecide()" + br;
    text += (s.optNTSC.IsSet() ? "Decimate(cycle=5)" : "Decimate(mode=1)") + br;
  }
  if (deinterlace) text += "FieldDeinterlace()" + br;
  if (s.chkResize.Value() == 1) {
    std::string size;
    if (s.opt16_9.IsSet()) size = "640,360";
    if (s.opt4_3.IsSet()) size = "640,480";
    text += s.cmbResize.Text() + "Resize(" + size + ")" + br;
  }
  if (autoCrop) {
    text += "AutoCrop(mode=0,threshold=" + s.txtAC_Threshold.Text() +
            ",samples=" + s.txtAC_Samples.Text() + ")" + br;
  }
  WriteProjectFile(app, "project.avs", text, report);
}

}  // namespace ravlo
