#include "project/project_plan.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "common/numbers.h"
#include "frame/cmd_text.h"
#include "frame/paths.h"
#include "project/disc_name.h"
#include "project/fill_estimate.h"
#include "project/save_report.h"
#include "streams/ogg_quality.h"

namespace ravlo {
namespace {

// The longest name a save or the batch puts into the project folder, while it is being made.
constexpr std::size_t kLongestProjectFileName = sizeof("lame_enc.dll") - 1 + sizeof(kPartialSuffix) - 1;

constexpr int kAc3Bitrates[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                192, 224, 256, 320, 384, 448, 512, 576, 640};
constexpr int kMinMp3Kbps = 8, kMaxMp3Kbps = 320;
constexpr int kMinOggKbps = 32, kMaxOggKbps = 500;
constexpr int kMinAacKbps = 16, kMaxAacKbps = 512;    // ffmpeg's aac, two channels
constexpr int kMinOpusKbps = 6, kMaxOpusKbps = 510;   // libopus's range
constexpr double kMinOggQuality = -0.2, kMaxOggQuality = 1.0;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Collects the first refusal; later checks are skipped once there is one.
class Checker {
 public:
  explicit Checker(const std::string& lineBreak) : br_(lineBreak) {}

  ProjectRoad road = ProjectRoad::Batch;

  bool Failed() const { return !refusal_.empty(); }
  const std::string& Refusal() const { return refusal_; }

  void Refuse(const Field& field, const std::string& text, const std::string& accepts) {
    Refuse(Label(field), text, accepts);
  }
  void Refuse(const std::string& what, const std::string& text, const std::string& accepts) {
    if (Failed()) return;
    refusal_ = what + ": \"" + text + "\" cannot go into the project." + br_ + accepts;
  }

  // A whole number within [low, high], or a refusal.
  std::optional<int> Whole(const Field& field, int low, int high, const std::string& what) {
    if (Failed()) return std::nullopt;
    const auto value = ParseNumber(field.Text());
    if (!value || *value != std::floor(*value) || *value < low || *value > high) {
      Refuse(field, field.Text(),
             "It takes " + what + ": a whole number from " + FormatNumber(low) + " to " +
                 FormatNumber(high) + ".");
      return std::nullopt;
    }
    return static_cast<int>(*value);
  }

  // One of the items of the field's list, exactly.
  std::string Item(const Field& field) {
    if (Failed()) return {};
    const auto& items = field.Items();
    if (std::find(items.begin(), items.end(), field.Text()) != items.end()) return field.Text();
    std::string list;
    for (const std::string& item : items) list += (list.empty() ? "" : ", ") + item;
    Refuse(field, field.Text(), "It takes one of the items of its list: " + list + ".");
    return {};
  }

  void Path(const std::string& what, const std::string& path, std::size_t room) {
    if (Failed()) return;
    if (path.empty()) {
      Refuse(what, path, "No path is set.");
    } else if (const auto problem = PathProblemOnRoad(road, path, room)) {
      Refuse(what, path, "The path cannot be used: " + *problem + ".");
    }
  }

  // The field as the user knows it from the window; the Windows program adds its control's
  // name for scripted mode, which means nothing to a user of the Linux window or command line.
  std::string Label(const Field& field) const {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"txtTitle", "Title"},
        {"txtAngle", "Angle"},
        {"cmbMS", "Media size"},
        {"cmbAudQual", "Audio quality"},
        {"cmbBS_DC", "Dynamic compression"},
        {"cmbBS_CM", "Channels mode"},
        {"cmbResize", "Resize filter"},
        {"txtAC_Threshold", "Crop threshold"},
        {"txtAC_Samples", "Crop samples"},
        {"cmbVideo", "Video codec"},
        {"cmbContainer", "File type"},
    };
    for (const auto& [name, label] : kLabels) {
      if (field.Name() == name) return road == ProjectRoad::Shell ? label : std::string(label) + " (" + name + ")";
    }
    return field.Name();
  }

 private:
  const std::string& br_;
  std::string refusal_;
};

// The length of a chain as its list entry says it: "2. Length: 01:02:03, 4 chapters"; 0 when
// it says none.
double ChainSeconds(const std::string& entry) {
  const std::size_t at = entry.find("Length: ");
  int h = 0, m = 0, sec = 0;
  if (at == std::string::npos || std::sscanf(entry.c_str() + at + 8, "%d:%d:%d", &h, &m, &sec) != 3) return 0;
  return h * 3600.0 + m * 60.0 + sec;
}

