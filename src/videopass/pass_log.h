#pragma once
// libxvid's first-pass log as ffmpeg writes it: comment lines, then one line per frame
// ("TYPE QUANT KBLOCKS MBLOCKS UBLOCKS LENGTH HLENGTH"). The second pass reads one line per
// frame it encodes, so a segment's log is the title's lines of that segment's frames.
#include <string>
#include <vector>

namespace videopass {

struct FrameStat {
  char type = 'p';          // 'i' for a key frame
  long long length = 0;     // bytes the frame took at the first pass's quantizer
  std::string line;         // the line as written, for the second pass's logs
};

// The line of a frame with its lengths (the frame's and its header's) scaled by `scale`.
// libxvid's second pass guesses its first quantizers from these lengths; where the picture
// makes less (or more) at a quantizer than the lengths promise, it starts under (or over) its
// request and makes up only gradually. Scaled lengths make the guess right from the start.
std::string ScaledLine(const FrameStat& frame, double scale);

struct PassLog {
  std::vector<std::string> header;  // the comment and blank lines before the frames
  std::vector<FrameStat> frames;
};

// Reads a log; false when it cannot be read or holds a line that is not a frame.
bool ReadPassLog(const std::string& path, PassLog& log);

// Appends the frames of `more` (the next segment's first pass) to `log`.
void AppendFrames(PassLog& log, const PassLog& more);

// Writes the log of frames [first, end): the header and those frames' lines, their lengths
// scaled by `scale`.
bool WritePassLog(const std::string& path, const PassLog& log, long first, long end, double scale = 1);

// As above with a scale for each frame of the title.
bool WritePassLog(const std::string& path, const PassLog& log, long first, long end, const std::vector<double>& scales);

// Each frame's scale, between `headScale` (measured on frames [0, headEnd)) and `tailScale`
// (measured on [tailFirst, end)), by how much its neighbourhood (a second around it) takes in
// the first pass against those two: a title that changes from easy to hard gets the easy
// part's scale where it is easy and the hard part's where it is hard. Where the two measured
// parts take about the same, the nearer one's scale.
std::vector<double> FrameScales(const PassLog& log, long headEnd, double headScale, long tailFirst, double tailScale);

// Sum of the first-pass lengths of frames [first, end).
long long FirstPassBytes(const PassLog& log, long first, long end);

}  // namespace videopass
