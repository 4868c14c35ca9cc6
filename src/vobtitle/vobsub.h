#pragma once
// The VobSub pair: STEM.sub, the chosen sub-picture packets as 2048-byte MPEG-2 packs, each
// stream renumbered to its place in the chosen order; STEM.idx, the text index of it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mpeg_pack.h"

namespace vobtitle {

constexpr int kFirstSubpictureId = 0x20;

struct Picture {
  std::int64_t time = 0;        // 90 kHz ticks from the start of the chain
  std::uint64_t filePosition = 0;  // of the pack in .sub that starts the picture
};

struct SubtitleTrack {
  int streamId = 0;      // on the disc
  std::string language;  // two letters; empty when the disc names none
  std::vector<Picture> pictures;
};

// The .sub pack for one sub-picture packet of a VOB pack: a fresh pack header, the packet
// with sub-stream id 0x20 + track and, when it has one, its time stamp set to chainTime;
// padding up to the sector size. The packet must be private stream 1 with a sub-stream id.
std::array<std::uint8_t, 2048> SubPack(const std::uint8_t* vobPack, const PesPacket& packet, int track,
                                       std::int64_t chainTime);

// "rrggbb" of a colour table entry 0x00YYCrCb (studio-range BT.601).
std::string RgbHex(std::uint32_t ycrcb);

// "hh:mm:ss:mmm" of 90 kHz ticks.
std::string IdxTime(std::int64_t ticks);

// The whole .idx text, CR LF line ends.
std::string FormatIdx(int width, int height, const std::array<std::uint32_t, 16>& colours,
                      const std::vector<SubtitleTrack>& tracks);

}  // namespace vobtitle