std::vector<PlannedStream> Streams(const Field& codes, const Field& names, bool audio,
                                   Checker& check) {
  std::vector<PlannedStream> streams;
  for (int i = 0; i < codes.ItemCount() && !check.Failed(); ++i) {
    const std::string& code = codes.Item(i);
    const std::string digits = code.size() >= 4 && code.compare(0, 2, "0x") == 0 ? code.substr(2, 2) : "";
    char* end = nullptr;
    const long id = digits.empty() ? -1 : std::strtol(digits.c_str(), &end, 16);
    const bool hexOk = end != nullptr && *end == '\0';
    const bool ok = audio ? hexOk && code.size() == 9 &&
                                ((id >= 0x80 && id <= 0x87 && code.substr(4) == "o.ac3") ||
                                 (id >= 0xA0 && id <= 0xA7 && code.substr(4) == "o.wav"))
                          : hexOk && code.size() == 4 && id >= 0x20 && id <= 0x3F;
    if (!ok) {
      check.Refuse(codes, code,
                   audio ? "Audio streams are 0x80o.ac3 to 0x87o.ac3 or 0xA0o.wav to 0xA7o.wav."
                         : "Subtitle streams are 0x20 to 0x3F.");
      break;
    }
    const std::string label = i < names.ItemCount() ? names.Item(i) : std::string();
    const std::size_t blank = label.find(' ');
    streams.push_back({static_cast<int>(id), code,
                       blank == std::string::npos ? std::string() : label.substr(blank + 1)});
  }
  return streams;
}

void PlanAudio(AppState& app, ProjectPlan& plan, Checker& check) {
  const ProjectSettings& s = app.settings;
  plan.audio = Streams(s.lstAO_code, s.lstAO_name, true, check);
  if (s.optAud_AC3.IsSet()) plan.audioOutput = AudioOutput::Ac3;
  if (s.optAud_MP3.IsSet()) plan.audioOutput = AudioOutput::Mp3;
  if (s.optAud_OGG.IsSet()) plan.audioOutput = AudioOutput::Ogg;
  if (s.optAud_AAC.IsSet()) plan.audioOutput = AudioOutput::Aac;
  if (s.optAud_OPUS.IsSet()) plan.audioOutput = AudioOutput::Opus;
  plan.original = s.chkOrig.Value() == 1;
  plan.sixChannels = s.chk51.Value() == 1;
  if (!plan.Converts()) return;  // the disc's own files: nothing to choose

  if (plan.audioOutput == AudioOutput::None) {
    check.Refuse("Audio format", "", "Choose AC3, MP3, OGG, AAC or Opus, or check \"Original\".");
    return;
  }
  const Field& quality = s.cmbAudQual;
  if (plan.audioOutput == AudioOutput::Ac3) {
    const auto value = ParseNumber(quality.Text());
    const bool ok = value && std::find(std::begin(kAc3Bitrates), std::end(kAc3Bitrates),
                                       *value) != std::end(kAc3Bitrates);
    if (!ok) {
      std::string rates;
      for (const int rate : kAc3Bitrates) rates += (rates.empty() ? "" : ", ") + FormatNumber(rate);
      check.Refuse(quality, quality.Text(), "AC3 takes one of these bitrates in kbit/s: " + rates + ".");
    } else {
      plan.audioKbps = static_cast<int>(*value);
    }
  } else if (plan.audioOutput == AudioOutput::Mp3) {
    plan.audioKbps = check.Whole(quality, kMinMp3Kbps, kMaxMp3Kbps, "an MP3 bitrate in kbit/s").value_or(0);
  } else if (plan.audioOutput == AudioOutput::Aac) {
    plan.audioKbps = check.Whole(quality, kMinAacKbps, kMaxAacKbps, "an AAC bitrate in kbit/s").value_or(0);
  } else if (plan.audioOutput == AudioOutput::Opus) {
    plan.audioKbps = check.Whole(quality, kMinOpusKbps, kMaxOpusKbps, "an Opus bitrate in kbit/s").value_or(0);
  } else {
    plan.audioKbps = check.Whole(quality, kMinOggKbps, kMaxOggKbps, "an OGG bitrate in kbit/s").value_or(0);
    if (check.Failed()) return;
    // The value the batch uses; a typed bitrate has asked the user for it.
    ResolveOggQuality(app);
    const std::string ogg = Trimmed(app.globals.OggQuality);
    const auto value = ParseNumber(ogg);
    if (!value || *value < kMinOggQuality || *value > kMaxOggQuality) {
      check.Refuse("OGG quality", app.globals.OggQuality,
                   "It takes a number from -0.2 to 1.0, such as 0.4.");
    }
    plan.oggQuality = ogg;
  }
  plan.dynamicCompression = check.Item(s.cmbBS_DC);
  // Six-channel AC3 is not mixed down, so it has no channel mode.
  if (!(plan.audioOutput == AudioOutput::Ac3 && plan.sixChannels)) plan.channelMode = check.Item(s.cmbBS_CM);
}

