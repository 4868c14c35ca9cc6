// Test double of BeSweet: "-core( -input IN -output OUT -logfile LOG ... )" converts IN into
// OUT (a quarter of its size, at least 4 KB) carrying the converter signature that the author
// step later overwrites, and writes LOG. A missing input gives a log and no output.
#include <algorithm>
#include <string>

#include "standin_io.h"

namespace {

const char kSignature[] = "DSPguru.doom9.net";

std::string ValueAfter(int argc, char** argv, const std::string& option) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (option == argv[i]) return argv[i + 1];
  }
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string arguments = standin::ArgumentText();
  standin::LogCall("BeSweet.exe", arguments);
  const std::string input = ValueAfter(argc, argv, "-input");
  const std::string output = ValueAfter(argc, argv, "-output");
  const std::string logFile = ValueAfter(argc, argv, "-logfile");
  const auto source = standin::ReadWholeFile(input);

  std::string log = "BeSweet stand-in\r\nArguments: " + arguments + "\r\n";
  if (!source || output.empty()) {
    log += "Error: cannot read input " + input + "\r\n";
    if (!logFile.empty()) standin::WriteWholeFile(logFile, log);
    return 1;
  }
  const std::size_t length = std::max<std::size_t>(4096, source->size() / 4);
  std::string converted = standin::FillerBytes(length, static_cast<std::uint32_t>(source->size()));
  // The signature sits in the header tag and again near the end, like an encoder's comment.
  const std::string tag = std::string("TAG encoded by ") + kSignature;
  converted.replace(0, tag.size(), tag);
  converted.replace(length - 64, sizeof kSignature - 1, kSignature);
  log += "Input: " + input + " (" + std::to_string(source->size()) + " bytes)\r\n";
  log += "Output: " + output + " (" + std::to_string(length) + " bytes)\r\nDone.\r\n";
  const bool ok = standin::WriteWholeFile(output, converted);
  if (!logFile.empty()) standin::WriteWholeFile(logFile, log);
  return ok ? 0 : 1;
}
