#pragma once
// What the reader learns from a title set IFO: the title set's video, audio and sub-picture
// attributes and its title program chains, already resolved to stream ids.

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

struct ProgramChain {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int chapters = 0;
};

struct TitleSet {
  VideoInfo video;
  std::vector<AudioStream> audio;
  std::vector<SubpictureStream> subpictures;
  std::vector<ProgramChain> chains;  // title program chains in table order
};

}  // namespace ifoscan
