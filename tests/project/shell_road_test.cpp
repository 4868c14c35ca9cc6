// The Linux road's scripts: quoting that the shell honours, the ffmpeg mapping of the plan's
// choices, and project.sh's stage discipline, run for real with stand-in helpers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "project/shell_quote.h"
#include "project/shell_road.h"

namespace ravlo {
namespace {

namespace fs = std::filesystem;

// Runs a shell command, returns its standard output.
std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "popen failed";
  char buffer[256];
  std::size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  pclose(pipe);
  return output;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct TempFolder {
  TempFolder() {
    char pattern[] = "/tmp/ravlo_road_XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempFolder() { fs::remove_all(path); }
  fs::path path;
};

// A text with everything a shell would otherwise act on (a "\\" would be a path separator).
const std::string kNasty = "My \"Discs\" $HOME `id` ; it's $(touch PWNED) *|&<> bs\\x end";

TEST(ShellQuoted, TheShellPassesEveryTextOnLiterallyAndRunsNothingElse) {
  TempFolder folder;
  for (const std::string& text : {kNasty, std::string(), std::string("'"), std::string("''a'"),
                                  std::string("a\\'b"), std::string("tab\there"), std::string("$1 ${x:-y}")}) {
    const std::string output =
        Shell("cd '" + folder.path.string() + "' && printf '%s|' " + ShellQuoted(text));
    EXPECT_EQ(output, text + "|") << text;
  }
  EXPECT_FALSE(fs::exists(folder.path / "PWNED"));
}

ProjectPlan Plan() {
  ProjectPlan plan;
  plan.ifoPath = "\\discs\\VIDEO_TS\\VTS_01_0.IFO";
  plan.chain = 2;
  plan.angle = 1;
  plan.standard = PlannedStandard::Pal;
  plan.aspect = PlannedAspect::Wide;
  plan.mediaMB = 7;
  plan.mediaText = "7";
  plan.audio = {{0x80, "0x80o.ac3", "English"}, {0xA0, "0xA0o.wav", "French"}};
  plan.audioOutput = AudioOutput::Mp3;
  plan.audioKbps = 128;
  plan.dynamicCompression = "normal";
  plan.channelMode = "surround2";
  plan.subtitles = {{0x21, "0x21", "Dutch"}, {0x20, "0x20", "English"}};
  plan.resize = true;
  plan.resizeFilter = "Bicubic";
  plan.autoCrop = true;
  plan.cropThreshold = 20;
  plan.cropSamples = 10;
  plan.authorText = "ravlo.example.net";
  return plan;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ShellRoad, AudioFilesAndCommandsFollowTheFormat) {
  ProjectPlan plan = Plan();
  EXPECT_EQ(AudioResultFiles(plan), (std::vector<std::string>{"0x80.mp3", "0xA0.mp3"}));
  std::string sh = ProjectScriptText(plan, "/opt/r/bin");
  // The AC3 decoder's compression only for the AC3 stream; Pro Logic II down-mix; chosen order.
  EXPECT_TRUE(Has(sh, "Encode 0x80.log -drc_scale 1 -i movie.vob -map 0:i:0x80 -vn -sn "
                      "-af aresample=matrix_encoding=dplii,asetpts=N/SR/TB -ac 2 -c:a libmp3lame -b:a 128k"));
  EXPECT_TRUE(Has(sh, "Encode 0xA0.log -i movie.vob -map 0:i:0xA0"));
  EXPECT_LT(sh.find("0x80.log"), sh.find("0xA0.log"));
  // Results are written under temporary names, checked and renamed; the plan names them all.
  EXPECT_TRUE(Has(sh, "-metadata encoded_by=\"$author\" -f mp3 0x80.mp3.part\nKeep 0x80.mp3.part 0x80.mp3 \"$duration\"\n"));
  EXPECT_TRUE(Has(sh, "--vobsub movie.part 0x21 0x20\nKeep movie.part.sub movie.sub\nKeep movie.part.idx movie.idx\n"));
  EXPECT_TRUE(Has(sh, "\nresults='0x80.mp3 0xA0.mp3 movie.idx movie.sub'\n"));
  EXPECT_TRUE(Has(sh, "\nAuthorIn 0x80.mp3\nAuthorIn 0xA0.mp3\n"));

  plan.audioOutput = AudioOutput::Ogg;
  plan.oggQuality = "0.3";
  plan.dynamicCompression = "none";
  EXPECT_TRUE(Has(ProjectScriptText(plan, "/b"), "-drc_scale 0 -i movie.vob -map 0:i:0x80 -vn -sn "
                                                "-af aresample=matrix_encoding=dplii,asetpts=N/SR/TB -ac 2 -c:a libvorbis -q:a 3 "));
  plan.oggQuality = "-0.2";  // below what libvorbis takes: its lowest
  EXPECT_TRUE(Has(ProjectScriptText(plan, "/b"), "-c:a libvorbis -q:a -1 "));

  plan.audioOutput = AudioOutput::Ac3;
  plan.sixChannels = true;
  plan.audioKbps = 448;
  sh = ProjectScriptText(plan, "/b");
  EXPECT_TRUE(Has(sh, "-map 0:i:0x80 -vn -sn -af asetpts=N/SR/TB -ac 6 -c:a ac3 -b:a 448k -metadata encoded_by=\"$author\" -f ac3 0x80.ac3.part"));
  // A bare AC3 stream carries no tags: the author step leaves it out.
  EXPECT_FALSE(Has(sh, "\nAuthorIn 0x"));

  plan.original = true;
  EXPECT_EQ(AudioResultFiles(plan), (std::vector<std::string>{"0x80o.ac3", "0xA0o.wav"}));
  sh = ProjectScriptText(plan, "/b");
  EXPECT_TRUE(Has(sh, "-i movie.vob -map 0:i:0x80 -vn -sn -c:a copy -metadata encoded_by=\"$author\" -f ac3 0x80o.ac3.part\n"));
  EXPECT_TRUE(Has(sh, "-map 0:i:0xA0 -vn -sn -c:a pcm_s16le -metadata encoded_by=\"$author\" -f wav 0xA0o.wav.part\n"));
  EXPECT_FALSE(Has(sh, "drc_scale"));
}

// Field filters and rate of each choice on each standard: NTSC film back to 23.976, PAL film
// matched at 25, deinterlacing at the source's rate; inverse telecine needs the standard.
TEST(ShellRoad, FilmAndVideoFiltersKeepOrRestoreTheRightRate) {
  struct Case {
    PlannedStandard standard;
    bool ivtc, deinterlace, forceFilm;
    const char* field;
    const char* rate;
  } cases[] = {
      {PlannedStandard::Ntsc, true, false, false, "fieldmatch,yadif=deint=interlaced,decimate", "-r 24000/1001"},
      {PlannedStandard::Ntsc, true, true, true, "fieldmatch,yadif=deint=interlaced,decimate", "-r 24000/1001"},
      {PlannedStandard::Ntsc, false, true, false, "yadif", ""},
      {PlannedStandard::Ntsc, false, false, true, "", "-r 24000/1001"},
      {PlannedStandard::Pal, true, false, true, "fieldmatch,yadif=deint=interlaced", ""},
      {PlannedStandard::Pal, false, true, false, "yadif", ""},
      {PlannedStandard::None, true, false, true, "", ""},
      {PlannedStandard::None, true, true, false, "yadif", ""},
  };
  for (const Case& c : cases) {
    ProjectPlan plan = Plan();
    plan.standard = c.standard;
    plan.ivtc = c.ivtc, plan.deinterlace = c.deinterlace, plan.forceFilm = c.forceFilm;
    const VideoFilters video = PlannedVideoFilters(plan);
    EXPECT_EQ(video.field, c.field) << c.field;
    EXPECT_EQ(video.rate, c.rate) << c.field;
    EXPECT_EQ(video.picture, "scale=640:360:flags=bicubic,CROP");
  }

  // The picture filters follow the field filters the Analysis stage settled on; both passes
  // take the filters and the rate.
  ProjectPlan plan = Plan();
  plan.ivtc = true;
  std::string sh = ProjectScriptText(plan, "/b");
  EXPECT_TRUE(Has(sh, "field_filters='fieldmatch,yadif=deint=interlaced' video_rate=''\n")) << sh;
  EXPECT_TRUE(Has(sh, "filters=\"-vf ${field_filters:+$field_filters,}scale=640:360:flags=bicubic,$crop\"\n"));
  EXPECT_TRUE(Has(sh, "VideoPass video1.log first --stage \"$stage_no/$stages\" --duration \"$duration\" \\\n"
                      "  -- $filters $video_rate ${RAVLO3_XVID_OPTIONS:-}\n"));
  EXPECT_TRUE(Has(sh, "--out movie.avi.part -- $filters $video_rate ${RAVLO3_XVID_OPTIONS:-}\n"));
  EXPECT_FALSE(Has(sh, "repeat_pict"));  // PAL has no soft telecine to look for
  // The crop is looked for on key frames of the resized picture only.
  EXPECT_TRUE(Has(sh, "-skip_frame nokey -i movie.vob -map 0:v:0 -an -sn -vf \"select='not(mod(n,$step))',"
                      "scale=640:360:flags=bicubic,cropdetect=limit=0.0784:round=4:reset=0\" -frames:v 10 "));
  plan.resize = plan.autoCrop = false;
  EXPECT_TRUE(Has(ProjectScriptText(plan, "/b"), "filters=\"${field_filters:+-vf $field_filters}\"\n"));
  plan.ivtc = false;
  EXPECT_TRUE(Has(ProjectScriptText(plan, "/b"), "filters=''\n"));
}

TEST(ShellRoad, EndDeletesWhatWasChosenAndStagesAreCounted) {
  ProjectPlan plan = Plan();
  std::string sh = ProjectScriptText(plan, "/b");
  EXPECT_TRUE(Has(sh, "stages=7\n"));
  EXPECT_FALSE(Has(sh, "rm -f movie.vob"));
  EXPECT_FALSE(Has(sh, "rm -f analysis.log"));
  EXPECT_FALSE(Has(sh, "poweroff"));
  EXPECT_EQ(sh.find('\r'), std::string::npos);
  EXPECT_NE(sh.back(), '\n');  // the closing line break comes with the writing
  plan.deleteTemporary = plan.deleteLogs = plan.shutDown = true;
  plan.subtitles.clear();
  plan.audio.clear();
  sh = ProjectScriptText(plan, "/b");
  EXPECT_TRUE(Has(sh, "stages=5\n"));
  EXPECT_FALSE(Has(sh, "Stage Audio"));
  EXPECT_FALSE(Has(sh, "Stage Subtitles"));
  EXPECT_TRUE(Has(sh, "rm -rf movie.vob segments\n"));
  EXPECT_TRUE(Has(sh, "rm -f analysis.log "));
  EXPECT_TRUE(Has(sh, "systemctl poweroff ||"));
}

TEST(ShellRoad, MovieScriptPlaysEveryAudioFileAndTheSubtitles) {
  ProjectPlan plan = Plan();
  std::string sh = MovieScriptText(plan);
  EXPECT_TRUE(Has(sh, "exec mpv --audio-file=0x80.mp3 --audio-file=0xA0.mp3 --sub-file=movie.idx movie.avi\n"));
  EXPECT_TRUE(Has(sh, "exec ffplay -autoexit -f lavfi 'movie=movie.avi[out0];amovie=0x80.mp3[out1]'"));
  plan.subtitleOutput = SubtitleOutput::Srt;
  plan.audio.clear();
  sh = MovieScriptText(plan);
  EXPECT_TRUE(Has(sh, "exec mpv --sub-file=0x21.srt --sub-file=0x20.srt movie.avi\n"));
  EXPECT_TRUE(Has(sh, "exec ffplay -autoexit movie.avi"));
}

TEST(ShellRoad, HelpersLieInTheBinFolderBesideTheData) {
  EXPECT_EQ(HelperFolder("/usr/local/share/ravlo3/"), "/usr/local/bin");
  EXPECT_EQ(HelperFolder("/home/a b/build/src/app/"), "/home/a b/build/src/app");
  EXPECT_EQ(HelperFolder("/home/a\\b/share/ravlo3/"), "/home/a\\b/bin");
}

// project.sh for real, with stand-in helpers: a disc path full of shell syntax reaches the
// tool literally, and a failing stage stops the job, naming stage, command and log.
TEST(ShellRoad, ProjectScriptPassesThePathLiterallyAndStopsAtAFailingStage) {
  TempFolder folder;
  const fs::path bin = folder.path / "bin";
  const fs::path project = folder.path / "project";
  fs::create_directories(bin);
  fs::create_directories(project);
  {
    std::ofstream helper(bin / "vobtitle");
    helper << "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$(dirname \"$0\")/args\"\necho 'no such chain' >&2\nexit 3\n";
  }
  fs::permissions(bin / "vobtitle", fs::perms::owner_all);
  ProjectPlan plan = Plan();
  plan.ifoPath = "/" + kNasty + "/VTS_01_0.IFO";
  {
    std::ofstream script(project / "project.sh");
    script << ProjectScriptText(plan, bin.string()) << '\n';
  }
  const std::string output = Shell("cd / && sh '" + (project / "project.sh").string() +
                                   "' 2>&1; echo \"exit=$?\"");
  EXPECT_EQ(ReadFile(bin / "args"), "/" + kNasty + "/VTS_01_0.IFO\n2\n1\n--stream\nmovie.vob\n");
  EXPECT_FALSE(fs::exists(project / "PWNED"));
  EXPECT_FALSE(fs::exists("/PWNED"));
  EXPECT_TRUE(Has(output, "project.sh: Analysis failed: '" + bin.string() + "/vobtitle' "));
  // The tool's own reason comes with the failure.
  EXPECT_TRUE(Has(output, "ended with exit code 3: no such chain; its messages are in analysis.log\n"));
  EXPECT_TRUE(Has(output, "exit=1\n"));
  EXPECT_FALSE(Has(output, "[2/7]"));
  EXPECT_EQ(ReadFile(project / "analysis.log"), "no such chain\n");
  const std::string log = ReadFile(project / "log.txt");
  EXPECT_TRUE(log.rfind("Analysis: ", 0) == 0) << log;
  EXPECT_TRUE(Has(log, "\nAnalysis failed: ")) << log;
}

// A stand-in ffmpeg. For the video passes, a title of 1200 frames (48 s at 25 fps) whose frames
// take 100 bytes at the finest quantizer: the first pass writes a segment's log lines and its
// progress, a second pass writes what its request buys (at most that), a join writes the
// segments' sizes less the headers it keeps once, and the title's frames as its progress. Any
// other output it is asked for it writes.
constexpr const char* kStandInArguments = R"SH(prev='' last='' passlog='' frames='' start=0 rate=0 list='' report=''
for a in "$@"; do
  case "$prev" in
    -passlogfile) passlog=$a;;
    -progress) report=$a;;
    -frames:v) frames=$a;;
    -b:v) rate=$a;;
    -i) case "$a" in *join.txt) list=$a;; esac;;
    nut) : >"$a";;
  esac
  case "$a" in *start_frame=*) start=$(echo "$a" | grep -o 'start_frame=[0-9]*' | head -n 1 | cut -d= -f2);; esac
  prev=$a last=$a
