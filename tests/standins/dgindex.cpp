// Test double of DGIndex: "-AIF=[first.vob] [-FO 1 ]-OM=0 -OF=[project] -exit" writes
// project.d2v in the working folder. The first VOB must exist, as for the real indexer.
#include <string>

#include "standin_io.h"

int main() {
  const std::string arguments = standin::ArgumentText();
  standin::LogCall("DGIndex.exe", arguments);
  const auto vob = standin::Between(arguments, "-AIF=[", "]");
  const auto project = standin::Between(arguments, "-OF=[", "]");
  if (!vob || !project || !standin::FileExists(*vob)) return 1;
  const bool forcedFilm = arguments.find("-FO 1 ") != std::string::npos;

  std::string d2v = "DGIndexProjectFile16\r\n1\r\n" + *vob + "\r\n\r\nStream_Type=1\r\n";
  d2v += forcedFilm ? "Field_Operation=1\r\n" : "Field_Operation=0\r\n";
  d2v += "Frame_Rate=25000 (25/1)\r\nLocation=0,0,0,0\r\n\r\n";
  // One index line per GOP, as many as make the file a few kilobytes.
  for (int gop = 0; gop < 60; ++gop) {
    d2v += "900 1 0 " + std::to_string(gop * 2048) + " 0 0 0 32 72 72 72 72 72 72 72 72 72 72 72\r\n";
  }
  d2v += "\r\nFINISHED  100.00% VIDEO\r\n";
  return standin::WriteWholeFile(*project + ".d2v", d2v) ? 0 : 1;
}
