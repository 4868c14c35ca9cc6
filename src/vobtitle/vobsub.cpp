#include "vobsub.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vobtitle {
namespace {

constexpr std::size_t kPackHeaderSize = 14;
constexpr int kPaddingStream = 0xBE;

std::uint8_t ClampByte(double value) {
  return static_cast<std::uint8_t>(std::clamp(value + 0.5, 0.0, 255.0));
}

}  // namespace

std::array<std::uint8_t, 2048> SubPack(const std::uint8_t* vobPack, const PesPacket& packet, int track,
                                       std::int64_t chainTime) {
  std::array<std::uint8_t, 2048> out{};
  std::uint8_t* p = out.data();
  PutPackHeader(p, packet.pts ? chainTime : 0);
  std::size_t at = kPackHeaderSize;

  const std::size_t headerData = packet.pts ? 5 : 0;
  // A packet read from a 2048-byte pack always fits again; the bound only guards the copy.
  const std::size_t dataSize = std::min(packet.offset + packet.size - packet.dataOffset, out.size() - at - 10 - headerData);
  std::size_t pesSize = 9 + headerData + 1 + dataSize;
  std::size_t stuffing = 0;
  // Too little room left for a padding packet: fill with header stuffing instead.
  const std::size_t rest = out.size() - at - pesSize;
  if (rest > 0 && rest < 6) stuffing = rest, pesSize += rest;

  p[at] = 0, p[at + 1] = 0, p[at + 2] = 1, p[at + 3] = kPrivateStream1;
  p[at + 4] = static_cast<std::uint8_t>((pesSize - 6) >> 8);
  p[at + 5] = static_cast<std::uint8_t>(pesSize - 6);
  p[at + 6] = 0x81;  // MPEG-2 header, original
  p[at + 7] = packet.pts ? 0x80 : 0x00;
  p[at + 8] = static_cast<std::uint8_t>(headerData + stuffing);
  at += 9;
  if (packet.pts) PutTimestamp(p + at, 2, chainTime), at += 5;
  std::memset(p + at, 0xFF, stuffing);
  at += stuffing;
  p[at++] = static_cast<std::uint8_t>(kFirstSubpictureId + track);
  std::memcpy(p + at, vobPack + packet.dataOffset, dataSize);
  at += dataSize;

  if (at < out.size()) {
    const std::size_t padding = out.size() - at;
    p[at] = 0, p[at + 1] = 0, p[at + 2] = 1, p[at + 3] = kPaddingStream;
    p[at + 4] = static_cast<std::uint8_t>((padding - 6) >> 8);
    p[at + 5] = static_cast<std::uint8_t>(padding - 6);
    std::memset(p + at + 6, 0xFF, padding - 6);
  }
  return out;
}

std::string RgbHex(std::uint32_t ycrcb) {
  const double y = 1.164 * (static_cast<int>((ycrcb >> 16) & 0xFF) - 16);
  const int cr = static_cast<int>((ycrcb >> 8) & 0xFF) - 128;
  const int cb = static_cast<int>(ycrcb & 0xFF) - 128;
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", ClampByte(y + 1.596 * cr), ClampByte(y - 0.813 * cr - 0.391 * cb),
                ClampByte(y + 2.018 * cb));
  return text;
}

std::string IdxTime(std::int64_t ticks) {
  const std::int64_t ms = ticks / 90;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02d:%02d:%03d", static_cast<long long>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
  return text;
}

std::string FormatIdx(int width, int height, const std::array<std::uint32_t, 16>& colours,
                      const std::vector<SubtitleTrack>& tracks) {
  std::string palette;
  for (std::uint32_t colour : colours) palette += (palette.empty() ? "" : ", ") + RgbHex(colour);
  std::string idx =
      "# VobSub index file, v7 (do not modify this line!)\r\n"
      "# Written by vobtitle from one program chain of a DVD title set.\r\n"
      "\r\n"
      "size: " + std::to_string(width) + "x" + std::to_string(height) + "\r\n"
      "org: 0, 0\r\n"
      "scale: 100%, 100%\r\n"
      "alpha: 100%\r\n"
      "smooth: OFF\r\n"
      "fadein/out: 0, 0\r\n"
      "align: OFF at LEFT TOP\r\n"
      "time offset: 0\r\n"
      "forced subs: OFF\r\n"
      "palette: " + palette + "\r\n"
      "custom colors: OFF, tridx: 0000, colors: 000000, 000000, 000000, 000000\r\n"
      "langidx: 0\r\n";
  char line[64];
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    // Streams the disc gives no language are marked "--", the undetermined value of the
    // two-letter field.
    const std::string language = tracks[i].language.empty() ? "--" : tracks[i].language;
    idx += "\r\nid: " + language + ", index: " + std::to_string(i) + "\r\n";
    for (const Picture& picture : tracks[i].pictures) {
      std::snprintf(line, sizeof line, ", filepos: %09llx\r\n", static_cast<unsigned long long>(picture.filePosition));
      idx += "timestamp: " + IdxTime(picture.time) + line;
    }
  }
  return idx;
}

}  // namespace vobtitle