done
)SH";
constexpr const char* kStandInWork = R"SH(if [ -n "$list" ]; then
  sum=0 n=0
  for f in $(sed "s/^file '\(.*\)'$/\1/" "$list"); do sum=$((sum + $(wc -c <"$f"))) n=$((n + 1)); done
  head -c $((sum - 4096 * (n - 1))) /dev/zero >"$last"
  printf 'frame=1200\nprogress=end\n' >"$report"
elif [ -n "$passlog" ] && echo "$*" | grep -q -- '-pass 1'; then
  n=${frames:-$((1200 - start))}
  { echo '# stand-in'; i=0; while [ $i -lt "$n" ]; do
      if [ $((i % 12)) -eq 0 ]; then echo 'i 2 1 0 0 100 7'; else echo 'p 2 0 1 0 100 7'; fi; i=$((i + 1)); done
  } >"$passlog-0.log"
  printf 'frame=%d\nprogress=end\n' "$n" >"$report"
elif [ -n "$passlog" ]; then
  n=$(grep -vc '^#' "$passlog-0.log")
  bytes=$((rate * n / 200)); [ "$bytes" -gt $((100 * n)) ] && bytes=$((100 * n))
  head -c $((bytes + 24 * n + 4096)) /dev/zero >"$last"
elif [ "$last" = - ]; then
  echo "Output #0, null, to 'pipe:':"; echo "  Stream #0:0: Video: wrapped_avframe, yuv420p, 640x360, 25 fps"
