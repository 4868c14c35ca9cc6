#include <algorithm>
#include <cmath>
#include <cstdio>

#include "project/shell_quote.h"
#include "project/shell_road.h"

namespace ravlo {
namespace {

// What every project.sh starts with: the helpers of the stages. `stage` is the running stage;
// Fail names it and the reason, marks the stage failed in log.txt, removes this job's results
// and ends the job. A tool's messages are also kept in memory, as a full disk may swallow its
// log, and a tool that reports a failed write has failed whatever its exit code (ffmpeg can
// end with 0 after "No space left on device").
constexpr const char* kPreamble = R"SH(set -u
dir=$(dirname -- "$0"; echo .)
# A login file named relative to where the script was started.
case ${RAVLO3_NODES:-} in '' | /*) ;; *) RAVLO3_NODES=$(pwd)/$RAVLO3_NODES ;; esac
cd -- "${dir%??}" || exit 1

stage=''
stage_no=0
Now() { date +%H:%M:%S.%2N; }
Shown() {
  for word in "$@"; do printf "'%s' " "$(printf '%s' "$word" | sed "s/'/'\\\\''/g")"; done
}
audio_job=''
progress=-stats
beside=''
# Removes this plan's results, whole or not: a job that does not end well leaves none, and
# none of an earlier run stays beside this run's files as if it were theirs.
Unmade() {
  for file in $results movie.avi; do rm -f -- "$file" "$file.part"; done
  rm -f movie.part.idx movie.part.sub
}
# Moves the results of another plan saved here before out of the way, saying which: beside
# this plan's files they would pass for results of this run. A file moved aside before keeps
# its place; the next of its name takes a number. What cannot be moved ends the job untouched.
Aside() {
  for file in $earlier; do
    [ -f "$file" ] || continue
    case " $ours " in *" $file "*) continue ;; esac
    name=$file n=1
    while [ -e "earlier results/$name" ]; do n=$((n + 1)); name="${file%.*} ($n).${file##*.}"; done
    mkdir -p 'earlier results' && mv -- "$file" "earlier results/$name" || {
      echo "project.sh: $file, no result of this plan, cannot be moved to earlier results/; nothing was done" >&2
      exit 1
    }
    if [ "$name" = "$file" ]; then
      echo "$file is no result of this plan: moved to earlier results/"
    else
      echo "$file is no result of this plan: moved to earlier results/ as $name"
    fi
  done
}
Fail() {
  # The audio runs beside the first video pass: let it end rather than leave it running.
  [ -n "$audio_job" ] && wait "$audio_job"
  Unmade
  echo "$stage failed: $(Now)" >>log.txt
  # Beside the first pass, its progress line may be unfinished.
  [ -z "$beside" ] || echo >&2
  printf 'project.sh: %s failed: %s\n' "$stage" "$1" >&2
  exit 1
}
# Waits for the audio made in the background; its failure has been reported already.
AudioDone() {
  [ -n "$audio_job" ] || return 0
  job=$audio_job
  audio_job=''
  wait "$job" || { Unmade; exit 1; }
}
Stage() {
  stage=$1
  [ "${2:-}" = again ] || stage_no=$((stage_no + 1))
  printf '\n[%d/%d] %s%s\n' "$stage_no" "$stages" "$stage" "${3:+ $3}"
  echo "$stage: $(Now)" >>log.txt
}
# Tool COMMAND...: runs the command with its output on descriptor 3 and its messages on 4; its
# last messages also stay in $said, its exit code in $status and, from ffmpeg's progress, the
# number of frames it encoded in $encoded.
Tool() {
  said=$( { { { "$@" 2>&1 >&3 3>&- 4>&- 5>&- 6>&-; echo "project.sh: exit code $?" >&5; } |
              tee /dev/fd/6 2>/dev/null >&4; } 6>&1 |
            tr '\r' '\n' | awk '/^frame=/ { frames = $0; sub(/^frame= */, "", frames); sub(/ .*/, "", frames) }
              /^(frame|size)=/ || !NF { next } { kept[n++ % 20] = $0 }
              END { for (i = n > 20 ? n - 20 : 0; i < n; i++) print kept[i % 20]
                    if (frames != "") print "project.sh: frames " frames }'; } 5>&1 )
  status=$(printf '%s\n' "$said" | sed -n 's/^project\.sh: exit code //p')
  encoded=$(printf '%s\n' "$said" | sed -n 's/^project\.sh: frames //p')
  said=$(printf '%s\n' "$said" | grep -v '^project\.sh: \(exit code\|frames\) ')
}
Complaint() {
  printf '%s\n' "$said" | grep -i -e 'no space left' -e 'disk quota' -e 'file too large' \
    -e 'input/output error' -e 'read-only file system' -e 'error writing' -e 'error closing' \
    -e 'cannot write' | tail -n 1
}
# Checked LOG COMMAND...: after Tool, a failure names the command and the tool's own reason.
Checked() {
  log=$1; shift
  complaint=$(Complaint)
  [ "$status" = 0 ] && [ -z "$complaint" ] && return 0
  reason=${complaint:-$(printf '%s\n' "$said" | tail -n 1)}
  if [ "$status" = 0 ]; then what='reported an error'; else what="ended with exit code $status"; fi
  # Removing the results makes room: the messages a full disk kept from the log go there now.
  Unmade
  [ -z "$said" ] || grep -qF -- "$reason" "$log" 2>/dev/null || printf '%s\n' "$said" >>"$log"
  Fail "$(Shown "$@")$what${reason:+: $reason}; its messages are in $log"
}
# Run LOG COMMAND...: the command's messages go to LOG.
Run() {
  log=$1; shift
  Tool "$@" 3>>"$log" 4>>"$log"
  Checked "$log" "$@"
}
# Encode LOG ARGUMENTS...: ffmpeg, its progress on the terminal, its whole report in LOG.
Encode() {
  log=$1; shift
  set -- ffmpeg -nostdin -hide_banner -loglevel error "$progress" -y "$@"
  Tool env "FFREPORT=file=$log:level=32" "$@" 3>&1 4>&2
  Checked "$log" "$@"
}
# Keep TEMPORARY FILE [SECONDS]: a result checked - there, and with SECONDS about as long as
# the title - takes its name.
Keep() {
  [ -f "$1" ] || Fail "$1 was not written"
  if [ -n "${3:-}" ]; then
    got=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$1" 2>/dev/null)
    Calc "exit !(\"$got\" + 0 >= $3 * 0.9 - 1)" ||
      Fail "$1 lasts ${got:-no} seconds, not about the title's $3; it was not written whole"
  fi
  mv -f -- "$1" "$2" || Fail "$1 cannot be renamed to $2"
}
# AuthorIn FILE: the file's tags (MP3 and WAV keep them with the file, OGG with its stream)
# hold the author text exactly; this output form prints each value as it is.
AuthorIn() {
  tags=$(ffprobe -v error -show_entries format_tags=encoded_by:stream_tags=encoded_by \
    -of default=nw=1:nk=1 "$1")
  case "
$tags
" in
  *"
$author
"*) ;;
  *) Fail "$1 does not carry the author text" ;;
  esac
}
# VideoPass LOG COMMAND ARGUMENTS...: videopass, its progress on the terminal; its messages,
# kept in memory as a full disk may swallow the log, go to LOG, its reason to Fail. Its encodes
# run on the machines of the login file in RAVLO3_NODES (empty: here), else in $nodes.
VideoPass() {
  log=$1 command=$2; shift 2
  nodes=${RAVLO3_NODES-$nodes}
  if [ -n "$nodes" ]; then
    [ -r "$nodes" ] || Fail "the login file of the machines, $nodes, cannot be read"
    command -v parallel >/dev/null || Fail "GNU parallel is not installed: it runs the segments on $nodes"
    set -- "$command" --nodes "$nodes" "$@"
  else
    set -- "$command" "$@"
  fi
  { said=$("$helpers/videopass" "$@" 2>&1 >&3 3>&-); } 3>&1 && return 0
  code=$?
  [ -z "$said" ] || printf '%s\n' "$said" >>"$log" 2>/dev/null
  # Killed, it said nothing of its own: the signal is the reason.
  if [ "$code" -gt 128 ]; then
    Fail "videopass was ended by signal $(kill -l "$((code - 128))" 2>/dev/null || echo "$((code - 128))")${said:+ after: $(printf '%s\n' "$said" | tail -n 1)}"
  fi
  Fail "$(printf '%s\n' "$said" | tail -n 1 | sed 's/^videopass: //')"
}
Calc() { awk "BEGIN { $1 }" </dev/null; }
Bytes() { wc -c <"$1" | tr -d ' '; }
# The result files beside the video: exactly this plan's.
OtherBytes() {
  sum=0
  for file in $results; do sum=$((sum + $(Bytes "$file"))); done
  echo "$sum"
}
)SH";

