#pragma once
// libxvid's first-pass log as ffmpeg writes it: comment lines, then one line per frame
// ("TYPE QUANT KBLOCKS MBLOCKS UBLOCKS LENGTH HLENGTH"). The second pass shares its request
// among all the lines of its log and reads one line per frame it encodes, from the first.
#include <string>
#include <vector>

namespace videopass {

struct FrameStat {
  char type = 'p';          // 'i' for a key frame
  long long length = 0;     // bytes the frame took at the first pass's quantizer
  long long header = 0;     // of them, bytes that do not shrink at a coarser quantizer
  std::string line;         // the line as written, for the second pass's logs
};

struct PassLog {
  std::vector<std::string> header;  // the comment and blank lines before the frames
  std::vector<FrameStat> frames;
};

// Reads a log; "" or why it cannot be taken, naming it: it cannot be read, or a line is not a
// frame libxvid could have written (a type of "ipbs", a quantizer of 1 to 31, the same
// macroblocks on every frame, a length of at least one byte and no more than those macroblocks
// can take).
std::string ReadPassLog(const std::string& path, PassLog& log);

// Appends the frames of `more` (the next segment's first pass) to `log`.
void AppendFrames(PassLog& log, const PassLog& more);

// Writes the log a segment's second pass reads: the header, the segment's frames [first, end),
// then the rest of the title, from `end` on and then from its start. Asked for the whole
// title's bitrate, libxvid gives the segment's frames what one second pass of the whole title
// would give them.
bool WriteSegmentLog(const std::string& path, const PassLog& log, long first, long end);

// Sum of the first-pass lengths of frames [first, end).
long long FirstPassBytes(const PassLog& log, long first, long end);

// The bytes of each frame an encode's report (ffmpeg's -vstats_file) names so far, in order; a
// report still being written may end in a line cut short, which is left out.
std::vector<long long> ReportedFrameBytes(const std::string& vstatsPath);

// Whether every frame in an encode's report (ffmpeg's -vstats_file) had the finest quantizer,
// 2: a larger request cannot make that picture any larger. False for a report that cannot be
// read or names no frame.
bool AllAtFinestQuantizer(const std::string& vstatsPath);
// Likewise the coarsest, 31: a smaller request cannot make that picture any smaller.
bool AllAtCoarsestQuantizer(const std::string& vstatsPath);
// The share of the frames in the report at the coarsest quantizer (0 for a report that cannot
// be read or names no frame).
double ShareAtCoarsestQuantizer(const std::string& vstatsPath);

}  // namespace videopass