else
  case "$last" in *.part) head -c 1000 /dev/zero >"$last";; esac
fi
)SH";

// A project folder and a bin folder of stand-in tools beside the real videopass, with
// project.sh run for real. The folder's name starts with "-", which no shell may take for an
// option: the script is started by that relative name, as a user in the parent folder would.
struct StandInRoad {
  StandInRoad() {
    fs::create_directories(bin);
    fs::create_directories(project);
    fs::create_symlink(RAVLO_VIDEOPASS, bin / "videopass");
    // Each tool writes what it is asked to.
    Tool("vobtitle", "case \"$4\" in\n"
                     "  --stream) echo vob >\"$5\";;\n"
                     "  --vobsub) echo idx >\"$5.idx\"; echo sub >\"$5.sub\";;\n"
                     "esac\n");
    Tool("ffprobe", "echo 48.0\n");
    Tool("brimmer", "echo \"$*\" >brimmer.args\necho 5000\n");
    FFmpeg("");
  }
  void Tool(const char* name, const std::string& body) const {
    std::ofstream(bin / name) << "#!/bin/sh\n" << body;
    fs::permissions(bin / name, fs::perms::owner_all);
  }
  // A stand-in ffmpeg: `special` first (a shell case body on "$*", its arguments read), then
  // the usual work.
  void FFmpeg(const std::string& special) const {
    Tool("ffmpeg", "echo \"$*\" >>ffmpeg.runs\n" + std::string(kStandInArguments) + "case \"$*\" in\n" + special +
                       "esac\n" + kStandInWork);
  }
  // Writes project.sh of the plan; the command line that runs it from the parent folder.
  std::string Command(const ProjectPlan& plan) const {
    std::ofstream(project / "project.sh") << ProjectScriptText(plan, bin.string()) << '\n';
    fs::permissions(project / "project.sh", fs::perms::owner_all);
    return "cd '" + folder.path.string() + "' && PATH='" + bin.string() + "':$PATH -x/project.sh";
  }
  // Runs it; its output, then "exit=CODE".
  std::string Run(const ProjectPlan& plan) const {
    return Shell(Command(plan) + " 2>&1; echo \"exit=$?\"");
  }
  // The result files (whole or not) in the project folder.
  std::string Results() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(project)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".part") || name.ends_with(".mp3") || name.ends_with(".ac3") ||
          name.starts_with("movie.avi") || name.starts_with("movie.idx") || name.starts_with("movie.sub"))
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::string list;
    for (const std::string& name : names) list += name + " ";
    return list;
  }

  TempFolder folder;
  fs::path bin = folder.path / "bin";
  fs::path project = folder.path / "-x";
};

