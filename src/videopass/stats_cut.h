#pragma once
// The end of a title made again on its own: x265's first-pass statistics of the frames from a
// key frame on, as a first pass over those frames alone would have kept them.
#include <string>

namespace videopass {

// From the statistics text (an "#options" line, then a line a frame in coding order, "in:" its
// number as shown, "out:" as coded) and the cu-tree records beside it (one record of the same
// size for each frame other pictures refer to, every type but "b", in coding order): those of
// the frames from `first` on, numbered from 0. "" when done, else why not. The frames before
// `first` must all be coded before it and none after it, as when it is an IDR frame.
std::string CutStatsFrom(const std::string& text, const std::string& cutree, long first, std::string& tailText,
                         std::string& tailCutree);

// The same on files: STATS and STATS.cutree into TAIL and TAIL.cutree; the reason names the file.
std::string CutStatsFile(const std::string& stats, long first, const std::string& tail);

}  // namespace videopass
