#include "videopass/segment_command.h"

#include <cstdio>
#include <sstream>

namespace videopass {

EncoderWords SplitEncoderWords(const std::vector<std::string>& words) {
  EncoderWords split;
  std::string rate;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    const bool hasValue = i + 1 < words.size();
    if ((word == "-vf" || word == "-filter:v") && hasValue) {
      split.chain += (split.chain.empty() ? "" : ",") + words[++i];
    } else if (word == "-r" && hasValue) {
      rate = words[++i];
    } else {
      split.other.push_back(word);
    }
  }
  if (!rate.empty()) split.chain += (split.chain.empty() ? "" : ",") + ("fps=" + rate);
  return split;
}

bool FrameLocal(const std::string& chain) {
  // Quoting, escapes or labels could hide a comma or another graph: not judged, not local.
  if (chain.find_first_of("'\\[];") != std::string::npos) return false;
  std::istringstream filters(chain);
  for (std::string filter; std::getline(filters, filter, ',');) {
    const std::string name = filter.substr(0, filter.find('='));
    if (name != "scale" && name != "crop" && name != "pad" && name != "setsar" && name != "setdar" &&
        name != "format" && name != "null") {
      return false;
    }
  }
  return true;
}

std::string SegmentChain(const std::string& chain, long first, long end) {
  std::string trim = "trim=start_frame=" + std::to_string(first);
  if (end >= 0) trim += ":end_frame=" + std::to_string(end);
  trim += ",setpts=PTS-STARTPTS";
  if (chain.empty()) return trim;
  return FrameLocal(chain) ? trim + "," + chain : chain + "," + trim;
}

std::string SeekChain(const std::string& chain, double keepFrom) {
  char start[32];
  std::snprintf(start, sizeof start, "%.6f", keepFrom);
  const std::string trim = std::string("trim=start=") + start + ",setpts=PTS-STARTPTS";
  return chain.empty() ? trim : trim + "," + chain;
}

}  // namespace videopass
