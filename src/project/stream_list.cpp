#include "frame/paths.h"
#include "project/writers.h"

namespace ravlo {

void WriteStreamList(AppState& app, SaveReport& report) {
  const std::string folder = FolderOf(app.globals.IfoPath);
  const std::string ifoName = FileNameOf(app.globals.IfoPath);
  // VTS_01_0.IFO -> VTS_01_*.VOB: every VOB of the title set.
  const std::string pattern = ifoName.substr(0, 7) + "*.VOB";

  std::string text;
  for (const std::string& name : app.platform.ListFiles(folder, pattern)) {
    // The menu VOB (..._0.VOB) holds no title content. The test is case-sensitive on
    // purpose: it is the same test the disc's own upper-case names are made for.
    const bool isMenu = name.size() >= 5 && name.compare(name.size() - 5, 5, "0.VOB") == 0;
    if (!isMenu) text += folder + name + app.globals.LineBreak;
  }
  app.globals.ListFilePath = app.globals.ProjectFolder + "project.lst";
  WriteProjectFile(app, "project.lst", text, report);
}

}  // namespace ravlo
