#pragma once
// The process-wide strings that the window does not show.

#include <array>
#include <string>

namespace ravlo {

// The ten outside tools that live in versioned sub-folders of ToolsFolder.
enum class Tool { vStrip, rar32, BeSweet, DGIndex, DGDecode, AutoCrop, Decomb, avs2avi, mplayerc, gsar };
inline constexpr int kToolCount = 10;

struct ToolInfo {
  const char* name;          // entry name, as in the dump ("ToolPaths.vStrip")
  const char* relativePath;  // under ToolsFolder, exactly as the tool's own package names it
};

// In the order of Tool.
inline constexpr std::array<ToolInfo, kToolCount> kTools{{
    {"vStrip", "vStrip_08f\\vStrip.exe"},
    {"rar32", "rarx360\\rar32.exe"},
    {"BeSweet", "BeSweetv1.5b31\\BeSweet.exe"},
    {"DGIndex", "dgmpgdec148\\DGIndex.exe"},
    {"DGDecode", "dgmpgdec148\\DGDecode.dll"},
    {"AutoCrop", "AutoCrop11\\AutoCrop.dll"},
    {"Decomb", "decomb410b4\\Decomb.dll"},
    {"avs2avi", "avs2avi-139\\avs2avi.exe"},
    {"mplayerc", "mpc2kxp6482\\mplayerc.exe"},
    {"gsar", "gsar112\\gsar.exe"},
}};

struct AppGlobals {
  std::string LineBreak;
  std::string AppFolder;
  std::string MiscFolder;
  std::string ToolsFolder;
  std::string AuthorText;
  std::array<std::string, kToolCount> ToolPaths;
  std::string IfoPath;
  std::string ProjectFolder;
  std::string ListFilePath;
  std::string OggQuality;
  std::string NodesFile;  // native --nodes: a GNU parallel login file for the video's segments

  const std::string& ToolPath(Tool tool) const { return ToolPaths[static_cast<int>(tool)]; }
};

}  // namespace ravlo
