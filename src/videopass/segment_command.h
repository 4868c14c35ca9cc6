#pragma once
// The ffmpeg words of one segment. The chain's filters and rate options come from project.sh
// as opaque words; a segment runs the same chain from the title's start and keeps its own
// frames with trim after every filter, so each of its frames is the whole chain's frame.
#include <string>
#include <vector>

namespace videopass {

struct EncoderWords {
  std::string chain;               // the video filters, in order ("" for none)
  std::vector<std::string> other;  // every other word (codec options), as given
};

// Takes the filters out of the words: every -vf/-filter:v value in order; an output rate
// (-r RATE) becomes an fps=RATE filter at the chain's end, which is what it does to the
// frames, so that the frames are counted after it.
EncoderWords SplitEncoderWords(const std::vector<std::string>& words);

// Whether every filter of the chain makes each frame from that frame alone (scaling, cropping,
// padding, aspect): then a segment may drop the frames before it ahead of the chain, sparing
// their filtering, and still get the same frames.
bool FrameLocal(const std::string& chain);

// The chain of a segment keeping frames [first, end) of the chain's output (end < 0: to the
// last frame), time stamps starting again at 0.
std::string SegmentChain(const std::string& chain, long first, long end);

// The same for a frame-local chain after an input seek that kept the source's time stamps: the
// frames before `keepFrom` seconds are dropped, the rest start again at 0 (the segment's end is
// then a frame count, -frames:v).
std::string SeekChain(const std::string& chain, double keepFrom);

}  // namespace videopass
