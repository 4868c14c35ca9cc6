#include "ifo_parser.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "chain_playback.h"

namespace ifoscan {
namespace {

// Offsets in the title set information table (VTSI_MAT) and the tables it points to,
// as the public DVD-Video descriptions give them.
constexpr char kMagic[] = "DVDVIDEO-VTS";
constexpr char kManagerMagic[] = "DVDVIDEO-VMG";
constexpr std::uint64_t kTitleSetCount = 0x3E;
constexpr std::uint64_t kSectorSize = 2048;
constexpr std::uint64_t kPgcitSector = 0xCC;
constexpr std::uint64_t kVideoAttributes = 0x200;
constexpr std::uint64_t kAudioCount = 0x202;
constexpr std::uint64_t kAudioAttributes = 0x204;
constexpr std::uint64_t kAudioAttributeSize = 8;
constexpr int kMaxAudio = 8;
constexpr std::uint64_t kSubpictureCount = 0x254;
constexpr std::uint64_t kSubpictureAttributes = 0x256;
constexpr std::uint64_t kSubpictureAttributeSize = 6;
constexpr int kMaxSubpictures = 32;
constexpr std::uint64_t kMatEnd = kSubpictureAttributes + kMaxSubpictures * kSubpictureAttributeSize;

constexpr std::uint64_t kPgcitHeaderSize = 8;
constexpr std::uint64_t kPgcitEntrySize = 8;
constexpr std::uint64_t kPgcPrograms = 0x02;
constexpr std::uint64_t kPgcTime = 0x04;
constexpr std::uint64_t kPgcAudioControl = 0x0C;
constexpr std::uint64_t kPgcSubpictureControl = 0x1C;
constexpr std::uint64_t kPgcReadSize = kPgcSubpictureControl + kMaxSubpictures * 4;

// Stream controls of one chain, kept only until the stream ids are resolved.
struct ChainControls {
  std::array<std::uint16_t, kMaxAudio> audio{};
  std::array<std::uint32_t, kMaxSubpictures> subpicture{};
};

ParseResult Fail(std::string reason) {
  ParseResult result;
  result.error = std::move(reason);
  return result;
}

// Two ASCII letters, lower-cased; anything else means the stream has no usable language.
std::string LanguageCode(std::uint8_t first, std::uint8_t second) {
  auto isLetter = [](std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!isLetter(first) || !isLetter(second)) return {};
  auto lower = [](std::uint8_t c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  return {lower(first), lower(second)};
}

VideoInfo ReadVideo(std::uint8_t first, std::uint8_t second) {
  VideoInfo video;
  const int standard = (first >> 4) & 3;
  const int aspect = (first >> 2) & 3;
  const int size = (second >> 2) & 3;
  if (standard == 0) video.standard = VideoStandard::Ntsc;
  if (standard == 1) video.standard = VideoStandard::Pal;
  if (aspect == 0) video.aspect = AspectRatio::Ratio4x3;
  if (aspect == 3) video.aspect = AspectRatio::Ratio16x9;
  static constexpr int widths[] = {720, 704, 352, 352};
  video.width = widths[size];
  if (video.standard == VideoStandard::Pal) video.height = size == 3 ? 288 : 576;
  if (video.standard == VideoStandard::Ntsc) video.height = size == 3 ? 240 : 480;
  return video;
}

AudioStream ReadAudio(Bytes attr) {
  AudioStream stream;
  switch (attr[0] >> 5) {
    case 0: stream.format = AudioFormat::Ac3; break;
    case 2: stream.format = AudioFormat::Mpeg1; break;
    case 3: stream.format = AudioFormat::Mpeg2; break;
    case 4: stream.format = AudioFormat::Lpcm; break;
    case 6: stream.format = AudioFormat::Dts; break;
    default: stream.format = AudioFormat::Other; break;
  }
  stream.channels = (attr[1] & 7) + 1;
  const int rate = (attr[1] >> 4) & 3;
  stream.sampleRateKHz = rate == 0 ? 48 : rate == 1 ? 96 : 0;
  if (((attr[0] >> 2) & 3) == 1) stream.language = LanguageCode(attr[2], attr[3]);
  return stream;
}

int AudioIdBase(AudioFormat format) {
  switch (format) {
    case AudioFormat::Ac3: return 0x80;
    case AudioFormat::Dts: return 0x88;
    case AudioFormat::Lpcm: return 0xA0;
    case AudioFormat::Mpeg1:
    case AudioFormat::Mpeg2: return 0xC0;
    case AudioFormat::Other: break;
  }
  return -1;
}

// The physical stream number comes from the first chain that marks the stream available;
// the position in the attribute table only stands in when no chain does.
int AudioPhysical(const std::vector<ChainControls>& controls, int index) {
  for (const ChainControls& chain : controls) {
    const std::uint16_t control = chain.audio[index];
    if (control & 0x8000) return (control >> 8) & 7;
  }
  return index;
}

int SubpicturePhysical(const std::vector<ChainControls>& controls, int index, bool wide) {
  for (const ChainControls& chain : controls) {
    const std::uint32_t control = chain.subpicture[index];
    if (control & 0x80000000u) return static_cast<int>((control >> (wide ? 16 : 24)) & 0x1F);
  }
  return index;
}

// The chain's playback time hh:mm:ss, or why it is none. A time out of range is refused
// rather than read: 72:78:06 would pass for the longest chain, the main feature.
std::string ReadChainTime(Bytes time, ProgramChain& entry) {
  const bool decimal = DecodeBcd(time[0], entry.hours) && DecodeBcd(time[1], entry.minutes) &&
                       DecodeBcd(time[2], entry.seconds);
  if (decimal && entry.minutes < 60 && entry.seconds < 60) return {};
  char shown[16];
  std::snprintf(shown, sizeof shown, "%02X:%02X:%02X", time[0], time[1], time[2]);
  return std::string("the playback time ") + shown + ", which is no time (" +
         (decimal ? "minutes or seconds above 59" : "a digit above 9") + ")";
}

}  // namespace

ParseResult ParseTitleSetIfo(Bytes bytes) {
  // A copy cut off early is far likelier than a foreign file of that size: say what it is.
  if (bytes.empty()) return Fail("is empty");
  if (bytes.size() < kSectorSize)
    return Fail("is " + std::to_string(bytes.size()) + " bytes, too short for an IFO");
  const std::size_t magicLength = sizeof(kMagic) - 1;
  if (std::memcmp(bytes.data(), kMagic, magicLength) != 0)
    return Fail("not a title set IFO (no DVDVIDEO-VTS signature)");
  if (!InBounds(bytes, 0, kMatEnd)) return Fail("file is truncated inside the title set header");

  ParseResult result;
  TitleSet& titleSet = result.titleSet;
  titleSet.video = ReadVideo(bytes[kVideoAttributes], bytes[kVideoAttributes + 1]);

  const int audioCount = *ReadU16(bytes, kAudioCount);
  if (audioCount > kMaxAudio) return Fail("audio stream count " + std::to_string(audioCount) + " exceeds 8");
  const int subpictureCount = *ReadU16(bytes, kSubpictureCount);
  if (subpictureCount > kMaxSubpictures)
    return Fail("sub-picture stream count " + std::to_string(subpictureCount) + " exceeds 32");

  // Title program chain table.
  const std::uint64_t pgcit = std::uint64_t{*ReadU32(bytes, kPgcitSector)} * kSectorSize;
  if (pgcit == 0) return Fail("the title set has no program chain table");
  const auto chainCount = ReadU16(bytes, pgcit);
  const auto lastByte = ReadU32(bytes, pgcit + 4);
  if (!chainCount || !lastByte) return Fail("program chain table lies outside the file");
  if (*chainCount == 0) return Fail("the title set has no program chain");
  const std::uint64_t tableSize = std::uint64_t{*lastByte} + 1;
  if (!InBounds(bytes, pgcit, tableSize)) return Fail("program chain table ends outside the file");
  const Bytes table = bytes.subspan(static_cast<std::size_t>(pgcit), static_cast<std::size_t>(tableSize));
  if (!InBounds(table, kPgcitHeaderSize, std::uint64_t{*chainCount} * kPgcitEntrySize))
    return Fail("program chain table is shorter than its " + std::to_string(*chainCount) + " entries");

  std::vector<ChainControls> controls;
  for (int i = 0; i < *chainCount; ++i) {
    const std::uint64_t pgc = *ReadU32(table, kPgcitHeaderSize + i * kPgcitEntrySize + 4);
    const std::string name = "program chain " + std::to_string(i + 1);
    if (!InBounds(table, pgc, kPgcReadSize)) return Fail(name + " lies outside its table");
    const Bytes chain = table.subspan(static_cast<std::size_t>(pgc), kPgcReadSize);

    ProgramChain entry;
    entry.chapters = chain[kPgcPrograms];
    const std::string badTime = ReadChainTime(chain.subspan(kPgcTime, 3), entry);
    if (!badTime.empty()) return Fail(name + " has " + badTime);
    entry.playbackError = ReadChainPlayback(table.subspan(static_cast<std::size_t>(pgc)), entry);
    titleSet.chains.push_back(entry);

    ChainControls control;
    for (int a = 0; a < kMaxAudio; ++a) control.audio[a] = *ReadU16(chain, kPgcAudioControl + a * 2);
    for (int s = 0; s < kMaxSubpictures; ++s)
      control.subpicture[s] = *ReadU32(chain, kPgcSubpictureControl + s * 4);
    controls.push_back(control);
  }

  for (int a = 0; a < audioCount; ++a) {
    AudioStream stream = ReadAudio(bytes.subspan(kAudioAttributes + a * kAudioAttributeSize, kAudioAttributeSize));
    const int base = AudioIdBase(stream.format);
    if (base >= 0) stream.streamId = base + AudioPhysical(controls, a);
    titleSet.audio.push_back(stream);
  }
  const bool wide = titleSet.video.aspect == AspectRatio::Ratio16x9;
  for (int s = 0; s < subpictureCount; ++s) {
    const Bytes attr = bytes.subspan(kSubpictureAttributes + s * kSubpictureAttributeSize, kSubpictureAttributeSize);
    SubpictureStream stream;
    stream.streamId = 0x20 + SubpicturePhysical(controls, s, wide);
    if ((attr[0] & 3) == 1) stream.language = LanguageCode(attr[2], attr[3]);
    titleSet.subpictures.push_back(stream);
  }

  result.ok = true;
  return result;
}

int TitleSetCount(Bytes bytes) {
  const std::size_t magicLength = sizeof(kManagerMagic) - 1;
  if (bytes.size() < magicLength || std::memcmp(bytes.data(), kManagerMagic, magicLength) != 0) return -1;
  const auto count = ReadU16(bytes, kTitleSetCount);
  return count ? *count : -1;
}

}  // namespace ifoscan