void PlanVideo(const ProjectSettings& s, ProjectPlan& plan, Checker& check) {
  plan.forceFilm = s.chkForceFilm.Value() == 1;
  plan.ivtc = s.chkIVTC.Value() == 1;
  plan.deinterlace = s.chkDeinterlace.Value() == 1;
  plan.resize = s.chkResize.Value() == 1;
  if (plan.resize) plan.resizeFilter = check.Item(s.cmbResize);
  plan.autoCrop = s.chkAC.Value() == 1;
  if (plan.autoCrop) {
    plan.cropThreshold = check.Whole(s.txtAC_Threshold, 0, kMaxCropThreshold, "a crop threshold").value_or(0);
    plan.cropSamples = check.Whole(s.txtAC_Samples, 1, kMaxCropSamples, "a number of sample frames").value_or(0);
  }
}

// Whether ffmpeg's SVT-AV1 encoder writes first-pass statistics (ffmpeg 5.1's does not): a
// fifth of a second of a tiny picture through its first pass, in the report folder.
bool Av1MakesTwoPasses(AppState& app) {
  std::string error;
  const std::string folder = app.platform.ReportFolder(app.globals.MiscFolder, error);
  if (folder.empty()) return false;
  const std::string stats = folder + "av1_probe";
  app.platform.RemoveFile(stats + "-0.log", error);
  // SVT-AV1 writes its banner past ffmpeg's log level; SVT_LOG=1 keeps it to errors.
  app.platform.RunAndWait("env SVT_LOG=1 ffmpeg -nostdin -loglevel quiet -y -f lavfi -i testsrc=size=64x64:duration=0.2 "
                          "-c:v libsvtav1 -b:v 100k -pass 1 -passlogfile \"" + stats + "\" -f null -",
                          WindowStyle::Hidden, std::chrono::seconds(30));
  const bool kept = app.platform.FileLength(stats + "-0.log").value_or(0) > 0;
  app.platform.RemoveFile(stats + "-0.log", error);
  return kept;
}

// The codec and the container, and what the container can carry. The Windows program makes
// XviD in AVI, and so does the Linux road when asked.
void PlanOutput(AppState& app, ProjectPlan& plan, Checker& check) {
  const ProjectSettings& s = app.settings;
  // The Windows program has no such choice: its fields are never started there.
  if (app.road != ProjectRoad::Shell || check.Failed() || s.cmbVideo.ItemCount() == 0) return;
  const std::string video = check.Item(s.cmbVideo);
  const std::string container = check.Item(s.cmbContainer);
  if (check.Failed()) return;
  plan.codec = video == "H.264" ? VideoCodec::H264 : video == "H.265" ? VideoCodec::Hevc
               : video == "AV1" ? VideoCodec::Av1 : VideoCodec::Xvid;
  plan.container = container == "MKV" ? MovieContainer::Mkv : container == "MP4" ? MovieContainer::Mp4
                                                                                  : MovieContainer::Avi;
  const bool mp4 = plan.container == MovieContainer::Mp4;
  if (plan.codec == VideoCodec::Xvid && plan.OneFile()) {
    check.Refuse(s.cmbContainer, container,
                 "XviD video goes into AVI, with the audio and subtitles in files beside it; "
                 "H.264 and H.265 go into one MKV or MP4 file.");
  } else if (plan.codec != VideoCodec::Xvid && !plan.OneFile()) {
    check.Refuse(s.cmbContainer, container, "AVI holds XviD video only; " + video + " goes into MKV or MP4.");
  } else if (!plan.OneFile() && plan.Converts() &&
             (plan.audioOutput == AudioOutput::Aac || plan.audioOutput == AudioOutput::Opus)) {
    check.Refuse("Audio format", plan.audioOutput == AudioOutput::Aac ? "AAC" : "Opus",
                 "AAC and Opus go into MKV or MP4 only: choose MKV or MP4, or MP3, OGG or AC3 for AVI.");
  } else if (plan.OneFile() && !plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::Srt) {
    check.Refuse("Subtitles", "SRT",
                 "The one file carries the disc's subtitles as pictures: choose VOBSUB, or no subtitles.");
  } else if (mp4 && !plan.subtitles.empty()) {
    check.Refuse(s.cmbContainer, container,
                 "MP4 cannot carry the disc's bitmap subtitles in a way players show them: choose MKV, "
                 "or no subtitles.");
  } else if (mp4 && plan.Converts() && plan.audioOutput == AudioOutput::Ogg) {
    check.Refuse(s.cmbContainer, container,
                 "MP4 cannot carry Vorbis (OGG) audio in a way players play it: choose MKV, or AAC, Opus, "
                 "MP3 or AC3 audio.");
  } else if (mp4 && plan.original &&
             std::any_of(plan.audio.begin(), plan.audio.end(), [](const PlannedStream& a) { return a.id >= 0xA0; })) {
    check.Refuse(s.cmbContainer, container,
                 "MP4 cannot carry the disc's LPCM audio as it is: choose MKV, or convert the audio.");
  }
  if (plan.codec == VideoCodec::Av1 && !check.Failed() && !Av1MakesTwoPasses(app)) {
    check.Refuse(s.cmbVideo, video,
                 "The installed ffmpeg keeps no first-pass statistics for libsvtav1, so AV1 cannot be made "
                 "in two passes to fill the medium exactly: choose H.264 or H.265.");
  }
  if (!check.Failed() && plan.SeveralTitles() && !plan.OneFile()) {
    check.Refuse(s.cmbContainer, container,
                 "Several titles go each into a file of its own, MKV or MP4: choose H.264 or H.265 in MKV or "
                 "MP4, or tick one title.");
  }
  if (check.Failed() || !plan.OneFile()) return;
  plan.discName = DiscName(plan.ifoPath);
  const std::string extension = mp4 ? ".mp4" : ".mkv";
  plan.movieName = plan.discName + extension;
  for (const int title : plan.titles) plan.titleMovies.push_back(plan.discName + "_" + std::to_string(title) + extension);
}

