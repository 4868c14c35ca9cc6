#pragma once
// The part of the source one segment decodes, cut out as bytes, so that a segment encoded on
// another machine takes only that part along. A DVD program stream can be cut at any pack:
// the demuxer finds the next pack by its start code, and the time stamps stay the source's.
#include <string>
#include <vector>

namespace videopass {

// A video packet of the source: its time (decoding time, else presentation time; seconds),
// where it starts in the file, and whether it holds a key frame.
struct PacketPlace {
  double seconds = 0;
  long long pos = 0;
  bool key = false;
};

// The ffprobe words that list the video packets' places.
std::vector<std::string> PacketPlacesCommand(const std::string& source);

// Reads that listing (csv lines "PTS_TIME,DTS_TIME,POS,FLAGS"); packets without a time or a
// place are left out.
std::vector<PacketPlace> ReadPacketPlaces(const std::string& listing);

// The bytes [begin, end) of a source of `fileBytes` that hold the frames from `from` to `to`
// seconds after the first video packet (from < 0: the file's start; to < 0: its end). The
// piece begins three key frames before `from` (a segment that seeks keeps frames from two key
// frame runs before its first one) and ends a second after `to` (reordered and decimated
// frames reach that far), each on the DVD pack (2,048 bytes) holding the packet.
struct ByteRange {
  long long begin = 0;
  long long end = 0;
};
ByteRange PieceRange(const std::vector<PacketPlace>& places, long long fileBytes, double from, double to);

// Copies the bytes of `range` of `source` into `piece`; "" or the reason it failed.
std::string CutPiece(const std::string& source, const ByteRange& range, const std::string& piece);

}  // namespace videopass
