#pragma once
// The source's video packets as ffprobe lists them (sizes, time stamps), and whether their time
// stamps are regular enough for a segment to seek to its first frame instead of decoding the
// title from its start. A title of several VOBs or cells may start its clock again or jump:
// then a seek would land on the wrong frame, and the segment decodes from the start as before.
#include <string>
#include <vector>

namespace videopass {

struct SourceTiming {
  std::vector<long> sizes;  // video packet sizes in decoding order
  bool regular = false;     // one frame per packet, every step the same, no jump
  double firstSeconds = 0;  // the first frame's time stamp
  double startSeconds = 0;  // the file's start (of all streams), from which -ss counts
  double frameSeconds = 0;  // one frame's duration
  long keyGap = 0;          // the longest run of packets from one key frame to the next
};

// Where a segment's ffmpeg seeks (-ss, seconds) and, keeping the source's time stamps
// (-copyts), the time from which it keeps frames. No seek when seconds < 0.
struct SeekPoint {
  double seconds = -1;
  double keepFrom = 0;
};

// The ffprobe words that list what ReadSourceTiming reads.
std::vector<std::string> SourceTimingCommand(const std::string& source);

// Reads that listing (csv lines "packet,PTS,DTS,SIZE,FLAGS", "stream,TIME_BASE", "format,START").
// Decoding times must step evenly; presentation times (missing on some packets of a program
// stream) must sit on the same grid, once each, within the frames' span.
SourceTiming ReadSourceTiming(const std::string& listing);

// The same read from the file that listing was kept in (no packets when it cannot be read).
SourceTiming ReadSourceTimingFile(const std::string& path);

// Whether segments of a chain putting out `fps` frames a second may seek in this source: a
// regular clock, one frame per packet.
bool Seekable(const SourceTiming& timing, double fps);

// The seek for a segment starting at frame `first`. ffmpeg lands at a packet with a time stamp at
// or before the seek, which may be inside a group of pictures or behind a missing sequence
// header: so the seek goes two key-frame runs earlier, where broken or dropped pictures cannot
// reach `first`, and the frames before it are dropped by their own time stamps (half a frame
// before `first`'s), not by count nor by ffmpeg's shifted times (which measured half a frame off
// on a program stream whose audio starts first). No seek near the start, nor where the source
// is not Seekable.
SeekPoint SeekFor(const SourceTiming& timing, long first, double fps);

}  // namespace videopass