// The chains ticked in the list of titles on the Linux road: two or more make several titles,
// one is the chain to convert. Their lengths, from the list, count as the title's.
void PlanTitles(const ProjectSettings& s, ProjectPlan& plan) {
  std::vector<int> ticked;
  double seconds = 0, longest = 0;
  for (int i = 0; i < s.lstTitles.ItemCount(); ++i) {
    if (!s.lstTitles.IsChecked(i)) continue;
    ticked.push_back(i + 1);
    const double length = ChainSeconds(s.lstTitles.Item(i));
    seconds += length;
    longest = std::max(longest, length);
  }
  plan.sizeEach = ticked.size() > 1 && s.chkSizeEach.Value() == 1;
  if (ticked.size() == 1) plan.chain = ticked[0];
  if (ticked.size() < 2) return;
  plan.titles = ticked;
  if (seconds > 0) plan.seconds = plan.sizeEach ? longest : seconds;
}

void PlanPaths(AppState& app, ProjectPlan& plan, Checker& check) {
  const AppGlobals& g = app.globals;
  plan.ifoPath = g.IfoPath;
  plan.projectFolder = g.ProjectFolder;
  // The VOB names are as long as the IFO's; the batch names the first one itself.
  check.Path("IFO file", g.IfoPath, 0);
  check.Path("Project folder", g.ProjectFolder, kLongestProjectFileName);
  if (check.Failed()) return;

  const char separator = PathSeparator(app.road);
  const std::string folder = FolderOf(g.IfoPath, separator);
  const std::string ifoName = FileNameOf(g.IfoPath, separator);
  plan.firstVob = folder + ifoName.substr(0, 7) + "1.VOB";
  // VTS_01_0.IFO -> VTS_01_*.VOB: every VOB of the title set. The menu VOB (..._0.VOB) holds
  // no title content; the test is case-sensitive on purpose, as the disc's names are upper case.
  for (const std::string& name : app.platform.ListFiles(folder, ifoName.substr(0, 7) + "*.VOB")) {
    const bool isMenu = name.size() >= 5 && name.compare(name.size() - 5, 5, "0.VOB") == 0;
    if (isMenu) continue;
    check.Path("VOB file", folder + name, 0);
    plan.titleVobs.push_back(folder + name);
  }
}

}  // namespace

double MinMediaMB(const ProjectPlan& plan) {
  const double framesPerSecond = plan.standard == PlannedStandard::Pal ? 25
                                 : plan.forceFilm && plan.standard == PlannedStandard::Ntsc ? 24
                                                                                            : 30;
  const double bytes = kAviHeaderBytes + kSmallestKeyFrameBytes +
                       framesPerSecond * (kSmallestFrameBytes + kAviBytesPerFrame);
  return bytes / (1024 * 1024);
}

