#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/path_form.h"
#include "project/shell_quote.h"
#include "project/shell_road.h"

namespace ravlo {
namespace {

// What every project.sh starts with: the helpers of the stages. `stage` is the running stage;
// Fail names it, the command and its log, marks the stage failed in log.txt and ends the job.
constexpr const char* kPreamble = R"SH(set -u
cd -- "$(dirname -- "$0")" || exit 1

stage=''
stage_no=0
Now() { date +%H:%M:%S.%2N; }
Shown() {
  for word in "$@"; do printf "'%s' " "$(printf '%s' "$word" | sed "s/'/'\\\\''/g")"; done
}
audio_job=''
progress=-stats
Fail() {
  echo "$stage failed: $(Now)" >>log.txt
  printf 'project.sh: %s failed: %s\n' "$stage" "$1" >&2
  # The audio runs beside the first video pass: let it end rather than leave it running.
  [ -n "$audio_job" ] && wait "$audio_job"
  exit 1
}
# Waits for the audio made in the background; its failure has been reported already.
AudioDone() {
  [ -n "$audio_job" ] || return 0
  job=$audio_job
  audio_job=''
  wait "$job" || exit 1
}
Stage() {
  stage=$1
  [ "${2:-}" = again ] || stage_no=$((stage_no + 1))
  printf '\n[%d/%d] %s%s\n' "$stage_no" "$stages" "$stage" "${3:+ $3}"
  echo "$stage: $(Now)" >>log.txt
}
# Run LOG COMMAND...: the command's messages go to LOG.
Run() {
  log=$1; shift
  "$@" >>"$log" 2>&1 || Fail "$(Shown "$@")ended with exit code $?; its messages are in $log"
}
# Encode LOG ARGUMENTS...: ffmpeg, its progress on the terminal, its whole report in LOG.
Encode() {
  log=$1; shift
  set -- ffmpeg -nostdin -hide_banner -loglevel error "$progress" -y "$@"
  FFREPORT="file=$log:level=32" "$@" || Fail "$(Shown "$@")ended with exit code $?; its messages are in $log"
}
Calc() { awk "BEGIN { $1 }" </dev/null; }
Bytes() { wc -c <"$1" | tr -d ' '; }
# The result files beside the video, as brimmer measures them.
OtherBytes() {
  sum=0
  for file in movie.idx movie.sub movie.rar *.ac3 *.mp3 *.ogg *.wav; do
    [ -f "$file" ] && sum=$((sum + $(Bytes "$file")))
  done
  echo "$sum"
}
)SH";

// The second pass and its corrections. libxvid's two-pass lands under the requested bitrate,
// the more so the harder the picture (measured: 1% on a still picture, 12-21% on noise), and
// its response to a changed request is not proportional either. So: predict the first request
// from how far the first pass must be compressed, aim at 99.5% of the medium, measure, and
// correct from the passes measured so far (one: size taken as bitrate^1.1; two or more: the
// secant through the last two). At most two corrections.
constexpr const char* kSecondPass = R"SH(AudioDone
Stage "Video 2nd pass"
video_kb=$("$helpers/brimmer" --print "$medium_mb" 2>>brimmer.log) ||
  Fail "$(Shown "$helpers/brimmer" --print "$medium_mb")found no room for the video; see brimmer.log"
others=$(OtherBytes)
frames=$(awk '!/^#/ && NF >= 7 { n++ } END { print n + 0 }' xvid-0.log)
first=$(awk '!/^#/ && NF >= 7 { s += $6 } END { printf "%.0f", s }' xvid-0.log)
goal=$(Calc "printf \"%.0f\", $video_kb * 1024 - $medium_bytes * 0.005")
payload=$(Calc "printf \"%.0f\", $goal - $frames * 24 - 8192")
if [ "$frames" -eq 0 ] || Calc "exit !($payload <= 0)"; then
  Fail "the audio and subtitles leave ${video_kb} KB of the medium, too little for $frames video frames"
fi
# The first pass runs at the codec's finest quantizer: the second cannot come out larger. A
# title that small at its best is made at its best, and the shortfall is said, not hidden.
best=''
if Calc "exit !($first < $goal)"; then
  best="at its best quality the video takes $first bytes, less than the $goal bytes the medium leaves it"
  echo "Video 2nd pass: $best" | tee -a size.log
  bps=$(Calc "printf \"%.0f\", $first * 8 / $duration")
else
  bps=$(Calc "r = $first / $goal; f = 1 - 0.1 * (log(r) - 1.5); if (f > 1.05) f = 1.05;
              if (f < 0.75) f = 0.75; printf \"%.0f\", $payload * 8 / $duration / f")
fi
run=0 tries=''
while :; do
  log=video2.log
  [ "$run" -gt 0 ] && log=video2.$run.log
  Encode "$log" -i movie.vob -map 0:v:0 -an -sn $filters $video_rate -c:v libxvid -vtag XVID \
    ${RAVLO3_XVID_OPTIONS:-} -b:v "$bps" -pass 2 -passlogfile xvid -f avi movie.avi
  avi=$(Bytes movie.avi)
  total=$((avi + others))
  fill=$(Calc "printf \"%.2f\", 100 * $total / $medium_bytes")
  echo "Video 2nd pass at $bps bit/s: $total bytes, $fill% of the medium" | tee -a size.log
  Calc "exit !($total <= $medium_bytes && $total >= 0.99 * $medium_bytes)" && break
  [ -n "$best" ] && Calc "exit !($total <= $medium_bytes)" && break
  if [ "$run" -ge 2 ]; then
    Fail "after two corrections the files fill $fill% of the medium, not 99% to 100%; see size.log"
  fi
  tries="$tries $bps $avi"
  bps=$(echo $tries | awk -v goal="$goal" '{ n = NF / 2; b2 = $(2 * n - 1); s2 = $(2 * n)
    if (n == 1 || $(2 * n - 2) == s2) printf "%.0f", b2 * exp(log(goal / s2) / 1.1)
    else { b1 = $(2 * n - 3); s1 = $(2 * n - 2); printf "%.0f", b2 + (goal - s2) * (b2 - b1) / (s2 - s1) } }')
  run=$((run + 1))
  Stage "Video 2nd pass" again "(correction $run)"
done
)SH";

