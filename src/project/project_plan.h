#pragma once
// ProjectPlan: one checked, typed snapshot of everything a save writes. The record keeps its
// numbers as text and reads them leniently for the estimates on screen; a project must not be
// so lenient, because its files hand those values to the command interpreter, the frame
// server and the codec. So a save first builds the plan, and refuses, naming the field, its
// text and what it accepts, anything the batch, the script or the tools cannot take. Every
// writer is a function of the plan alone.

#include <optional>
#include <string>
#include <vector>

#include "frame/app_state.h"

namespace ravlo {

enum class AudioOutput { None, Ac3, Mp3, Ogg, Aac, Opus };  // AAC and Opus: MKV and MP4 only
// The Linux road's video codec and container; the Windows program makes XviD in AVI.
enum class VideoCodec { Xvid, H264, Hevc, Av1 };
enum class MovieContainer { Avi, Mkv, Mp4 };
enum class SubtitleOutput { VobSub, Srt };
enum class PlannedStandard { None, Pal, Ntsc };
enum class PlannedAspect { None, Wide, Standard };  // 16:9, 4:3

// One chosen stream, in the user's order.
struct PlannedStream {
  int id = 0;            // MPEG stream id: 0x80.. AC3, 0xA0.. LPCM, 0x20..0x3F subpicture
  std::string code;      // "0x80o.ac3", "0xA0o.wav" (audio), "0x21" (subtitles)
  std::string name;      // the language as the list shows it; may be empty

  std::string Id() const { return code.substr(0, 4); }  // "0x80": the stem of its files
};

struct ProjectPlan {
  std::string lineBreak;      // CR LF for the Windows files
  std::string ifoPath;        // the title set's IFO
  std::string projectFolder;  // ends with the path separator
  std::vector<std::string> titleVobs;  // full paths of the title's VOB files, in name order
  std::string firstVob;       // the set's first title VOB, VTS_nn_1.VOB, beside the IFO

  // Title
  int chain = 1;              // 1-based program chain
  int angle = 1;              // 1..9
  PlannedStandard standard = PlannedStandard::None;
  PlannedAspect aspect = PlannedAspect::None;

  // The chain's length in seconds as the window shows it; 0 when not known.
  double seconds = 0;

  // Medium: megabytes; the text is the number as the user wrote it, blanks trimmed.
  double mediaMB = 0;
  std::string mediaText;

  // Audio
  std::vector<PlannedStream> audio;
  AudioOutput audioOutput = AudioOutput::None;
  bool original = false;      // the disc's streams unconverted
  bool sixChannels = false;   // AC3 5.1
  int audioKbps = 0;          // the chosen bitrate (AC3, MP3; OGG's list value)
  std::string oggQuality;     // -0.2..1.0, as typed or from the list (OGG only)
  std::string dynamicCompression;  // one of the list's items
  std::string channelMode;         // one of the list's items

  // Subtitles
  std::vector<PlannedStream> subtitles;
  SubtitleOutput subtitleOutput = SubtitleOutput::VobSub;

  // Video filters
  bool forceFilm = false;
  bool ivtc = false;
  bool deinterlace = false;
  bool resize = false;
  std::string resizeFilter;   // "Lanczos", "Bicubic" or "Bilinear"
  bool autoCrop = false;
  int cropThreshold = 0;
  int cropSamples = 0;

  // Options
  bool deleteTemporary = false;
  bool deleteLogs = false;
  bool shutDown = false;
  std::string authorText;
  std::string nodesFile;  // the machines of the video's segments (GNU parallel's login file), "" none

  // Output (the Linux road). XviD goes into AVI with the audio and subtitles in files beside it;
  // the other codecs into one MKV or MP4 file named after the disc.
  VideoCodec codec = VideoCodec::Xvid;
  MovieContainer container = MovieContainer::Avi;
  std::string discName;   // the disc's volume label, else its folder's name; a file name's stem
  std::string movieName;  // the one file, "THE_FILM.mkv"; empty for AVI

  // Several chains of the title set, each into a file of its own (the disc's name and the
  // chain's number: "THE_FILM_3.mkv"), sharing the medium or each filling one (sizeEach). Empty
  // for the one chain of `chain`.
  std::vector<int> titles;
  std::vector<std::string> titleMovies;
  bool sizeEach = false;

  bool OneFile() const { return container != MovieContainer::Avi; }
  bool SeveralTitles() const { return !titles.empty(); }
  bool Converts() const { return !audio.empty() && !original; }
  // The extension of a converted audio file: ".ac3", ".mp3", ".ogg", ".aac", ".opus"; empty
  // with no format.
  std::string AudioExtension() const;
};

// Limits the plan holds values to. Exposed for the messages and the tests.
inline constexpr double kMaxMediaMB = 2097151;   // its KB must fit the codec's signed 32 bits
inline constexpr int kMaxAngle = 9;
inline constexpr int kMaxCropThreshold = 255;
inline constexpr int kMaxCropSamples = 10000;

// The least a medium must hold: one second of the title's frames, as small as the codec makes
// them. Measured with libxvid at its coarsest quantizer on a black 720x576 picture: a key
// frame of 4506 bytes, the others 210; the AVI file adds 24 bytes of chunk header and index a
// frame and about 8 KB of headers. A smaller medium cannot take the video at all. The frame
// rate is the standard's (30 when none is known; 24 for film forced on NTSC).
inline constexpr double kAviHeaderBytes = 8192;
inline constexpr double kAviBytesPerFrame = 24;
inline constexpr double kSmallestKeyFrameBytes = 4506;
inline constexpr double kSmallestFrameBytes = 210;
double MinMediaMB(const ProjectPlan& plan);

struct PlanResult {
  std::optional<ProjectPlan> plan;
  std::string refusal;  // why there is no plan: one message for the user
};

// Builds the plan from the record and AppGlobals. Resolves the OGG quality first (which may
// ask the user), and lists the title's VOB files. Requires ProjectFolder.
PlanResult BuildProjectPlan(AppState& app);

}  // namespace ravlo
