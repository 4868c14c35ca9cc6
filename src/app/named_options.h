#pragma once
// Named options of the native planner: shorthands for the common choices. Each expands, in
// place, into the scripted actions a user would take on the same fields, so they run through
// the same handlers and checks:
//
//   --chain N                --set txtTitle=N
//   --audio 0x80,0x81        --click cmdASN --check lstAL=0x80 --check lstAL=0x81
//   --subtitles 0x21,0x20    --click cmdSSN --check lstSL=0x21 --check lstSL=0x20
//   --format mp3|ogg         --set optAud_MP3=1 (optAud_OGG)
//   --format ac3|original    --set optAud_AC3=1 --set chkOrig=0 (original: chkOrig=1)
//   --quality N              --set cmbAudQual=N
//   --size MB                --set cmbMS=MB
//   --author TEXT            --answer TEXT --click mnuSetAuthor
//   --delete-temporary       --set chkDelTemp=1
//   --delete-logs            --set chkDelLogs=1
//
// --title-set N is no action: it tells the analysis of every --open of a whole disc which
// title set to take instead of the main feature's. Nor is --nodes FILE: the saved project.sh
// runs the video's segments on the machines of that GNU parallel login file.
//
// Anything else passes through unchanged for scripted mode to check.

#include <optional>
#include <string>
#include <vector>

namespace ravlo {

struct ExpandedArguments {
  std::vector<std::string> actions;
  std::vector<std::string> saidAs;  // beside each action: the named option it came from, or ""
  std::string titleSet;  // --title-set N: "N"; empty for the main feature's title set
  std::string nodes;     // --nodes FILE: "FILE" as given; empty for this machine alone
  std::string error;     // set when a named option's value is missing or malformed
};

ExpandedArguments ExpandNamedOptions(const std::vector<std::string>& args);

// The help of the native program: the named options with an example, then scripted mode's.
std::string NativeUsage();

}  // namespace ravlo