// Builds the text line by line with LF ends.
class ScriptText {
 public:
  void Line(const std::string& line = {}) { text_ += line + '\n'; }
  void Raw(const char* text) { text_ += text; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

std::string Hex(int id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", id);
  return text;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::string ScaleFlags(const std::string& filter) {
  if (filter == "Bicubic") return "bicubic";
  if (filter == "Bilinear") return "bilinear";
  return "lanczos";
}

// BeSweet's dynamic compression on ffmpeg's AC3 decoder: its scale of the stream's own
// compression data, 0 (none) to 6.
std::string DrcScale(const std::string& compression) {
  if (compression == "none") return "0";
  if (compression == "light") return "0.5";
  if (compression == "heavy") return "2";
  return "1";
}

// The down-mix to two channels: Dolby Surround or Pro Logic II matrix encoding, or plain.
std::string DownMix(const std::string& channelMode) {
  if (channelMode == "surround") return "aresample=matrix_encoding=dolby";
  if (channelMode == "surround2") return "aresample=matrix_encoding=dplii";
  return {};
}

// ffmpeg's libvorbis quality runs -1..10 where BeSweet's runs -0.2..1.0; the encoder itself
// goes no lower than -0.1.
std::string VorbisQuality(const std::string& quality) {
  const double value = std::strtod(quality.c_str(), nullptr);
  return Number(std::max(-1.0, std::round(value * 100) / 10));
}

// The audio is made in the background while the first video pass runs: libxvid keeps one core
// busy, and a long movie's audio takes minutes. The second pass waits for it, as brimmer
// measures its files.
void AudioStage(const ProjectPlan& plan, const std::vector<std::string>& results, ScriptText& sh) {
  sh.Line("Stage Audio '' '(beside the first video pass)'");
  sh.Line("(");
  sh.Line("progress=-nostats");
  for (std::size_t i = 0; i < plan.audio.size(); ++i) {
    const PlannedStream& stream = plan.audio[i];
    const std::string id = Hex(stream.id);
    const bool ac3Source = stream.id >= 0x80 && stream.id <= 0x87;
    std::string line = "Encode " + id + ".log ";
    if (ac3Source && plan.Converts()) line += "-drc_scale " + DrcScale(plan.dynamicCompression) + " ";
    line += "-i movie.vob -map 0:i:" + id + " -vn -sn ";
    if (plan.original) {
      line += ac3Source ? "-c:a copy -f ac3 " : "-c:a pcm_s16le -f wav ";
    } else {
      const bool six = plan.audioOutput == AudioOutput::Ac3 && plan.sixChannels;
      // Bare audio files keep no time stamps; counting them from the samples spares the muxer
      // the disc's jitter, which it would report as errors.
      const std::string mix = six ? std::string() : DownMix(plan.channelMode);
      line += "-af " + (mix.empty() ? "" : mix + ",") + "asetpts=N/SR/TB ";
      line += six ? "-ac 6 " : "-ac 2 ";
      if (plan.audioOutput == AudioOutput::Mp3) {
        line += "-c:a libmp3lame -b:a " + std::to_string(plan.audioKbps) + "k ";
      } else if (plan.audioOutput == AudioOutput::Ogg) {
        line += "-c:a libvorbis -q:a " + VorbisQuality(plan.oggQuality) + " ";
      } else {
        line += "-c:a ac3 -b:a " + std::to_string(plan.audioKbps) + "k ";
      }
    }
    // The author goes into the tags as the file is made, so that the sizes the second pass
    // is planned from are the final ones.
    line += "-metadata encoded_by=\"$author\" " + results[i];
    sh.Line(line);
  }
  sh.Line(") &");
  sh.Line("audio_job=$!");
  sh.Line();
}

// The resize of the chain, or nothing.
std::string ScaleFilter(const ProjectPlan& plan) {
  if (!plan.resize || plan.aspect == PlannedAspect::None) return {};
  const std::string size = plan.aspect == PlannedAspect::Wide ? "640:360" : "640:480";
  return "scale=" + size + ":flags=" + ScaleFlags(plan.resizeFilter);
}

// Samples spread over the whole chain, as AutoCrop takes them. Only key frames are decoded
// (a DVD has one or two a second), which makes this run a fraction of a pass; the crop is
// found on the resized picture, where it applies. Field matching and deinterlacing do not
// move the picture's edges and need whole runs of frames, so they are left out here.
void AutoCropStep(const ProjectPlan& plan, ScriptText& sh) {
  const std::string scale = ScaleFilter(plan);
  char limit[16];
  std::snprintf(limit, sizeof limit, "%.4f", plan.cropThreshold / 255.0);
  sh.Line("step=$(Calc \"s = int($duration * 1.6 / " + std::to_string(plan.cropSamples) +
          "); print (s < 1 ? 1 : s)\")");
  sh.Line("Run crop.log ffmpeg -nostdin -hide_banner -skip_frame nokey -i movie.vob -map 0:v:0 -an -sn "
          "-vf \"select='not(mod(n,$step))'," +
          (scale.empty() ? "" : scale + ",") + "cropdetect=limit=" + limit + ":round=4:reset=0\" -frames:v " +
          std::to_string(plan.cropSamples) + " -f null -");
  sh.Line("crop=$(sed -n 's/.*\\(crop=[0-9]*:[0-9]*:[0-9]*:[0-9]*\\).*/\\1/p' crop.log | tail -n 1)");
  sh.Line("[ -n \"$crop\" ] || Fail \"the automatic crop found no picture edges; see crop.log\"");
}

// Soft telecine: film stored at 23.976 frames a second that a player shows at 29.97 by
// repeating fields as the pictures' flags say. Decoded as stored it needs no field filter:
// the film's frames are whole, and the rate is the film's. Ten samples spread over the chain
// count the flagged frames; film flags two of every four, so more than one in four flagged
// means most of the chain is film. Otherwise the choices of the plan apply.
constexpr const char* kSoftTelecine = R"SH(start=$(ffprobe -v error -show_entries format=start_time -of csv=p=0 movie.vob 2>>analysis.log)
case $start in '' | *[!0-9.]*) start=0 ;; esac
intervals=$(Calc "for (i = 0; i < 10; i++) printf \"%s%.3f%%+1.5\", (i ? \",\" : \"\"), $start + $duration * i / 10")
counts=$(ffprobe -v error -select_streams v:0 -read_intervals "$intervals" -show_entries frame=repeat_pict \
  -of csv=p=0 movie.vob 2>>analysis.log | awk -F, '/^[0-9]/ { n++; if ($1 > 0) r++ } END { print r + 0, n + 0 }')
flagged=${counts% *} sampled=${counts#* }
if [ "$flagged" -gt 0 ] && [ $((flagged * 4)) -gt "$sampled" ]; then
  echo "Analysis: soft telecine ($flagged of $sampled sampled frames repeat a field): the film keeps its 23.976 frames a second" |
    tee -a analysis.log
  field_filters='' video_rate='-r 24000/1001'
else
)SH";

void FilmOrVideo(const ProjectPlan& plan, const VideoFilters& video, ScriptText& sh) {
  const std::string planned = "field_filters=" + ShellQuoted(video.field) + " video_rate=" + ShellQuoted(video.rate);
  if (plan.standard != PlannedStandard::Ntsc) return sh.Line(planned);
  sh.Raw(kSoftTelecine);
  sh.Line("  " + planned);
  sh.Line("fi");
}

void EndStage(const ProjectPlan& plan, const std::vector<std::string>& results, ScriptText& sh) {
  sh.Line("Stage End");
  std::string list = "movie.avi";
  for (const std::string& file : results) list += " " + file;
  if (!plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::VobSub) list += " movie.idx movie.sub";
  sh.Line("for file in " + list + "; do printf '%12s bytes  %s\\n' \"$(Bytes \"$file\")\" \"$file\"; done");
  sh.Line("echo \"Total $total bytes: $fill% of the medium of $medium_bytes bytes ($medium_mb MB)\"");
  sh.Line("[ -z \"$best\" ] || echo \"It cannot fill more: $best.\"");
  if (plan.deleteTemporary) sh.Line("rm -f movie.vob xvid-0.log");
  if (plan.deleteLogs) {
    std::string logs = "analysis.log subtitles.log crop.log video1.log video2.log video2.1.log "
                       "video2.2.log brimmer.log size.log";
    for (const PlannedStream& stream : plan.audio) logs += " " + Hex(stream.id) + ".log";
    sh.Line("rm -f " + logs);
  }
  if (plan.shutDown) {
    sh.Line("systemctl poweroff ||");
    sh.Line("  echo 'project.sh: the computer was not shut down: systemctl poweroff was not permitted' >&2");
  }
}

int StageCount(const ProjectPlan& plan) {
  return 5 + (plan.subtitles.empty() ? 0 : 1) + (plan.audio.empty() ? 0 : 1);
}

}  // namespace

std::vector<std::string> AudioResultFiles(const ProjectPlan& plan) {
  std::vector<std::string> files;
  for (const PlannedStream& stream : plan.audio) {
    files.push_back(plan.original ? stream.code : Hex(stream.id) + plan.AudioExtension());
  }
  return files;
}

VideoFilters PlannedVideoFilters(const ProjectPlan& plan) {
  VideoFilters video;
  const bool ntsc = plan.standard == PlannedStandard::Ntsc;
  // Inverse telecine needs to know the standard; with none selected it is left out. NTSC
  // film telecined into video gets its frames back by field matching, and the one repeated
  // frame of every five dropped; PAL film is not telecined but may have its fields shifted by
  // one, so matching alone makes whole frames and the rate stays. Frames that no matching
  // makes whole (video, edits) are deinterlaced, and only those.
  if (plan.ivtc && plan.standard != PlannedStandard::None)
    video.field = ntsc ? "fieldmatch,yadif=deint=interlaced,decimate" : "fieldmatch,yadif=deint=interlaced";
  else if (plan.deinterlace)
    video.field = "yadif";  // one frame per frame: the rate stays
  if (ntsc && (plan.ivtc || plan.forceFilm)) video.rate = "-r 24000/1001";
  std::vector<std::string> picture;
  if (const std::string scale = ScaleFilter(plan); !scale.empty()) picture.push_back(scale);
  if (plan.autoCrop) picture.push_back("CROP");
  for (const std::string& filter : picture) video.picture += (video.picture.empty() ? "" : ",") + filter;
  return video;
}

std::string ProjectScriptText(const ProjectPlan& plan, const std::string& helperFolder) {
  const std::vector<std::string> results = AudioResultFiles(plan);
  const VideoFilters video = PlannedVideoFilters(plan);
  ScriptText sh;
  sh.Line("#!/bin/sh");
  sh.Line("# Makes the movie of this project: XviD video in two passes, the chosen audio and");
  sh.Line("# subtitles, together filling the medium. Written by ravlo3; the stages and their");
  sh.Line("# times go to log.txt. Extra libxvid options may come in RAVLO3_XVID_OPTIONS.");
  sh.Raw(kPreamble);
  sh.Line();
  sh.Line("ifo=" + ShellQuoted(NativePath(plan.ifoPath)));
  sh.Line("chain=" + std::to_string(plan.chain));
  sh.Line("angle=" + std::to_string(plan.angle));
  sh.Line("helpers=" + ShellQuoted(helperFolder));
  sh.Line("medium_mb=" + ShellQuoted(plan.mediaText));
  sh.Line("medium_bytes=" + Number(std::round(plan.mediaMB * 1024 * 1024)));
  sh.Line("author=" + ShellQuoted(plan.authorText));
  sh.Line("stages=" + std::to_string(StageCount(plan)));
  sh.Line();

  sh.Line("echo \"Encoding - the stages and their times go to log.txt\"");
  sh.Line(": >log.txt");
  sh.Line("Stage Analysis");
  sh.Line("Run analysis.log \"$helpers/vobtitle\" \"$ifo\" \"$chain\" \"$angle\" --stream movie.vob");
  sh.Line("duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 movie.vob 2>>analysis.log)");
  sh.Line("Calc \"exit !(\\\"$duration\\\" + 0 > 0)\" || Fail \"ffprobe found no length in movie.vob; see analysis.log\"");
  FilmOrVideo(plan, video, sh);
  sh.Line();

  if (!plan.subtitles.empty()) {
    sh.Line("Stage Subtitles");
    if (plan.subtitleOutput == SubtitleOutput::VobSub) {
      std::string ids;
      for (const PlannedStream& stream : plan.subtitles) ids += " " + Hex(stream.id);
      sh.Line("Run subtitles.log \"$helpers/vobtitle\" \"$ifo\" \"$chain\" \"$angle\" --vobsub movie" + ids);
    }
    sh.Line();
  }
  if (!plan.audio.empty()) AudioStage(plan, results, sh);

  sh.Line("Stage \"Video 1st pass\"");
  std::string picture = video.picture;
  if (plan.autoCrop) {
    AutoCropStep(plan, sh);
    picture.replace(picture.find("CROP"), 4, "$crop");
  }
  if (video.field.empty())
    sh.Line(picture.empty() ? "filters=''" : "filters=\"-vf " + picture + "\"");
  else if (picture.empty())
    sh.Line("filters=\"${field_filters:+-vf $field_filters}\"");
  else
    sh.Line("filters=\"-vf ${field_filters:+$field_filters,}" + picture + "\"");
  sh.Line("Encode video1.log -i movie.vob -map 0:v:0 -an -sn $filters $video_rate -c:v libxvid -vtag XVID \\");
  sh.Line("  ${RAVLO3_XVID_OPTIONS:-} -b:v 1000000 -pass 1 -passlogfile xvid -f avi /dev/null");
  sh.Line();
  sh.Raw(kSecondPass);
  sh.Line();

  sh.Line("Stage \"Set author\"");
  for (const std::string& file : results) {
    if (file.ends_with(".ac3")) continue;  // a bare AC3 stream has no tags
    // MP3 and WAV keep it with the file, OGG with its stream.
    sh.Line("ffprobe -v error -show_entries format_tags=encoded_by:stream_tags=encoded_by -of csv=p=0 " +
            file + " | grep -qxF -- \"$author\" || Fail \"" + file + " does not carry the author text\"");
  }
  sh.Line();
  EndStage(plan, results, sh);
  std::string text = sh.Text();
  text.pop_back();  // the closing line break comes with the writing
  return text;
}

std::string HelperFolder(const std::string& appFolder) {
  std::string folder = NativePath(appFolder);
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  const std::string data = "/share/ravlo3";
  if (folder.ends_with(data)) return folder.substr(0, folder.size() - data.size()) + "/bin";
  return folder;
}

std::vector<ProjectFile> ShellProjectFiles(const ProjectPlan& plan, const std::string& helperFolder) {
  return {{"project.sh", ProjectScriptText(plan, helperFolder)}, {"movie.sh", MovieScriptText(plan)}};
}

}  // namespace ravlo