// The audio runs in the background beside the first video pass: its failure still stops the
// job before the second pass, naming the audio stage and the stream's command and log.
TEST(ShellRoad, AFailingAudioStreamStopsTheJobBeforeTheSecondPass) {
  StandInRoad road;
  const fs::path& project = road.project;
  road.FFmpeg("  *0:i:0xA0*) sleep 1; exit 5;;\n");
  ProjectPlan plan = Plan();
  plan.autoCrop = false;
  const std::string output = road.Run(plan);
  EXPECT_TRUE(Has(output, "project.sh: Audio failed: 'ffmpeg' '-nostdin' '-hide_banner' '-loglevel' 'error' "
                      "'-nostats' '-y' '-i' 'movie.vob' '-map' '0:i:0xA0' ")) << output;
  EXPECT_TRUE(Has(output, "ended with exit code 5; its messages are in 0xA0.log\n")) << output;
  EXPECT_TRUE(Has(output, "exit=1\n")) << output;
  const std::string log = ReadFile(project / "log.txt");
  EXPECT_TRUE(Has(log, "Audio failed: ")) << log;
  EXPECT_FALSE(Has(log, "Video 2nd pass")) << log;
  // The first video pass ran beside the audio; no second pass was started.
  const std::string runs = ReadFile(project / "ffmpeg.runs");
  EXPECT_TRUE(Has(runs, "-pass 1 ")) << runs;
  EXPECT_FALSE(Has(runs, "-pass 2 ")) << runs;
  // The subtitles and the first stream were made; the job that failed leaves none of them.
  EXPECT_EQ(road.Results(), "");
}

