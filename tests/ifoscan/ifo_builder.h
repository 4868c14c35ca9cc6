#pragma once
// Builds small synthetic title set IFOs for the tests, laid out as DVD authoring tools do:
// header sector, then the program chain table in sector 1.

#include <cstdint>
#include <string>
#include <vector>

namespace ifoscan_test {

struct CellSpec {
  std::uint8_t flags = 0;  // angle block mode and type, interleaving, clock restart
  std::uint8_t bcd[4] = {0x00, 0x00, 0x02, 0x40};  // 2 s at 25 frames a second
  std::uint32_t firstSector = 0;
  std::uint32_t lastSector = 0;
};

struct ChainShape {
  std::uint8_t bcd[4] = {0x00, 0x01, 0x30, 0x40};  // hh mm ss ff
  std::uint8_t programs = 1;
  std::vector<std::uint16_t> audioControl;      // per logical audio stream
  std::vector<std::uint32_t> subpictureControl;  // per logical sub-picture stream
  // Player tables, written only when there are cells; the program map has `programs` entries.
  std::vector<std::uint8_t> programMap;
  std::vector<CellSpec> cells;
  std::uint32_t colours[16] = {};
};

struct IfoLayout {
  std::uint8_t video[2] = {0x5C, 0x00};  // PAL 16:9 720x576
  std::vector<std::vector<std::uint8_t>> audio;        // 8-byte attributes
  std::vector<std::vector<std::uint8_t>> subpictures;  // 6-byte attributes
  std::vector<ChainShape> chains;
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

// Bytes of a chain: its fixed part, then program map (padded to even) and cell table.
inline std::size_t ChainSize(const ChainShape& c) {
  return 0xEC + (c.cells.empty() ? 0 : (c.programMap.size() + 1) / 2 * 2 + c.cells.size() * 24);
}

inline std::vector<std::uint8_t> BuildIfo(const IfoLayout& layout) {
  constexpr std::size_t kPgcit = 2048;
  std::size_t chainBytes = 0;
  for (const ChainShape& c : layout.chains) chainBytes += ChainSize(c);
  std::vector<std::uint8_t> b(kPgcit + 8 + layout.chains.size() * 8 + chainBytes, 0);
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
  std::size_t pgc = 8 + count * 8;  // relative to the table
  for (std::size_t i = 0; i < count; pgc += ChainSize(layout.chains[i]), ++i) {
    PutU32(b, kPgcit + 8 + i * 8, 0x81000000u + (static_cast<std::uint32_t>(i) << 24));
    PutU32(b, kPgcit + 8 + i * 8 + 4, static_cast<std::uint32_t>(pgc));
    const ChainShape& c = layout.chains[i];
    const std::size_t at = kPgcit + pgc;
    b[at + 2] = c.programs;
    b[at + 3] = c.programs;
    for (int k = 0; k < 4; ++k) b[at + 4 + k] = c.bcd[k];
    for (std::size_t k = 0; k < c.audioControl.size(); ++k) PutU16(b, at + 0x0C + k * 2, c.audioControl[k]);
    for (std::size_t k = 0; k < c.subpictureControl.size(); ++k) PutU32(b, at + 0x1C + k * 4, c.subpictureControl[k]);
    for (std::size_t k = 0; k < 16; ++k) PutU32(b, at + 0xA4 + k * 4, c.colours[k]);
    if (c.cells.empty()) continue;
    b[at + 3] = static_cast<std::uint8_t>(c.cells.size());
    const std::size_t map = 0xEC, cells = map + (c.programMap.size() + 1) / 2 * 2;
    PutU16(b, at + 0xE6, static_cast<std::uint32_t>(map));
    PutU16(b, at + 0xE8, static_cast<std::uint32_t>(cells));
    for (std::size_t k = 0; k < c.programMap.size(); ++k) b[at + map + k] = c.programMap[k];
    for (std::size_t k = 0; k < c.cells.size(); ++k) {
      const std::size_t cell = at + cells + k * 24;
      b[cell] = c.cells[k].flags;
      for (int t = 0; t < 4; ++t) b[cell + 4 + t] = c.cells[k].bcd[t];
      PutU32(b, cell + 8, c.cells[k].firstSector);
      PutU32(b, cell + 20, c.cells[k].lastSector);
    }
  }
  return b;
}

}  // namespace ifoscan_test
