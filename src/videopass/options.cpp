#include "videopass/options.h"

#include <cstdlib>
#include <sstream>

namespace videopass {

bool ParseOptions(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  options.command = argv[1];
  int i = 2;
  if (options.command == "join") {
    for (; i < argc; ++i) options.files.push_back(argv[i]);
    return options.files.size() >= 2;
  }
  for (; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") {
      for (++i; i < argc; ++i) options.words.push_back(argv[i]);
      break;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (word == "--stage") options.stage = value;
    else if (word == "--source") options.source = value;
    else if (word == "--folder") options.folder = value;
    else if (word == "--out") options.out = value;
    else if (word == "--log") options.log = value;
    else if (word == "--codec") options.codec = value;
    else if (word == "--mux") options.mux = value;
    else if (word == "--size-log") options.sizeLog = value;
    else if (word == "--nodes") options.nodes = value;
    else if (word == "--duration") options.duration = std::atof(value.c_str());
    else if (word == "--medium") options.medium = std::atoll(value.c_str());
    else if (word == "--medium-each") options.mediumEach = std::atoll(value.c_str());
    else if (word == "--titles" || word == "--outs") {
      std::istringstream names(value);
      for (std::string name; names >> name;) {
        if (word == "--outs") {
          options.outs.push_back(name);
        } else if (const int number = std::atoi(name.c_str()); number > 0 && std::to_string(number) == name) {
          options.titles.push_back(number);
        } else {
          return false;
        }
      }
    }
    else if (word == "--results") {
      std::istringstream names(value);
      for (std::string name; names >> name;) options.results.push_back(name);
    } else return false;
  }
  if (!options.titles.empty()) {
    // Several titles make files of one file's codecs, with the mux script.
    if (options.codec != "h264" && options.codec != "hevc" && options.codec != "av1") return false;
    if (options.command == "second" && options.mux.empty()) return false;
    if (options.command == "first") return options.medium > 0 || options.mediumEach > 0;
    return options.command == "second" && options.outs.size() == options.titles.size() &&
           (options.medium > 0) != (options.mediumEach > 0);
  }
  if (options.command == "first") return options.duration > 0;
  if (options.codec != "xvid" && options.codec != "h264" && options.codec != "hevc" && options.codec != "av1")
    return false;
  if (options.command == "second") return options.medium > 0 && (options.codec == "xvid" || !options.mux.empty());
  return false;
}

std::string Path(const Options& options, const std::string& name) { return options.folder + "/" + name; }

}  // namespace videopass