// A title that at the codec's best quality is smaller than the room on the medium: the movie
// is made at that quality, once, and the end says why it does not fill the medium.
TEST(ShellRoad, ATitleTooSmallForTheMediumIsMadeAtItsBestAndSaysSo) {
  StandInRoad road;
  const fs::path& project = road.project;
  ProjectPlan plan = Plan();
  plan.autoCrop = false;
  plan.subtitles.resize(1);
  plan.audio.resize(1);
  plan.audioOutput = AudioOutput::Ac3;  // no tags to look for
  // An earlier plan's audio in the folder is not measured, and is moved aside beside the one
  // moved there before.
  std::ofstream(project / "0xA0.mp3") << "earlier";
  fs::create_directories(project / "earlier results");
  std::ofstream(project / "earlier results" / "0xA0.mp3") << "before";
  const std::string output = road.Run(plan);
  EXPECT_TRUE(Has(output, "exit=0\n")) << output;
  EXPECT_TRUE(Has(output, "It cannot fill more: at its best quality the video takes 120000 bytes")) << output;
  EXPECT_FALSE(Has(output, "correction")) << output;
  // Each segment's second pass ran once, at its best.
  std::istringstream runs(ReadFile(project / "ffmpeg.runs"));
  std::vector<std::string> outputs;
  for (std::string line; std::getline(runs, line);) {
    if (Has(line, "-pass 2 ")) outputs.push_back(line.substr(line.rfind(' ') + 1));
  }
  EXPECT_GE(outputs.size(), 2u);
  std::sort(outputs.begin(), outputs.end());
  EXPECT_EQ(std::adjacent_find(outputs.begin(), outputs.end()), outputs.end());
  EXPECT_EQ(ReadFile(project / "brimmer.args"), "--print 7 -- 0x80.ac3 movie.idx movie.sub\n");
  EXPECT_EQ(road.Results(), "0x80.ac3 movie.avi movie.idx movie.sub ") << output;
  EXPECT_EQ(ReadFile(project / "earlier results" / "0xA0.mp3"), "before");
  EXPECT_EQ(ReadFile(project / "earlier results" / "0xA0 (2).mp3"), "earlier");
  EXPECT_TRUE(Has(output, "0xA0.mp3 is no result of this plan: moved to earlier results/ as 0xA0 (2).mp3\n")) << output;
  const std::string log = ReadFile(project / "log.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), 'V'), 2) << log;  // the two video passes, once each
  EXPECT_TRUE(Has(log, "\nEnd: ")) << log;
  EXPECT_FALSE(Has(log, "failed")) << log;
}

// A tool that fails, or reports a failed write and still ends with 0 as ffmpeg can, or leaves
// a file that is not whole, fails its own stage with its own reason; the job then leaves no
// result, neither of this run nor of an earlier one.
TEST(ShellRoad, AStageFailsOnItsToolsErrorWithTheReasonAndLeavesNoResult) {
  const struct {
    const char* stage;
    const char* tool;  // "ffmpeg" (a case body on its arguments), or another tool's whole body
    const char* body;
    const char* message;
  } cases[] = {
      {"Audio", "ffmpeg",
       "  *0:i:0x80*) echo 'Error closing file 0x80.mp3.part: No space left on device' >&2; exit 0;;\n",
       "-f' 'mp3' '0x80.mp3.part' reported an error: Error closing file 0x80.mp3.part: No space left on device; "
       "its messages are in 0x80.log\n"},
      {"Video 2nd pass", "ffmpeg",
       "  *'-pass 2'*) echo 'av_interleaved_write_frame(): No space left on device' >&2;"
       " head -c 99 /dev/zero >\"$last\"; exit 0;;\n",
       "reported an error: av_interleaved_write_frame(): No space left on device; "
       "its messages are in segments/video2."},
      {"Video 1st pass", "ffmpeg",
       "  *'-pass 1'*) echo '# stand-in' >\"$passlog-0.log\"; printf 'frame=100\\nprogress=end\\n' >\"$report\"; exit 0;;\n",
       "of the first pass holds 0 of the 100 frames it encoded; it was not written whole\n"},
      {"Audio", "ffprobe", "case \"$*\" in *0xA0.mp3.part*) echo 3.5;; *) echo 48.0;; esac\n",
       "0xA0.mp3.part lasts 3.5 seconds, not about the title's 48.0; it was not written whole\n"},
      {"Subtitles", "vobtitle", "case \"$4\" in --stream) echo vob >\"$5\";; --vobsub) echo idx >\"$5.idx\";; esac\n",
       "movie.part.sub was not written\n"},
      {"Analysis", "vobtitle", "echo 'vobtitle: movie.vob.part: cannot write (No space left on device)' >&2\nexit 1\n",
       "ended with exit code 1: vobtitle: movie.vob.part: cannot write (No space left on device); "
       "its messages are in analysis.log\n"},
  };
  for (const auto& c : cases) {
    StandInRoad road;
    if (std::string(c.tool) == "ffmpeg") road.FFmpeg(c.body); else road.Tool(c.tool, c.body);
    // Complete results of an earlier run.
    for (const char* name : {"movie.avi", "0x80.mp3", "movie.idx"}) std::ofstream(road.project / name) << "earlier";
    ProjectPlan plan = Plan();
    plan.autoCrop = false;
    const std::string output = road.Run(plan);
    EXPECT_TRUE(Has(output, std::string("project.sh: ") + c.stage + " failed: ")) << output;
    EXPECT_TRUE(Has(output, c.message)) << output;
    EXPECT_TRUE(Has(output, "exit=1\n")) << output;
    EXPECT_TRUE(Has(ReadFile(road.project / "log.txt"), std::string("\n") + c.stage + " failed: ")) << c.stage;
    EXPECT_EQ(road.Results(), "") << c.message;
  }
}

// INT (a terminal's Ctrl-C, to the whole foreground group), TERM (timeout, a desktop) and HUP
// during the second pass: every process of the job ends, log.txt says where it stopped, and
// no result is left.
TEST(ShellRoad, AnInterruptEndsTheWholeJobAndLeavesNoResult) {
  const struct {
    const char* signal;
    const char* target;  // "-" signals the script's process group, "" the script alone
    int exitCode;
  } cases[] = {{"INT", "-", 130}, {"TERM", "", 143}, {"HUP", "", 129}};
  for (const auto& c : cases) {
    StandInRoad road;
    // The second pass writes part of a segment and goes on for a long time.
    road.FFmpeg("  *'-pass 2'*) head -c 5000 /dev/zero >\"$last\"; sleep 60; exit 0;;\n");
    ProjectPlan plan = Plan();
    plan.autoCrop = false;
    const std::string target = std::string(c.target) + "$script";
    // Job control, as in a terminal: the script leads a process group of its own.
    std::ofstream(road.folder.path / "interrupt.sh") <<
        "set -m\n(" + road.Command(plan) + ") >/dev/null 2>&1 & script=$!\n"
        "for i in $(seq 100); do ls '" + (road.project / "segments").string() + "' 2>/dev/null | grep -q 'part-.*avi' && break;"
        " sleep 0.1; done\n"
        "job=$(pgrep -P $script | head -n 1); session=$(ps -o sid= -p \"$job\" | tr -d ' ')\n"
        "echo \"before=$(pgrep -s \"$session\" | wc -l)\"\n"
        "kill -" + c.signal + " " + target + "; wait $script; echo \"exit=$?\"\n"
        "echo \"after=$(pgrep -s \"$session\" | wc -l)\"\n";
    const std::string output = Shell("bash '" + (road.folder.path / "interrupt.sh").string() + "' 2>&1");
    EXPECT_TRUE(Has(output, "exit=" + std::to_string(c.exitCode) + "\n")) << c.signal << output;
    EXPECT_FALSE(Has(output, "before=0\n")) << c.signal << output;  // the job was running
    EXPECT_TRUE(Has(output, "after=0\n")) << c.signal << output;
    EXPECT_TRUE(Has(ReadFile(road.project / "log.txt"), "\nVideo 2nd pass interrupted: ")) << c.signal;
    EXPECT_EQ(road.Results(), "") << c.signal;
  }
}

// NTSC: the Analysis stage tells soft telecine (most sampled frames repeat a field) from video
// and the job takes the film's rate with no field filter, or the plan's choices.
TEST(ShellRoad, SoftTelecineIsFoundInTheAnalysisAndTakesTheFilmRate) {
  struct Case {
    const char* repeatPict;  // what ffprobe says of the sampled frames
    bool ivtc, deinterlace;
    const char* chain;   // the chain both passes run, the rate as its last filter
  } cases[] = {
      {"0 1 0 1 0 1 0 1", false, false, "fps=24000/1001"},
      {"0 1 0 1 0 1 0 1", true, true, "fps=24000/1001"},
      {"0 0 0 0 0 0 0 1", true, false, "fieldmatch,yadif=deint=interlaced,decimate,fps=24000/1001"},
      {"0 0 0 0 0 0 0 0", false, true, "yadif"},
      {"0 0 0 0 0 0 0 0", false, false, ""},
  };
  for (const Case& c : cases) {
    StandInRoad road;
    road.Tool("vobtitle", "exit 0\n");
    road.Tool("brimmer", "echo 5000\n");
    road.Tool("ffprobe", std::string("case \"$*\" in *repeat_pict*) for f in ") + c.repeatPict +
                             "; do echo $f; done;; *start_time*) echo 0.5;; *) echo 48.0;; esac\n");
    ProjectPlan plan = Plan();
    plan.standard = PlannedStandard::Ntsc;
    plan.ivtc = c.ivtc, plan.deinterlace = c.deinterlace;
    plan.resize = plan.autoCrop = false;
    plan.audio.clear();
    plan.subtitles.clear();
    const std::string output = road.Run(plan);
    const std::string runs = ReadFile(road.project / "ffmpeg.runs");
    const std::string chain = c.chain;
    EXPECT_TRUE(Has(runs, "-an -sn " + (chain.empty() ? "" : "-vf " + chain + " ") + "-frames:v 1 -f null -")) << runs;
    for (const char* pass : {"-pass 1", "-pass 2"}) {
      std::istringstream lines(runs);
      bool found = false;
      for (std::string line; std::getline(lines, line);) {
        found = found || (Has(line, pass) && Has(line, (chain.empty() ? "" : chain + ",") + "trim=start_frame="));
      }
      EXPECT_TRUE(found) << c.chain << " " << pass << "\n" << runs;
    }
    // Film found: the job says so; the measured frames go to the log either way.
    const std::string analysis = ReadFile(road.project / "analysis.log");
    EXPECT_EQ(Has(analysis, "soft telecine (4 of 8 sampled frames repeat a field)"), std::string(c.repeatPict) == "0 1 0 1 0 1 0 1")
        << analysis;
  }
}

}  // namespace
}  // namespace ravlo