// The job runs in a session of its own: an interruption then ends every process it started
// and nothing of whoever started it (a terminal, the window, timeout); this shell only waits,
// and on INT, TERM or HUP, or when the job's own shell is ended by a signal, ends the whole
// job, removes its results and says which stage it stopped. One run at a time: a second run
// in the folder would write the same working files. The lock is the kernel's, on the folder
// itself, held by the job's processes while any of them lives, so no crash can leave it taken.
constexpr const char* kSupervisor = R"SH(Locked() {
  exec 9<. || { echo "project.sh: cannot open the project folder $(pwd)" >&2; exit 1; }
  flock -n 9 || {
    echo "project.sh: another run of this project is running in $(pwd); it must end first" >&2
    exit 1
  }
}
if [ "${1:-}" != --job ]; then
  Locked
  job=''
  # Reap: ends whatever is left of the job. ffmpeg closes its files on TERM: wait until
  # nothing of the job is left.
  Reap() {
    kill -0 -"$job" 2>/dev/null || return 0
    kill -TERM -"$job" 2>/dev/null
    tries=0
    while kill -0 -"$job" 2>/dev/null && [ "$tries" -lt 100 ]; do
      tries=$((tries + 1))
      [ "$tries" -lt 50 ] || kill -KILL -"$job" 2>/dev/null
      sleep 0.1
    done
  }
  # Ended CODE: ends the job, removes its results, logs the stopped stage.
  Ended() {
    Reap
    Unmade
    stage=$(sed -n 's/^\(.*\): [0-9][0-9]:[0-9][0-9]:[0-9.]*$/\1/p' log.txt 2>/dev/null | tail -n 1)
    echo "${stage:-Start} interrupted: $(Now)" >>log.txt
    printf 'project.sh: %s interrupted\n' "${stage:-Start}" >&2
    exit "$1"
  }
  Interrupted() {
    trap '' INT TERM HUP
    job=${job:-${!:-}}  # the signal may come between the start and its note
    [ -n "$job" ] || exit "$1"
    kill -TERM "$job" 2>/dev/null
    kill -TERM -"$job" 2>/dev/null
    wait "$job"
    ended=$?
    [ "$ended" -gt 128 ] || exit "$ended"  # it had ended by itself
    Ended "$1"
  }
  trap 'Interrupted 130' INT
  trap 'Interrupted 143' TERM
  trap 'Interrupted 129' HUP
  RAVLO3_JOB_LOCKED=1 setsid sh "./${0##*/}" --job &
  job=$!
  wait "$job"
  ended=$?
  # The job's shell itself was ended by a signal: its processes would run on without it.
  if [ "$ended" -gt 128 ]; then
    trap '' INT TERM HUP
    Ended "$ended"
  fi
  # Nor does anything it started outlive it (a helper killed mid-stage leaves its encoders).
  Reap
  exit "$ended"
