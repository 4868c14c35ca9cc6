#include "report_writer.h"

#include <cstdio>

#include "language_names.h"

namespace ifoscan {
namespace {

std::string Hex(int id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", id & 0xFF);
  return text;
}

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

const char* FormatName(AudioFormat format) {
  switch (format) {
    case AudioFormat::Ac3: return "AC3";
    case AudioFormat::Lpcm: return "LPCM";
    case AudioFormat::Dts: return "DTS";
    case AudioFormat::Mpeg1: return "MPEG";
    case AudioFormat::Mpeg2: return "MPEG-2";
    case AudioFormat::Other: break;
  }
  return "Unknown format";
}

}  // namespace

std::string FormatReport(const TitleSet& titleSet) {
  const std::string end = "\r\n";
  std::string report;

  int number = 0;
  for (const ProgramChain& chain : titleSet.chains) {
    report += "  " + std::to_string(++number) + ". Length: " + TwoDigits(chain.hours) + ":" +
              TwoDigits(chain.minutes) + ":" + TwoDigits(chain.seconds) + ", " +
              std::to_string(chain.chapters) + " chapters" + end;
  }

  number = 0;
  for (const AudioStream& audio : titleSet.audio) {
    // A format without a known stream id gets no "0x" at all, so it cannot pass for a subtitle.
    const std::string id = audio.streamId >= 0 ? Hex(audio.streamId) : "--";
    const std::string rate = audio.sampleRateKHz > 0 ? std::to_string(audio.sampleRateKHz) : "?";
    report += "  " + id + ". " + LanguageName(audio.language) + " (" + FormatName(audio.format) + ", " +
              std::to_string(audio.channels) + "ch, " + rate + "kHz) [" + std::to_string(++number) + "]" + end;
  }

  number = 0;
  for (const SubpictureStream& subpicture : titleSet.subpictures) {
    report += "  " + Hex(subpicture.streamId) + ". " + LanguageName(subpicture.language) + " (Subtitle) [" +
              std::to_string(++number) + "]" + end;
  }

  const VideoInfo& video = titleSet.video;
  const char* standard = video.standard == VideoStandard::Pal    ? "PAL"
                         : video.standard == VideoStandard::Ntsc ? "NTSC"
                                                                 : "unknown standard";
  const char* aspect = video.aspect == AspectRatio::Ratio16x9  ? "16:9"
                       : video.aspect == AspectRatio::Ratio4x3 ? "4:3"
                                                               : "unknown aspect";
  const std::string height = video.height > 0 ? std::to_string(video.height) : "?";
  report += std::string("  Video: ") + standard + " " + aspect + " " + std::to_string(video.width) + "x" + height + end;
  return report;
}

}  // namespace ifoscan
