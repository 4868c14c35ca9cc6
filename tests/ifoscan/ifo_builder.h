#pragma once
// Builds small synthetic title set IFOs for the tests, laid out as DVD authoring tools do:
// header sector, then the program chain table in sector 1.

#include <cstdint>
#include <string>
#include <vector>

namespace ifoscan_test {

struct ChainSpec {
  std::uint8_t bcd[4] = {0x00, 0x01, 0x30, 0x40};  // hh mm ss ff
  std::uint8_t programs = 1;
  std::vector<std::uint16_t> audioControl;      // per logical audio stream
  std::vector<std::uint32_t> subpictureControl;  // per logical sub-picture stream
};

struct IfoLayout {
  std::uint8_t video[2] = {0x5C, 0x00};  // PAL 16:9 720x576
  std::vector<std::vector<std::uint8_t>> audio;        // 8-byte attributes
  std::vector<std::vector<std::uint8_t>> subpictures;  // 6-byte attributes
  std::vector<ChainSpec> chains;
};

inline void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}

inline void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, v >> 16);
  PutU16(b, at + 2, v & 0xFFFF);
}

// Audio attribute: format code (0 AC3, 2 MPEG-1, 3 MPEG-2, 4 LPCM, 6 DTS), language or "".
inline std::vector<std::uint8_t> Audio(int format, int channels, const std::string& lang, int rate = 0) {
  std::vector<std::uint8_t> a(8, 0);
  a[0] = static_cast<std::uint8_t>((format << 5) | (lang.empty() ? 0 : 0x04));
  a[1] = static_cast<std::uint8_t>((rate << 4) | (channels - 1));
  if (!lang.empty()) a[2] = lang[0], a[3] = lang[1];
  return a;
}

inline std::vector<std::uint8_t> Subpicture(const std::string& lang) {
  std::vector<std::uint8_t> s(6, 0);
  if (!lang.empty()) s[0] = 0x01, s[2] = lang[0], s[3] = lang[1];
  return s;
}

inline std::vector<std::uint8_t> BuildIfo(const IfoLayout& layout) {
  constexpr std::size_t kPgcit = 2048, kPgcSize = 0xEC;
  std::vector<std::uint8_t> b(kPgcit + 8 + layout.chains.size() * (8 + kPgcSize), 0);
  const std::string magic = "DVDVIDEO-VTS";
  for (std::size_t i = 0; i < magic.size(); ++i) b[i] = static_cast<std::uint8_t>(magic[i]);
  PutU32(b, 0xCC, 1);
  b[0x200] = layout.video[0];
  b[0x201] = layout.video[1];
  PutU16(b, 0x202, static_cast<std::uint32_t>(layout.audio.size()));
  for (std::size_t i = 0; i < layout.audio.size() && i < 8; ++i)
    for (std::size_t k = 0; k < 8; ++k) b[0x204 + i * 8 + k] = layout.audio[i][k];
  PutU16(b, 0x254, static_cast<std::uint32_t>(layout.subpictures.size()));
  for (std::size_t i = 0; i < layout.subpictures.size() && i < 32; ++i)
    for (std::size_t k = 0; k < 6; ++k) b[0x256 + i * 6 + k] = layout.subpictures[i][k];

  const std::size_t count = layout.chains.size();
  PutU16(b, kPgcit, static_cast<std::uint32_t>(count));
  PutU32(b, kPgcit + 4, static_cast<std::uint32_t>(b.size() - kPgcit - 1));
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t pgc = 8 + count * 8 + i * kPgcSize;  // relative to the table
    PutU32(b, kPgcit + 8 + i * 8, 0x81000000u + (static_cast<std::uint32_t>(i) << 24));
    PutU32(b, kPgcit + 8 + i * 8 + 4, static_cast<std::uint32_t>(pgc));
    const ChainSpec& c = layout.chains[i];
    const std::size_t at = kPgcit + pgc;
    b[at + 2] = c.programs;
    b[at + 3] = c.programs;
    for (int k = 0; k < 4; ++k) b[at + 4 + k] = c.bcd[k];
    for (std::size_t k = 0; k < c.audioControl.size(); ++k) PutU16(b, at + 0x0C + k * 2, c.audioControl[k]);
    for (std::size_t k = 0; k < c.subpictureControl.size(); ++k) PutU32(b, at + 0x1C + k * 4, c.subpictureControl[k]);
  }
  return b;
}

}  // namespace ifoscan_test
