#pragma once
// What the reader learns from a title set IFO: the title set's video, audio and sub-picture
// attributes and its title program chains, already resolved to stream ids.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ifoscan {

enum class VideoStandard { Ntsc, Pal, Unknown };
enum class AspectRatio { Ratio4x3, Ratio16x9, Unknown };

struct VideoInfo {
  VideoStandard standard = VideoStandard::Unknown;
  AspectRatio aspect = AspectRatio::Unknown;
  int width = 0;
  int height = 0;  // 0 when the standard is unknown
};

enum class AudioFormat { Ac3, Mpeg1, Mpeg2, Lpcm, Dts, Other };

struct AudioStream {
  AudioFormat format = AudioFormat::Other;
  int streamId = -1;      // MPEG stream id (0x80.., 0xA0.., ...); -1 when the format has none
  int channels = 0;
  int sampleRateKHz = 0;  // 0 when the attribute holds a reserved value
  std::string language;   // two-letter code, empty when the stream carries none
};

struct SubpictureStream {
  int streamId = 0x20;
  std::string language;
};

// How a cell takes part in an angle block: the cells of one block are the same stretch of the
// title seen from different angles, in angle order.
enum class AngleBlock { None, First, Middle, Last };

// One entry of a chain's cell playback table. Sectors count from the start of VTS_nn_1.VOB,
// the title set's VOB files taken one after the other.
struct Cell {
  std::uint32_t firstSector = 0;
  std::uint32_t lastSector = 0;
  AngleBlock angleBlock = AngleBlock::None;
  bool interleaved = false;
  bool clockRestarts = false;    // the stream's clock may jump at the start of this cell
  std::int64_t durationTicks = 0;  // playback time in 90 kHz ticks
};

struct ProgramChain {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int chapters = 0;

  // What a player needs; only valid when playbackError is empty. A chain whose player tables
  // are damaged is still listed, so the report stays available.
  std::vector<Cell> cells;
  std::vector<int> programEntryCells;      // 1-based entry cell of each program
  std::array<std::uint32_t, 16> colours{};  // colour table as stored: 0x00YYCrCb
  std::string playbackError;
};

// Whole seconds of the chain's playback time.
inline int PlaybackSeconds(const ProgramChain& chain) {
  return chain.hours * 3600 + chain.minutes * 60 + chain.seconds;
}

struct TitleSet {
  VideoInfo video;
  std::vector<AudioStream> audio;
  std::vector<SubpictureStream> subpictures;
  std::vector<ProgramChain> chains;  // title program chains in table order
};

}  // namespace ifoscan
