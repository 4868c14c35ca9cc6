#include "common/numbers.h"
#include "project/writers.h"

namespace ravlo {

std::string FrameServerScriptText(const ProjectPlan& plan) {
  const std::string& br = plan.lineBreak;
  std::string text = "LoadPlugin(\"DGDecode.dll\")" + br;
  if (plan.deinterlace || plan.ivtc) text += "LoadPlugin(\"Decomb.dll\")" + br;
  if (plan.autoCrop) text += "LoadPlugin(\"AutoCrop.dll\")" + br;
  text += "mpeg2source(\"project.d2v\")" + br;
  // Inverse telecine needs to know the standard; with none selected it is left out.
  if (plan.ivtc && plan.standard != PlannedStandard::None) {
    text += "Telecide()" + br;
    text += (plan.standard == PlannedStandard::Ntsc ? "Decimate(cycle=5)" : "Decimate(mode=1)") + br;
  }
  if (plan.deinterlace) text += "FieldDeinterlace()" + br;
  if (plan.resize) {
    std::string size;
    if (plan.aspect == PlannedAspect::Wide) size = "640,360";
    if (plan.aspect == PlannedAspect::Standard) size = "640,480";
    text += plan.resizeFilter + "Resize(" + size + ")" + br;
  }
  if (plan.autoCrop) {
    text += "AutoCrop(mode=0,threshold=" + FormatNumber(plan.cropThreshold) +
            ",samples=" + FormatNumber(plan.cropSamples) + ")" + br;
  }
  return text;
}

}  // namespace ravlo
