// Test double of vStrip: "@project.lst -i"IFO" -pN -jN -!do<code> 0xBD <id>" writes the
// stream file <code>. The list file and the IFO file must exist.
#include <cstdlib>
#include <string>

#include "standin_io.h"

int main(int argc, char** argv) {
  standin::LogCall("vStrip.exe", standin::ArgumentText());
  std::string listFile, ifo, output, streamId;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("@", 0) == 0) listFile = arg.substr(1);
    else if (arg.rfind("-!do", 0) == 0) output = arg.substr(4);
    else if (arg.rfind("-i", 0) == 0) ifo = arg.substr(2);
    else if (arg == "0xBD" && i + 1 < argc) streamId = argv[++i];
  }
  const auto list = standin::ReadWholeFile(listFile);
  if (!list || list->empty() || !standin::FileExists(ifo) || output.empty() || streamId.empty()) {
    return 1;
  }
  // 256 KB plus 16 KB per sub-stream number, so each stream has a size of its own.
  const unsigned long id = std::strtoul(streamId.c_str(), nullptr, 16);
  const std::size_t length = (256 + 16 * (id & 0x7)) * 1024;
  std::string stream = standin::FillerBytes(length, static_cast<std::uint32_t>(id));
  for (std::size_t frame = 0; frame + 1 < length; frame += 1792) {
    stream[frame] = 0x0B;  // each frame starts with the AC3 sync word
    stream[frame + 1] = 0x77;
  }
  return standin::WriteWholeFile(output, stream) ? 0 : 1;
}
