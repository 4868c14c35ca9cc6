// Named options of the native planner: each expands into the actions on the same fields.
#include <gtest/gtest.h>

#include <sstream>

#include "app/named_options.h"
#include "app/scripted_mode.h"
#include "fake_platform.h"

namespace ravlo {
namespace {

using Args = std::vector<std::string>;

TEST(NamedOptions, ExpandInPlaceIntoTheActionsOnTheSameFields) {
  const ExpandedArguments expanded = ExpandNamedOptions(
      {"--open", "/d/VTS_01_0.IFO", "--chain", "2", "--audio", "0x81,0x80", "--subtitles", "0x21",
       "--format", "original", "--quality", "192", "--size", "700", "--author", "www.example.org",
       "--delete-temporary", "--delete-logs", "--dump"});
  ASSERT_EQ(expanded.error, "");
  EXPECT_EQ(expanded.actions,
            (Args{"--open", "/d/VTS_01_0.IFO", "--set", "txtTitle=2", "--click", "cmdASN", "--check",
                  "lstAL=0x81", "--check", "lstAL=0x80", "--click", "cmdSSN", "--check", "lstSL=0x21",
                  "--set", "optAud_AC3=1", "--set", "chkOrig=1", "--set", "cmbAudQual=192", "--set",
                  "cmbMS=700", "--answer", "www.example.org", "--click", "mnuSetAuthor", "--set",
                  "chkDelTemp=1", "--set", "chkDelLogs=1", "--dump"}));
  EXPECT_EQ(ExpandNamedOptions({"--format", "ac3"}).actions,
            (Args{"--set", "optAud_AC3=1", "--set", "chkOrig=0"}));
  EXPECT_EQ(ExpandNamedOptions({"--format", "ogg"}).actions, (Args{"--set", "optAud_OGG=1"}));
  // A scripted action's value is never taken for an option.
  EXPECT_EQ(ExpandNamedOptions({"--answer", "--chain", "--set", "txtTitle=1"}).actions,
            (Args{"--answer", "--chain", "--set", "txtTitle=1"}));
}

TEST(NamedOptions, RefuseMissingAndMalformedValues) {
  EXPECT_EQ(ExpandNamedOptions({"--chain"}).error, "--chain needs a value");
  EXPECT_EQ(ExpandNamedOptions({"--chain", "two"}).error, "--chain takes a whole number, got \"two\"");
  EXPECT_EQ(ExpandNamedOptions({"--size", "-5"}).error, "--size takes the medium in MB (700, 4482.5), got \"-5\"");
  for (const char* size : {"1.", ".5", "1.2.3", "7MB"}) EXPECT_NE(ExpandNamedOptions({"--size", size}).error, "") << size;
  EXPECT_EQ(ExpandNamedOptions({"--size", "4482.5"}).actions, (Args{"--set", "cmbMS=4482.5"}));
  EXPECT_EQ(ExpandNamedOptions({"--format", "flac"}).error,
            "--format takes mp3, ogg, ac3, original, aac or opus, got \"flac\"");
  for (const char* ids : {"0x80,", "80", "0x80;0x81", "0xG0", "0x800", ""}) {
    EXPECT_NE(ExpandNamedOptions({"--audio", ids}).error, "") << ids;
  }
  for (const char* set : {"0", "100", "two", ""}) EXPECT_NE(ExpandNamedOptions({"--title-set", set}).error, "") << set;
}

// The codec and container by their short names become their list items; the formats of the
// one file become their options; anything else is refused naming what is taken.
TEST(NamedOptions, VideoContainerAndTheNewAudioFormats) {
  const struct {
    Args args;
    Args actions;
    std::string error;
  } rows[] = {
      {{"--video", "h264"}, {"--set", "cmbVideo=H.264"}, ""},
      {{"--video", "hevc"}, {"--set", "cmbVideo=H.265"}, ""},
      {{"--video", "xvid"}, {"--set", "cmbVideo=XviD"}, ""},
      {{"--video", "av1"}, {"--set", "cmbVideo=AV1"}, ""},
      {{"--container", "mp4"}, {"--set", "cmbContainer=MP4"}, ""},
      {{"--container", "avi"}, {"--set", "cmbContainer=AVI"}, ""},
      {{"--format", "aac"}, {"--set", "optAud_AAC=1"}, ""},
      {{"--format", "opus"}, {"--set", "optAud_OPUS=1"}, ""},
      {{"--video", "mkv"}, {}, "--video takes xvid, h264, hevc or av1, got \"mkv\""},
      {{"--container", "H.264"}, {}, "--container takes mkv, mp4 or avi, got \"H.264\""},
      {{"--container"}, {}, "--container needs a value"},
  };
  for (const auto& row : rows) {
    const ExpandedArguments expanded = ExpandNamedOptions(row.args);
    EXPECT_EQ(expanded.error, row.error) << row.args[0];
    if (row.error.empty()) {
      EXPECT_EQ(expanded.actions, row.actions) << row.args[1];
    }
  }
}

// --title-set is no action: it goes to the analysis of every --open, wherever it stands.
TEST(NamedOptions, TitleSetIsForTheAnalysisNotAnAction) {
  const ExpandedArguments expanded = ExpandNamedOptions({"--open", "/d/film.iso", "--title-set", "3", "--chain", "1"});
  ASSERT_EQ(expanded.error, "");
  EXPECT_EQ(expanded.titleSet, "3");
  EXPECT_EQ(expanded.actions, (Args{"--open", "/d/film.iso", "--set", "txtTitle=1"}));
  EXPECT_EQ(ExpandNamedOptions({"--open", "/d/film.iso"}).titleSet, "");
}

TEST(NamedOptions, HelpShowsEveryOptionWithAnExampleAndTheActions) {
  const std::string help = NativeUsage();
  for (const char* option : {"--chain N", "--audio 0x80,0x81", "--subtitles 0x21,0x20",
                             "--format mp3|ogg|ac3|original", "--quality N", "--size MB",
                             "--author TEXT", "--delete-temporary", "--delete-logs", "Example:",
                             "--title-set N", "--list PATH", "ISO",
                             "--open PATH", "--dump", "Exit codes"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(help.find("main window"), std::string::npos);
}

// Through scripted mode: the streams end up chosen in the order the option names them.
TEST(NamedOptions, StreamsAreCheckedByIdInTheGivenOrder) {
  test::FakePlatform system;
  std::ostringstream out, err;
  ScriptedPlatform platform(system, out, err);
  AppState app(platform);
  system.onRunAndWait = [&system](const std::string&) {
    system.PutFile("C:\\Program Files\\Ravlo3\\misc\\ifoparse.txt",
                   "  1. Length: 00:01:00, 1 chapters\r\n"
                   "  0x80. English (AC3, 2ch, 48kHz) [1]\r\n"
                   "  0x81. German (AC3, 6ch, 48kHz) [2]\r\n"
                   "  0x20. English (Subtitle) [1]\r\n"
                   "  0x21. Dutch (Subtitle) [2]\r\n"
                   "  Video: PAL 16:9 720x576\r\n");
    return true;
  };
  Args args = {"--open", "D:\\VIDEO_TS\\VTS_01_0.IFO"};
  for (const std::string& action : ExpandNamedOptions({"--audio", "0x81,0x80", "--subtitles", "0x21"}).actions) {
    args.push_back(action);
  }
  args.push_back("--dump");
  ASSERT_EQ(RunScript(app, platform, args, out, err), 0) << err.str();
  ASSERT_EQ(app.settings.lstAO_code.ItemCount(), 2) << out.str();
  EXPECT_EQ(app.settings.lstAO_code.Item(0).substr(0, 4), "0x81");
  EXPECT_EQ(app.settings.lstAO_code.Item(1).substr(0, 4), "0x80");
  ASSERT_EQ(app.settings.lstSO_code.ItemCount(), 1);
  EXPECT_EQ(app.settings.lstSO_code.Item(0), "0x21");

  // An id the title does not have is a bad item, as a bad index is.
  std::ostringstream out2, err2;
  ScriptedPlatform platform2(system, out2, err2);
  AppState app2(platform2);
  EXPECT_EQ(RunScript(app2, platform2, {"--open", "D:\\VIDEO_TS\\VTS_01_0.IFO", "--check", "lstAL=0x87"},
                      out2, err2),
            kScriptUsageError);
  EXPECT_NE(err2.str().find("lstAL: no item 0x87"), std::string::npos) << err2.str();
}

}  // namespace
}  // namespace ravlo
