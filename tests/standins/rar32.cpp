// Test double of rar32: "a -ep ARCHIVE FILE..." writes ARCHIVE holding each file, stored at
// half its size to stand for compression. A missing input file leaves no archive.
#include <string>

#include "standin_io.h"

int main(int argc, char** argv) {
  standin::LogCall("rar32.exe", standin::ArgumentText());
  int next = 1;
  if (next >= argc || std::string(argv[next]) != "a") return 2;
  ++next;
  while (next < argc && argv[next][0] == '-') ++next;  // switches such as -ep
  if (next >= argc) return 2;
  const std::string archiveName = argv[next++];
  if (next >= argc) return 10;  // nothing to add

  std::string archive("Rar!\x1A\x07\x00", 7);
  for (; next < argc; ++next) {
    const auto content = standin::ReadWholeFile(argv[next]);
    if (!content) return 10;
    std::string name = argv[next];
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);  // -ep: no paths inside
    archive += "FILE " + name + " " + std::to_string(content->size()) + "\n";
    archive += content->substr(0, (content->size() + 1) / 2);
  }
  return standin::WriteWholeFile(archiveName, archive) ? 0 : 1;
}
