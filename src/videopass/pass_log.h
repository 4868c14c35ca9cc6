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

struct PassLog {
  std::vector<std::string> header;  // the comment and blank lines before the frames
  std::vector<FrameStat> frames;
};

// Reads a log; false when it cannot be read or holds a line that is not a frame.
bool ReadPassLog(const std::string& path, PassLog& log);

// Appends the frames of `more` (the next segment's first pass) to `log`.
void AppendFrames(PassLog& log, const PassLog& more);

// Writes the log of frames [first, end): the header and those frames' lines.
bool WritePassLog(const std::string& path, const PassLog& log, long first, long end);

// Sum of the first-pass lengths of frames [first, end).
long long FirstPassBytes(const PassLog& log, long first, long end);

}  // namespace videopass
