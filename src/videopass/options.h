#pragma once
// videopass's command line, and where its files go.
#include <string>
#include <vector>

namespace videopass {

struct Options {
  std::string command;
  std::string stage;  // "n/m" of the stage line
  std::string source = "movie.vob";
  std::string folder = "segments";
  std::string out = "movie.avi.part";  // the script renames it when the job checked it
  std::string log = "log.txt";
  std::string sizeLog = "size.log";
  double duration = 0;
  long long medium = 0;
  std::vector<std::string> results;
  std::string codec = "xvid";  // h264, hevc, av1: one encoder over the whole title, one file
  std::string mux;             // the script that puts a run's video and the tracks into --out
  std::vector<std::string> words;
  std::vector<std::string> files;  // join: the output, then the segments
  std::string nodes;  // a GNU parallel login file: the encodes run on its machines
  // Several titles of one plan, each in its folder titleN and into its own file (outs, in the
  // same order); `medium` holds them all, or `mediumEach` each of them.
  std::vector<int> titles;
  std::vector<std::string> outs;
  long long mediumEach = 0;
};

// The options from the command line; false when they make no command.
bool ParseOptions(int argc, char** argv, Options& options);

// The file NAME in the folder of the segments.
std::string Path(const Options& options, const std::string& name);

}  // namespace videopass
