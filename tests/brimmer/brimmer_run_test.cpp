// The program's work on real folders: what is counted, and what reaches 2nd.reg.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "brimmer/brimmer_run.h"
#include "brimmer/folder_access.h"

namespace brimmer {
namespace {

namespace fs = std::filesystem;

const char kTemplate[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\GNU\\XviD]\r\n\"mode\"=dword:00000002\r\n";

class BrimmerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / (std::string("brimmer_run_") + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    folder = WithTrailingSeparator(dir.string());
  }
  void TearDown() override { fs::remove_all(dir); }

  // Files of a given length; large ones are sparse so the tests stay cheap.
  void MakeFile(const std::string& name, std::uintmax_t length) {
    std::ofstream(dir / name, std::ios::binary).close();
    fs::resize_file(dir / name, length);
  }
  std::string Reg() {
    std::ifstream in(dir / "2nd.reg", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteReg(const std::string& text) {
    std::ofstream(dir / "2nd.reg", std::ios::binary) << text;
  }

  fs::path dir;
  std::string folder;
};

TEST_F(BrimmerRun, EmptyFolderGetsTheWholeMediaAndCreates2ndReg) {
  const BrimmerOutcome outcome = RunBrimmer(folder, "699");
  EXPECT_EQ(outcome.usedKB, 0);
  EXPECT_TRUE(outcome.lineAppended);
  EXPECT_EQ(Reg(), "\"desired_size\"=dword:AEC00\r\n");
}

TEST_F(BrimmerRun, SubtitlesAndAudioAreSubtracted) {
  MakeFile("0x80.mp3", 100000000);
  MakeFile("movie.rar", 2000000);
  MakeFile("movie.idx", 50000);
  WriteReg(kTemplate);
  const BrimmerOutcome outcome = RunBrimmer(folder, "699");
  EXPECT_EQ(outcome.measuredBytes, 102050000u);
  EXPECT_EQ(outcome.desiredKB, 616118);
  EXPECT_EQ(Reg(), std::string(kTemplate) + "\"desired_size\"=dword:966B6\r\n");
}

TEST_F(BrimmerRun, OnlyTheArchiveTheIndexAndAudioFilesCount) {
  MakeFile("0x80o.ac3", 1000);   // demultiplexed stream kept unconverted
  MakeFile("0x81.AC3", 2000);
  MakeFile("Track.Mp3", 3000);
  MakeFile("0x82.OGG", 4000);
  MakeFile("MOVIE.RAR", 5000);   // the archive's own name is found whatever its case
  for (const char* other : {"movie.avi", "0x80o.wav", "0x80.log", "movie.sub", "project.d2v",
                            "x.mp3x", "2nd.reg"}) {
    MakeFile(other, 1u << 20);
  }
  fs::create_directory(dir / "folder.mp3");
  MakeFile("folder.mp3/inside.mp3", 1u << 20);  // files of subfolders are not ours
  const BrimmerOutcome outcome = RunBrimmer(folder, "1");
#ifdef _WIN32
  EXPECT_EQ(outcome.measuredBytes, 15000u);
#else
  // A case-sensitive file system has no MOVIE.RAR under the name movie.rar.
  EXPECT_EQ(outcome.measuredBytes, 10000u);
#endif
}

TEST_F(BrimmerRun, UsedSizeRoundsHalvesToEven) {
  struct Case { std::uintmax_t bytes; const char* line; };
  // 1536, 2560 and 3584 bytes are 2, 2 and 4 KB; the target is 10 KB.
  for (const Case c : {Case{1536, "\"desired_size\"=dword:8\r\n"},
                       Case{2560, "\"desired_size\"=dword:8\r\n"},
                       Case{3584, "\"desired_size\"=dword:6\r\n"}}) {
    fs::remove(dir / "2nd.reg");
    MakeFile("a.ogg", c.bytes);
    RunBrimmer(folder, "0.009765625");
    EXPECT_EQ(Reg(), c.line) << c.bytes << " bytes";
  }
}

// Every size the codec would be handed wrongly is refused: 2nd.reg keeps what it had, log.txt
// says why, and the outcome (the exit code) says it failed.
TEST_F(BrimmerRun, RefusesSizesItCannotStandBehind) {
  struct Case { const char* mediaSize; std::uintmax_t audioBytes; const char* reason; };
  for (const Case c : {Case{"0", 5 * 1024, "is not a positive number"},
                       Case{"-5", 0, "is not a positive number"},
                       Case{"", 0, "is not a positive number"},
                       Case{"abc", 0, "is not a positive number"},
                       Case{"699 MB", 0, "is not a positive number"},
                       Case{"3000000", 0, "does not fit"},
                       Case{"1e400", 0, "is not a positive number"},
                       Case{"1", 1024 * 1024, "leave no room for the video"},
                       Case{"699", 3ull << 30, "leave no room for the video"}}) {
    fs::remove(dir / "log.txt");
    fs::remove(dir / "0x80.mp3");
    if (c.audioBytes > 0) MakeFile("0x80.mp3", c.audioBytes);
    WriteReg(kTemplate);
    const BrimmerOutcome outcome = RunBrimmer(folder, c.mediaSize);
    EXPECT_FALSE(outcome.Ok()) << c.mediaSize;
    EXPECT_FALSE(outcome.lineAppended) << c.mediaSize;
    EXPECT_EQ(Reg(), kTemplate) << c.mediaSize;
    const std::string log = Read("log.txt");
    EXPECT_EQ(log.rfind("brimmer: no second-pass size was written: ", 0), 0u) << log;
    EXPECT_NE(log.find(c.reason), std::string::npos) << c.mediaSize << ": " << log;
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
  }
}

TEST_F(BrimmerRun, FractionalMediaSize) {
  RunBrimmer(folder, "699.5");
  EXPECT_EQ(Reg(), "\"desired_size\"=dword:AEE00\r\n");
}

TEST_F(BrimmerRun, SecondRunAppendsASecondLine) {
  WriteReg(kTemplate);
  RunBrimmer(folder, "699");
  MakeFile("0x80.mp3", 1024 * 1024);
  RunBrimmer(folder, "699");
  EXPECT_EQ(Reg(), std::string(kTemplate) + "\"desired_size\"=dword:AEC00\r\n" +
                       "\"desired_size\"=dword:AE800\r\n");
}

TEST_F(BrimmerRun, AudioFilesOfTwoGigabytesAndMoreCountFully) {
  // Past both the signed and the unsigned 32-bit length.
  MakeFile("0x80.ac3", 5ull << 30);
  MakeFile("0x81.ac3", (2ull << 30) + 1024);
  const BrimmerOutcome outcome = RunBrimmer(folder, "8000");
  EXPECT_EQ(outcome.usedKB, 7340033);
  EXPECT_EQ(Reg(), "\"desired_size\"=dword:CFFFF\r\n");  // 8192000 - 7340033
}

TEST_F(BrimmerRun, Unwritable2ndRegIsAFailureInTheLog) {
  // A folder in its place cannot be appended to, for any user.
  fs::create_directory(dir / "2nd.reg");
  const BrimmerOutcome outcome = RunBrimmer(folder, "699");
  EXPECT_EQ(outcome.desiredKB, 715776);
  EXPECT_FALSE(outcome.lineAppended);
  EXPECT_FALSE(outcome.Ok());
  EXPECT_NE(Read("log.txt").find("2nd.reg cannot be appended to"), std::string::npos);
}

TEST_F(BrimmerRun, TheLinuxRoadAlsoCountsThePictureFileAndKeptPcm) {
  MakeFile("0x80.mp3", 1000);
  MakeFile("movie.idx", 2000);
  MakeFile("movie.sub", 300000);
  MakeFile("0xA0o.wav", 700000);
  MakeFile("movie.avi", 1u << 20);  // the video itself is what the size is for
  EXPECT_EQ(MeasuredBytes(folder, Measure::WindowsBatch), 3000u);
  EXPECT_EQ(MeasuredBytes(folder, Measure::LinuxRoad), 1003000u);
  // 1003000 bytes = 979.49 KB -> 979; 1 MB = 1024 KB leaves 45.
  const BrimmerOutcome outcome = ComputeDesiredSize(folder, "1", Measure::LinuxRoad);
  EXPECT_EQ(outcome.desiredKB, 45);
  EXPECT_FALSE(fs::exists(dir / "2nd.reg"));  // computing hands nothing on by itself
}

// The plan names its result files: another plan's files in the same folder do not count, and
// a missing one of its own is an error naming it.
TEST_F(BrimmerRun, NamedResultFilesAreMeasuredAndNoOthers) {
  MakeFile("0x80.mp3", 1000);
  MakeFile("0x81.mp3", 500000);  // an earlier plan's
  MakeFile("movie.idx", 2000);
  MakeFile("movie.sub", 300000);
  fs::create_directories(dir / "folder.mp3");
  struct Case {
    std::vector<std::string> files;
    std::uint64_t measured;
    std::string refused;  // a text of the refusal; empty when accepted
  };
  const Case cases[] = {
      {{}, 0, ""},  // a plan of video only: the audio files beside it are not its own
      {{"0x80.mp3"}, 1000, ""},
      {{"0x80.mp3", "movie.idx", "movie.sub"}, 303000, ""},
      {{"0x80.mp3", "0x82.mp3"}, 0, "\"" + folder + "0x82.mp3\" cannot be measured"},
      {{"folder.mp3"}, 0, "\"" + folder + "folder.mp3\" cannot be measured"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> paths;
    for (const std::string& name : c.files) paths.push_back(folder + name);
    const BrimmerOutcome outcome = ComputeDesiredSizeOf(paths, "1");
    if (c.refused.empty()) {
      EXPECT_TRUE(outcome.Ok()) << outcome.refusal;
      EXPECT_EQ(outcome.measuredBytes, c.measured);
    } else {
      EXPECT_NE(outcome.refusal.find(c.refused), std::string::npos) << outcome.refusal;
      EXPECT_FALSE(outcome.desiredKB);
    }
  }
  // 303000 bytes = 295.9 KB -> 296; 1 MB = 1024 KB leaves 728.
  EXPECT_EQ(ComputeDesiredSizeOf({folder + "0x80.mp3", folder + "movie.idx", folder + "movie.sub"}, "1").desiredKB, 728);
}

TEST_F(BrimmerRun, MissingFolderMeasuresNothing) {
  EXPECT_EQ(MeasuredBytes(WithTrailingSeparator((dir / "absent").string())), 0u);
}

}  // namespace
}  // namespace brimmer