fi
[ -n "${RAVLO3_JOB_LOCKED:-}" ] || Locked
unset RAVLO3_JOB_LOCKED
)SH";

// The second pass: videopass shares the bits between the segments by the first pass's
// statistics, encodes them side by side, then the short trailing segment (again if needed) until
// the results fill the medium within [99.5%, 100%], joins them into movie.avi.part and says a
// title too small for the medium at its best in size.log.
constexpr const char* kSecondPass = R"SH(AudioDone
Stage "Video 2nd pass"
video_kb=$("$helpers/brimmer" --print "$medium_mb" -- $results 2>>brimmer.log) ||
  Fail "$(Shown "$helpers/brimmer" --print "$medium_mb" -- $results)found no room for the video; see brimmer.log"
VideoPass video2.log second --stage "$stage_no/$stages" --medium "$medium_bytes" --results "$results" \
  --out movie.avi.part -- $filters $video_rate ${RAVLO3_XVID_OPTIONS:-}
total=$(($(Bytes movie.avi.part) + $(OtherBytes)))
fill=$(Calc "printf \"%.2f\", 100 * $total / $medium_bytes")
best=$(sed -n 's/^Video 2nd pass: \(at its best quality .*\)/\1/p' size.log)
)SH";

// Builds the text line by line with LF ends.
class ScriptText {
 public:
  void Line(const std::string& line = {}) { text_ += (line.empty() ? "" : indent_) + line + '\n'; }
  // A loop's first line, its body indented, and its last line.
  void Begin(const std::string& line) { Line(line), indent_ += "  "; }
  void End(const std::string& line) { indent_.resize(indent_.size() - 2), Line(line); }
  void Raw(const char* text) { text_ += text; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::string indent_;
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

// The codec as videopass takes it, and as a person reads it.
std::string CodecWord(VideoCodec codec) {
  switch (codec) {
    case VideoCodec::H264: return "h264";
    case VideoCodec::Hevc: return "hevc";
    case VideoCodec::Av1: return "av1";
    case VideoCodec::Xvid: break;
  }
  return "xvid";
}

std::string CodecName(VideoCodec codec) {
  switch (codec) {
    case VideoCodec::H264: return "H.264";
    case VideoCodec::Hevc: return "H.265";
    case VideoCodec::Av1: return "AV1";
    case VideoCodec::Xvid: break;
  }
  return "XviD";
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
// measures its files. Each file is written under a temporary name (so its format is named)
// and takes its own when it is checked.
// Of several titles, each title's streams in turn, from its folder (`at`) into its tracks.
void AudioStage(const ProjectPlan& plan, const std::vector<std::string>& results, ScriptText& sh,
                const std::string& at) {
  sh.Line("Stage Audio '' '(beside the first video pass)'");
  sh.Line("(");
  sh.Line("progress=-nostats beside=1");
  if (!at.empty()) {
    sh.Begin("for chain in $titles; do");
    sh.Line("duration=$(cat " + at + "duration)");
  }
  for (std::size_t i = 0; i < plan.audio.size(); ++i) {
    const PlannedStream& stream = plan.audio[i];
    const std::string id = Hex(stream.id);
    const bool ac3Source = stream.id >= 0x80 && stream.id <= 0x87;
    std::string line = "Encode " + at + id + ".log ";
    if (ac3Source && plan.Converts()) line += "-drc_scale " + DrcScale(plan.dynamicCompression) + " ";
    line += "-i " + at + "movie.vob -map 0:i:" + id + " -vn -sn ";
    std::string format;
    if (plan.original) {
      line += ac3Source ? "-c:a copy " : "-c:a pcm_s16le ";
      format = ac3Source ? "ac3" : "wav";
    } else {
      const bool six = plan.audioOutput == AudioOutput::Ac3 && plan.sixChannels;
      // Bare audio files keep no time stamps; counting them from the samples spares the muxer
      // the disc's jitter, which it would report as errors.
      const std::string mix = six ? std::string() : DownMix(plan.channelMode);
      line += "-af " + (mix.empty() ? "" : mix + ",") + "asetpts=N/SR/TB ";
      line += six ? "-ac 6 " : "-ac 2 ";
      if (plan.audioOutput == AudioOutput::Mp3) {
        line += "-c:a libmp3lame -b:a " + std::to_string(plan.audioKbps) + "k ";
        format = "mp3";
      } else if (plan.audioOutput == AudioOutput::Ogg) {
        line += "-c:a libvorbis -q:a " + VorbisQuality(plan.oggQuality) + " ";
        format = "ogg";
      } else if (plan.audioOutput == AudioOutput::Aac) {
        line += "-c:a aac -b:a " + std::to_string(plan.audioKbps) + "k ";
        format = "adts";
      } else if (plan.audioOutput == AudioOutput::Opus) {
        line += "-c:a libopus -b:a " + std::to_string(plan.audioKbps) + "k ";
        format = "opus";
      } else {
        line += "-c:a ac3 -b:a " + std::to_string(plan.audioKbps) + "k ";
        format = "ac3";
      }
    }
    // The author goes into the tags as the file is made, so that the sizes the second pass
    // is planned from are the final ones.
    const std::string result = at + results[i];
    line += "-metadata encoded_by=\"$author\" -f " + format + " " + result + ".part";
    sh.Line(line);
    sh.Line("Keep " + result + ".part " + result + " \"$duration\"");
  }
  if (!at.empty()) sh.End("done");
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
void AutoCropStep(const ProjectPlan& plan, ScriptText& sh, const std::string& at) {
  const std::string scale = ScaleFilter(plan);
  char limit[16];
  std::snprintf(limit, sizeof limit, "%.4f", plan.cropThreshold / 255.0);
  sh.Line("step=$(Calc \"s = int($duration * 1.6 / " + std::to_string(plan.cropSamples) +
          "); print (s < 1 ? 1 : s)\")");
  sh.Line("Run " + at + "crop.log ffmpeg -nostdin -hide_banner -skip_frame nokey -i " + at + "movie.vob -map 0:v:0 -an -sn "
          "-vf \"select='not(mod(n,$step))'," +
          (scale.empty() ? "" : scale + ",") + "cropdetect=limit=" + limit + ":round=4:reset=0\" -frames:v " +
          std::to_string(plan.cropSamples) + " -f null -");
  sh.Line("crop=$(sed -n 's/.*\\(crop=[0-9]*:[0-9]*:[0-9]*:[0-9]*\\).*/\\1/p' " + at + "crop.log | tail -n 1)");
  sh.Line("[ -n \"$crop\" ] || Fail \"the automatic crop found no picture edges; see " + at + "crop.log\"");
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

void FilmOrVideo(const ProjectPlan& plan, const VideoFilters& video, ScriptText& sh, const std::string& at) {
  const std::string planned = "field_filters=" + ShellQuoted(video.field) + " video_rate=" + ShellQuoted(video.rate);
  if (plan.standard != PlannedStandard::Ntsc) return sh.Line(planned);
  std::string text = kSoftTelecine;
  for (std::size_t p = 0; (p = text.find("movie.vob", p)) != std::string::npos; p += at.size() + 9) text.insert(p, at);
  sh.Line(text.substr(0, text.size() - 1));
  sh.Line("  " + planned);
  sh.Line("fi");
}

// The video of one file: one encoder over the whole title (x264 and x265 keep every core busy
// by themselves); each run of the second pass is put into the file with the tracks by mux.sh
// and measured there.
void OneFileVideo(const ProjectPlan& plan, ScriptText& sh) {
  const std::string codec = CodecWord(plan.codec);
  sh.Line("VideoPass video1.log first --codec " + codec + " --stage \"$stage_no/$stages\" --duration \"$duration\" \\");
  sh.Line("  --medium \"$medium_bytes\" -- $filters $video_rate");
  sh.Line();
  sh.Line("AudioDone");
  sh.Line("Stage \"Video 2nd pass\"");
  sh.Line("VideoPass video2.log second --codec " + codec + " --stage \"$stage_no/$stages\" --medium \"$medium_bytes\" \\");
  sh.Line("  --results \"$tracks\" --mux ./mux.sh --out \"$movie.part\" -- $filters $video_rate");
  sh.Line("total=$(Bytes \"$movie.part\")");
  sh.Line("fill=$(Calc \"printf \\\"%.2f\\\", 100 * $total / $medium_bytes\")");
  sh.Line("best=$(sed -n 's/^Video 2nd pass: \\(at its best quality .*\\|short of the medium .*\\)/\\1/p' size.log)");
  sh.Line();
}

// The video of several titles: each title's filters (its crop, its film or video) and length are
// found in its folder first, then videopass makes the first passes of all, and the second passes
// with the medium shared by the first passes read as one, or each title filling its own.
void TitlesVideo(const ProjectPlan& plan, ScriptText& sh) {
  const std::string codec = CodecWord(plan.codec);
  const std::string medium = plan.sizeEach ? "--medium-each" : "--medium";
  sh.Line("VideoPass video1.log first --codec " + codec + " --titles \"$titles\" --stage \"$stage_no/$stages\" \\");
  sh.Line("  " + medium + " \"$medium_bytes\"");
  sh.Line();
  sh.Line("AudioDone");
  sh.Line("Stage \"Video 2nd pass\"");
  sh.Line("parts=''");
  sh.Line("for movie in $results; do parts=\"$parts $movie.part\"; done");
  sh.Line("VideoPass video2.log second --codec " + codec + " --titles \"$titles\" --stage \"$stage_no/$stages\" \\");
  sh.Line("  " + medium + " \"$medium_bytes\" --mux ./mux.sh --outs \"$parts\"");
  sh.Line("total=0");
  sh.Line("for part in $parts; do total=$((total + $(Bytes \"$part\"))); done");
  if (plan.sizeEach) {
    sh.Line("fill=$(Calc \"printf \\\"%.2f\\\", 100 * $total / $medium_bytes / " + std::to_string(plan.titles.size()) + "\")");
  } else {
    sh.Line("fill=$(Calc \"printf \\\"%.2f\\\", 100 * $total / $medium_bytes\")");
  }
  sh.Line("best=$(sed -n 's/^Video 2nd pass: \\(at its best quality .*\\|short of the medium .*\\)/\\1/p' size.log | tail -n 1)");
  sh.Line();
}

// XviD in AVI: both passes in segments side by side, as many as there are cores, and the
// author checked in the audio files' tags.
void XvidVideo(const std::vector<std::string>& audioFiles, ScriptText& sh) {
  sh.Line("VideoPass video1.log first --stage \"$stage_no/$stages\" --duration \"$duration\" \\");
  sh.Line("  -- $filters $video_rate ${RAVLO3_XVID_OPTIONS:-}");
  sh.Line();
  sh.Raw(kSecondPass);
  sh.Line();
  sh.Line("Stage \"Set author\"");
  for (const std::string& file : audioFiles) {
    if (file.ends_with(".ac3")) continue;  // a bare AC3 stream has no tags
    sh.Line("AuthorIn " + file);
  }
  sh.Line();
}

// The video is checked and takes its name last of all the results.
void EndStage(const ProjectPlan& plan, ScriptText& sh) {
  sh.Line("Stage End");
  // videopass has checked the movie: its frames are the first pass's, and they last the title.
  if (plan.SeveralTitles()) {
    sh.Line("for movie in $results; do");
    sh.Line("  Keep \"$movie.part\" \"$movie\"");
    if (plan.sizeEach) {
      sh.Line("  printf '%12s bytes  %s, %s%% of its medium\\n' \"$(Bytes \"$movie\")\" \"$movie\" \\");
      sh.Line("    \"$(Calc \"printf \\\"%.2f\\\", 100 * $(Bytes \"$movie\") / $medium_bytes\")\"");
    } else {
      sh.Line("  printf '%12s bytes  %s\\n' \"$(Bytes \"$movie\")\" \"$movie\"");
    }
    sh.Line("done");
  } else if (plan.OneFile()) {
    sh.Line("Keep \"$movie.part\" \"$movie\"");
    sh.Line("printf '%12s bytes  %s\\n' \"$(Bytes \"$movie\")\" \"$movie\"");
  } else {
    sh.Line("Keep movie.avi.part movie.avi");
    sh.Line("for file in movie.avi $results; do printf '%12s bytes  %s\\n' \"$(Bytes \"$file\")\" \"$file\"; done");
  }
  if (plan.sizeEach) {
    sh.Line("echo \"Total $total bytes: each file fills its medium of $medium_bytes bytes ($medium_mb MB), $fill% on average\"");
  } else {
    sh.Line("echo \"Total $total bytes: $fill% of the medium of $medium_bytes bytes ($medium_mb MB)\"");
  }
  sh.Line("[ -z \"$best\" ] || echo \"It cannot fill more: $best.\"");
  if (plan.SeveralTitles() && plan.deleteTemporary) {
    sh.Line("for chain in $titles; do rm -rf title$chain; done");
  } else if (plan.deleteTemporary) {
    sh.Line(plan.OneFile() ? "rm -rf movie.vob segments tracks" : "rm -rf movie.vob segments");
  }
  if (plan.deleteLogs) {
    std::string logs = "analysis.log subtitles.log crop.log video1.log video2.log brimmer.log "
                       "size.log mux.log";
    std::string titleLogs = "title$chain/crop.log";
    for (const PlannedStream& stream : plan.audio) {
      logs += " " + Hex(stream.id) + ".log";
      titleLogs += " title$chain/" + Hex(stream.id) + ".log";
    }
    sh.Line("rm -f " + logs);
    if (plan.SeveralTitles()) sh.Line("for chain in $titles; do rm -f " + titleLogs + "; done");
  }
  if (plan.shutDown) {
    sh.Line("systemctl poweroff ||");
    sh.Line("  echo 'project.sh: the computer was not shut down: systemctl poweroff was not permitted' >&2");
  }
}

// The plan's results beside the video: what the job measures and what it removes when it
// does not end well.
std::string ResultList(const ProjectPlan& plan, const std::vector<std::string>& audio) {
  std::string list;
  for (const std::string& file : audio) list += file + " ";
  if (!plan.subtitles.empty() && plan.subtitleOutput == SubtitleOutput::VobSub)
    list += plan.OneFile() ? "tracks/subtitles.idx tracks/subtitles.sub " : "movie.idx movie.sub ";
  if (!list.empty()) list.pop_back();
  return list;
}

int StageCount(const ProjectPlan& plan) {
  // The one file has no author stage: its tracks are tagged as they are made.
  return (plan.OneFile() ? 4 : 5) + (plan.subtitles.empty() ? 0 : 1) + (plan.audio.empty() ? 0 : 1);
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
  std::vector<std::string> audioFiles = AudioResultFiles(plan);
  if (plan.OneFile()) {
    for (std::string& file : audioFiles) file = "tracks/" + file;
  }
  const VideoFilters video = PlannedVideoFilters(plan);
  ScriptText sh;
  // The "-" ends the shell's options: a folder named "-x" is no option when the script runs.
  sh.Line("#!/bin/sh -");
  if (plan.OneFile()) {
    sh.Line("# Makes the movie of this project: " + CodecName(plan.codec) + " video in two passes, the chosen audio");
    sh.Line("# and subtitles and the chapters in one file (mux.sh puts them together) that fills the");
    sh.Line("# medium. Written by ravlo3; the stages and their times go to log.txt.");
  } else {
    sh.Line("# Makes the movie of this project: XviD video in two passes, the chosen audio and");
    sh.Line("# subtitles, together filling the medium. Written by ravlo3; the stages and their");
    sh.Line("# times go to log.txt. Extra libxvid options may come in RAVLO3_XVID_OPTIONS.");
  }
  sh.Raw(kPreamble);
  sh.Line();
  sh.Line("ifo=" + ShellQuoted(plan.ifoPath));
  sh.Line("chain=" + std::to_string(plan.chain));
  sh.Line("angle=" + std::to_string(plan.angle));
  sh.Line("helpers=" + ShellQuoted(helperFolder));
  sh.Line("medium_mb=" + ShellQuoted(plan.mediaText));
  sh.Line("medium_bytes=" + Number(std::round(plan.mediaMB * 1024 * 1024)));
  sh.Line("author=" + ShellQuoted(plan.authorText));
  sh.Line("nodes=" + ShellQuoted(plan.nodesFile));
  sh.Line("stages=" + std::to_string(StageCount(plan)));
  if (plan.SeveralTitles()) {
    std::string titles, movies;
    for (const int title : plan.titles) titles += (titles.empty() ? "" : " ") + std::to_string(title);
    for (const std::string& movie : plan.titleMovies) movies += (movies.empty() ? "" : " ") + movie;
    sh.Line("titles='" + titles + "'");
    sh.Line("results=" + ShellQuoted(movies));
    sh.Line("earlier='*.mkv *.mp4 movie.avi movie.idx movie.sub'");
    sh.Line("ours=''");
  } else if (plan.OneFile()) {
    sh.Line("movie=" + ShellQuoted(plan.movieName));
    sh.Line("results=\"$movie\"");
    sh.Line("tracks=" + ShellQuoted(ResultList(plan, audioFiles)));
    // Another plan's results, and a file of the movie's name that is there before the job: it
    // may not be this project's, so it is kept aside rather than replaced.
    sh.Line("earlier='*.mkv *.mp4 movie.avi movie.idx movie.sub'");
    sh.Line("ours=''");
  } else {
    sh.Line("results=" + ShellQuoted(ResultList(plan, audioFiles)));
    sh.Line("earlier='0x??.mp3 0x??.ogg 0x??.ac3 0x??o.ac3 0x??o.wav movie.idx movie.sub *.mkv *.mp4'");
    sh.Line("ours=$results");
  }
  sh.Line();
  sh.Raw(kSupervisor);
  sh.Line();

  sh.Line("echo \"Encoding - the stages and their times go to log.txt\"");
  sh.Line(": >log.txt");
  sh.Line("Aside");
  sh.Line("Unmade");
  sh.Line("Stage Analysis");
  // Several titles: each title's files in its own folder, titleN, the stages taking them in turn.
  const std::string at = plan.SeveralTitles() ? "title$chain/" : "";
  if (!at.empty()) {
    sh.Begin("for chain in $titles; do");
    sh.Line("mkdir -p " + at + "tracks || Fail \"the folder " + at + "tracks cannot be made in $(pwd)\"");
  }
  sh.Line("Run analysis.log \"$helpers/vobtitle\" \"$ifo\" \"$chain\" \"$angle\" --stream " + at + "movie.vob");
  sh.Line("duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 " + at + "movie.vob 2>>analysis.log)");
  sh.Line("Calc \"exit !(\\\"$duration\\\" + 0 > 0)\" || Fail \"ffprobe found no length in " + at + "movie.vob; see analysis.log\"");
  if (at.empty()) {
    FilmOrVideo(plan, video, sh, at);
  } else {
    sh.Line("echo \"$duration\" >" + at + "duration || Fail \"" + at + "duration cannot be written\"");
  }
  if (plan.OneFile()) {
    // The tracks of the one file are made in a folder of their own; the chapters are the
    // chain's programs.
    if (at.empty()) sh.Line("mkdir -p tracks || Fail \"the folder tracks cannot be made in $(pwd)\"");
    sh.Line("\"$helpers/vobtitle\" \"$ifo\" \"$chain\" \"$angle\" --chapters >" + at + "tracks/chapters.txt 2>>analysis.log ||");
    sh.Line("  Fail \"vobtitle cannot read the chapters of chain $chain; see analysis.log\"");
  }
  if (!at.empty()) sh.End("done");
  sh.Line();

  if (!plan.subtitles.empty()) {
    sh.Line("Stage Subtitles");
    if (plan.subtitleOutput == SubtitleOutput::VobSub) {
      std::string ids;
      for (const PlannedStream& stream : plan.subtitles) ids += " " + Hex(stream.id);
      const std::string stem = plan.OneFile() ? at + "tracks/subtitles" : "movie";
      if (!at.empty()) sh.Begin("for chain in $titles; do");
      sh.Line("Run subtitles.log \"$helpers/vobtitle\" \"$ifo\" \"$chain\" \"$angle\" --vobsub " + stem + ".part" + ids);
      sh.Line("Keep " + stem + ".part.sub " + stem + ".sub");
      sh.Line("Keep " + stem + ".part.idx " + stem + ".idx");
      if (!at.empty()) sh.End("done");
    }
    sh.Line();
  }
  if (!plan.audio.empty()) AudioStage(plan, audioFiles, sh, at);

  sh.Line("Stage \"Video 1st pass\"");
  if (!at.empty()) {
    sh.Begin("for chain in $titles; do");
    sh.Line("duration=$(cat " + at + "duration)");
    FilmOrVideo(plan, video, sh, at);
  }
  std::string picture = video.picture;
  if (plan.autoCrop) {
    AutoCropStep(plan, sh, at);
    picture.replace(picture.find("CROP"), 4, "$crop");
  }
  if (video.field.empty())
    sh.Line(picture.empty() ? "filters=''" : "filters=\"-vf " + picture + "\"");
  else if (picture.empty())
    sh.Line("filters=\"${field_filters:+-vf $field_filters}\"");
  else
    sh.Line("filters=\"-vf ${field_filters:+$field_filters,}" + picture + "\"");
  if (!at.empty()) {
    // The words of the title's encodes, as the shell splits them, one a line.
    sh.Line("printf '%s\\n' $filters $video_rate >" + at + "words || Fail \"" + at + "words cannot be written\"");
    sh.End("done");
    TitlesVideo(plan, sh);
  } else if (plan.OneFile()) {
    OneFileVideo(plan, sh);
  } else {
    XvidVideo(audioFiles, sh);
  }
  EndStage(plan, sh);
  std::string text = sh.Text();
  text.pop_back();  // the closing line break comes with the writing
  return text;
}

std::string HelperFolder(const std::string& appFolder) {
  std::string folder = appFolder;
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  const std::string data = "/share/ravlo3";
  if (folder.ends_with(data)) return folder.substr(0, folder.size() - data.size()) + "/bin";
  return folder;
}

std::vector<ProjectFile> ShellProjectFiles(const ProjectPlan& plan, const std::string& helperFolder) {
  std::vector<ProjectFile> files{{"project.sh", ProjectScriptText(plan, helperFolder)},
                                 {"movie.sh", MovieScriptText(plan)}};
  if (plan.OneFile()) files.push_back({"mux.sh", MuxScriptText(plan)});
  return files;
}

}  // namespace ravlo
