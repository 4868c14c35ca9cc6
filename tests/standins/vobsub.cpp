// Test double of the VobSub library: "rundll32 vobsub.dll,Configure subparam" reads the
// parameter file (IFO path, output base name, title, angle, stream numbers, CLOSE) and writes
// <base>.idx and <base>.sub in the working folder, one block per chosen stream.
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "standin_io.h"

namespace {

std::vector<int> StreamNumbers(const std::string& line) {
  std::vector<int> numbers;
  std::istringstream in(line);
  int number;
  while (in >> number) numbers.push_back(number);
  return numbers;
}

void ExtractSubtitles(const std::string& parameterFile) {
  const auto text = standin::ReadWholeFile(parameterFile);
  if (!text) return;
  const std::vector<std::string> lines = standin::Lines(*text);
  if (lines.size() < 6 || lines[5] != "CLOSE" || !standin::FileExists(lines[0])) return;
  const std::string& base = lines[1];
  const std::vector<int> streams = StreamNumbers(lines[4]);
  if (base.empty() || streams.empty()) return;

  std::string idx = "# VobSub index file, v7 (do not modify this line!)\r\n";
  idx += "size: 720x576\r\norg: 0, 0\r\nscale: 100%, 100%\r\nalpha: 100%\r\n";
  idx += "palette: 000000, 828282, 828282, 828282, 828282, 828282, 828282, ffffff, "
         "828282, bababa, 828282, 828282, 828282, 828282, 828282, 828282\r\n\r\n";
  std::string sub;
  for (const int stream : streams) {
    idx += "id: --, index: " + std::to_string(stream) + "\r\n";
    // 40 subtitles per stream, each one 2 KB DVD pack.
    for (int n = 0; n < 40; ++n) {
      char line[80];
      wsprintfA(line, "timestamp: 00:%02d:%02d:000, filepos: %09X\r\n", n / 6, (n % 6) * 10,
                static_cast<unsigned>(sub.size()));
      idx += line;
      std::string pack = standin::FillerBytes(2048, static_cast<std::uint32_t>(stream * 100 + n));
      pack.replace(0, 4, std::string("\x00\x00\x01\xBA", 4));  // MPEG pack start code
      sub += pack;
    }
    idx += "\r\n";
  }
  standin::WriteWholeFile(base + ".idx", idx);
  standin::WriteWholeFile(base + ".sub", sub);
}

}  // namespace

// The signature rundll32 calls; exported undecorated as "Configure".
extern "C" __declspec(dllexport) void CALLBACK Configure(HWND, HINSTANCE, LPSTR commandLine, int) {
  std::string parameterFile = commandLine ? commandLine : "";
  while (!parameterFile.empty() && (parameterFile.back() == ' ' || parameterFile.back() == '\t')) {
    parameterFile.pop_back();
  }
  standin::LogCall("vobsub.dll,Configure", parameterFile);
  ExtractSubtitles(parameterFile);
}