std::string ProjectPlan::AudioExtension() const {
  switch (audioOutput) {
    case AudioOutput::Ac3: return ".ac3";
    case AudioOutput::Mp3: return ".mp3";
    case AudioOutput::Ogg: return ".ogg";
    case AudioOutput::Aac: return ".aac";
    case AudioOutput::Opus: return ".opus";
    case AudioOutput::None: break;
  }
  return {};
}

PlanResult BuildProjectPlan(AppState& app) {
  const ProjectSettings& s = app.settings;
  const AppGlobals& g = app.globals;
  ProjectPlan plan;
  plan.lineBreak = g.LineBreak;
  Checker check(g.LineBreak);
  check.road = app.road;

  PlanPaths(app, plan, check);

  // The report's chains, when it gave any, bound the choice; the calculator shows that chain.
  const int chains = s.cmbPGC.ItemCount() > 0 ? s.cmbPGC.ItemCount() : 99;
  plan.chain = check.Whole(s.txtTitle, 1, chains, "the number of a program chain of the title").value_or(1);
  plan.angle = check.Whole(s.txtAngle, 1, kMaxAngle, "an angle").value_or(1);
  if (s.optPAL.IsSet()) plan.standard = PlannedStandard::Pal;
  if (s.optNTSC.IsSet()) plan.standard = PlannedStandard::Ntsc;
  if (s.opt16_9.IsSet()) plan.aspect = PlannedAspect::Wide;
  if (s.opt4_3.IsSet()) plan.aspect = PlannedAspect::Standard;

  plan.forceFilm = s.chkForceFilm.Value() == 1;
  if (const auto seconds = ParseNumber(s.txtSec.Text()); seconds && *seconds > 0) plan.seconds = *seconds;
  if (app.road == ProjectRoad::Shell) PlanTitles(s, plan);
  const auto media = ParseNumber(s.cmbMS.Text());
  const double leastMB = MinMediaMB(plan);
  if (!media || *media <= 0 || *media > kMaxMediaMB) {
    check.Refuse(s.cmbMS, s.cmbMS.Text(),
                 "It takes the size of the medium in MB: a number above 0 and up to 2097151; "
                 "fractions are allowed.");
  } else if (*media < leastMB) {
    char least[32];
    std::snprintf(least, sizeof least, "%.3f", std::ceil(leastMB * 1000) / 1000);
    check.Refuse(s.cmbMS, s.cmbMS.Text(),
                 std::string("It takes the size of the medium in MB: at least ") + least +
                     ", room for one second of the title's frames, and up to 2097151; "
                     "fractions are allowed.");
  } else {
    plan.mediaMB = *media;
    plan.mediaText = Trimmed(s.cmbMS.Text());
  }

  PlanAudio(app, plan, check);
  plan.subtitles = Streams(s.lstSO_code, s.lstSO_name, false, check);
  plan.subtitleOutput = s.optSub_SRT.IsSet() ? SubtitleOutput::Srt : SubtitleOutput::VobSub;
  PlanVideo(s, plan, check);
  PlanOutput(app, plan, check);
  // On the Linux road a medium the title cannot fit into would only fail after the first pass.
  if (app.road == ProjectRoad::Shell && plan.mediaMB > 0 && !check.Failed()) {
    if (const auto sizes = EstimateTitleSizes(plan); sizes && plan.mediaMB * 1024 * 1024 < sizes->leastBytes) {
      check.Refuse(s.cmbMS, s.cmbMS.Text(),
                   "The title's " + LengthText(plan.seconds) +
                       " of video at the codec's smallest and its audio need more: the smallest "
                       "medium that works is " + LeastMediumText(*sizes) + " MB.");
    }
  }

  plan.deleteTemporary = s.chkDelTemp.Value() == 1;
  plan.deleteLogs = s.chkDelLogs.Value() == 1;
  plan.shutDown = s.chkShutDown.Value() == 1;
  plan.authorText = g.AuthorText;
  plan.nodesFile = g.NodesFile;
  if (const auto problem = TextProblem(g.AuthorText)) {
    check.Refuse("Author", g.AuthorText, "The author text cannot be used: " + *problem + ".");
  } else if (g.AuthorText.find('"') != std::string::npos) {
    check.Refuse("Author", g.AuthorText, "The author text cannot hold a quotation mark.");
  }

  if (check.Failed()) return {std::nullopt, check.Refusal()};
  return {std::move(plan), {}};
}

}  // namespace ravlo
