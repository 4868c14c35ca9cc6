#include "videopass/segment_command.h"

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

std::string SegmentChain(const std::string& chain, long first, long end) {
  std::string trim = "trim=start_frame=" + std::to_string(first);
  if (end >= 0) trim += ":end_frame=" + std::to_string(end);
  return (chain.empty() ? "" : chain + ",") + trim + ",setpts=PTS-STARTPTS";
}

}  // namespace videopass
