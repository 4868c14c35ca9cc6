// The POSIX Platform: paths reach the system as they are (a backslash is a character of a
// name); shell twins of the batch files; the settings store under XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/posix_platform.h"

namespace ravlo {
namespace {

namespace fs = std::filesystem;

class PosixPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ravlo_posix_XXXXXX";
    root = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(root); }

  std::string Record(const std::string& relative) const { return (root / relative).string(); }
  std::string Read(const std::string& relative) const {
    std::ifstream in(root / relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Put(const std::string& relative, const std::string& text) const {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative, std::ios::binary) << text;
  }

  fs::path root;
  std::ostringstream out, err;
  PosixPlatform os{"/opt/ravlo3/bin/ravlo3", out, err};
};

TEST_F(PosixPlatformTest, FilesAreReachedThroughTheirPathsAsTheyAre) {
  std::string error;
  ASSERT_TRUE(os.WriteWholeFile(Record("a.txt"), "one\r\n", error)) << error;
  ASSERT_TRUE(os.AppendToFile(Record("a.txt"), "two", error)) << error;
  EXPECT_EQ(Read("a.txt"), "one\r\ntwo");
  EXPECT_EQ(os.ReadWholeFile(Record("a.txt"), error), "one\r\ntwo");
  EXPECT_EQ(os.FileLength(Record("a.txt")), 8);
  ASSERT_TRUE(os.CopyFileTo(Record("a.txt"), Record("b.txt"), error)) << error;
  ASSERT_TRUE(os.WriteWholeFile(Record("c.txt"), "new", error));
  ASSERT_TRUE(os.MoveFileOver(Record("c.txt"), Record("b.txt"), error)) << error;
  EXPECT_EQ(Read("b.txt"), "new");
  EXPECT_FALSE(os.FileExists(Record("c.txt")));
  ASSERT_TRUE(os.RemoveFile(Record("a.txt"), error));
  EXPECT_FALSE(os.FileExists(Record("a.txt")));
  EXPECT_EQ(os.FileLength(Record("a.txt")), std::nullopt);

  // Failures say why.
  error.clear();
  EXPECT_FALSE(os.RemoveFile(Record("a.txt"), error));
  EXPECT_EQ(error, "No such file or directory");
  error.clear();
  EXPECT_FALSE(os.ReadWholeFile(Record("none.txt"), error).has_value());
  EXPECT_EQ(error, "No such file or directory");
  error.clear();
  EXPECT_FALSE(os.WriteWholeFile(Record("no folder/x.txt"), "x", error));
  EXPECT_EQ(error, "No such file or directory");
  error.clear();
  EXPECT_FALSE(os.MoveFileOver(Record("none.txt"), Record("b.txt"), error));
  EXPECT_NE(error, "");

  // A backslash names a file of its own, in the folder itself.
  fs::create_directories(root / "bs");
  ASSERT_TRUE(os.CreateFolder(Record("base\\..\\victim"), error)) << error;
  ASSERT_TRUE(os.WriteWholeFile(Record("base\\..\\victim/p.sh"), "x", error)) << error;
  EXPECT_TRUE(fs::is_regular_file(root / "base\\..\\victim" / "p.sh"));
  ASSERT_TRUE(os.WriteWholeFile(Record("bs\\x"), "y", error)) << error;
  EXPECT_TRUE(fs::is_regular_file(root / "bs\\x"));
  EXPECT_FALSE(fs::exists(root / "victim"));
  EXPECT_FALSE(fs::exists(root / "bs" / "x"));
  EXPECT_EQ(os.ListFiles(Record(""), "bs*"), std::vector<std::string>{"bs\\x"});
}

TEST_F(PosixPlatformTest, CanOpenSaysWhyNot) {
  Put("ok/VTS_01_0.IFO", "");
  Put("locked.IFO", "");
  fs::permissions(root / "locked.IFO", fs::perms::none);
  const bool rootUser = ::geteuid() == 0;  // root reads whatever the permissions say
  struct Case {
    std::string path;
    std::string reason;  // empty: it opens
  };
  const Case cases[] = {
      {Record("ok/VTS_01_0.IFO"), ""},
      {Record("ok"), ""},  // a disc folder
      {Record("none/VTS_01_0.IFO"), "No such file or directory"},
      {Record("ok/VTS_01_0.IFO/x"), "Not a directory"},
      {Record("locked.IFO"), rootUser ? "" : "Permission denied"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(os.CanOpen(c.path, error), c.reason.empty()) << c.path;
    EXPECT_EQ(error, c.reason) << c.path;
  }
}

TEST_F(PosixPlatformTest, ListsFilesByPatternWithoutCaseSortedByName) {
  for (const char* name : {"b.AC3", "a.ac3", "C.ac3", "x.mp3"}) Put(name, "");
  fs::create_directories(root / "dir.ac3");
  EXPECT_EQ(os.ListFiles(Record(""), "*.ac3"), (std::vector<std::string>{"a.ac3", "b.AC3", "C.ac3"}));
  EXPECT_EQ(os.ListFiles(Record("missing"), "*"), std::vector<std::string>{});
}

TEST_F(PosixPlatformTest, ScriptsGetExecutable) {
  Put("p.sh", "");
  std::string error;
  ASSERT_TRUE(os.MakeExecutable(Record("p.sh"), error)) << error;
  EXPECT_NE(fs::status(root / "p.sh").permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(PosixPlatformTest, BatchFilesRunAsTheirShellTwinsWithTheirArgumentsAsTheyAre) {
  // The parser's command line as the planner writes it.
  Put("misc/ifoparse.sh", "printf '%s\\n' \"$RAVLO_TEST_VALUE\" \"$@\" >\"$(dirname \"$0\")/args\"\n");
  os.SetEnvironmentValue("RAVLO_TEST_VALUE", "a \"b\" $c");
  const std::string line = "\"" + Record("misc/ifoparse.bat") + "\" \"C:\\tools\\v.exe\" \"" +
                           Record("my disc/VTS_01_0.IFO") + "\" plain";
  const auto minute = std::chrono::minutes(1);
  ASSERT_EQ(os.RunAndWait(line, WindowStyle::Hidden, minute), RunOutcome::Finished);
  EXPECT_EQ(Read("misc/args"),
            "a \"b\" $c\nC:\\tools\\v.exe\n" + (root / "my disc/VTS_01_0.IFO").string() + "\nplain\n");
  EXPECT_EQ(os.RunAndWait("\"" + Record("misc/none.bat") + "\"", WindowStyle::Hidden, minute),
            RunOutcome::NotStarted);
  EXPECT_FALSE(os.StartProcess("ravlo-no-such-program-anywhere", WindowStyle::Normal));

  // Shell-opened: a script runs to its end in its folder; a document is not opened.
  Put("tools/xt.sh", "pwd >where\n");
  EXPECT_TRUE(os.ShellOpen("OPEN", "xt.bat", "", Record("tools"), WindowStyle::Normal));
  EXPECT_EQ(Read("tools/where"), (root / "tools").string() + "\n");
  Put("misc/help.htm", "");
  EXPECT_FALSE(os.ShellOpen("OPEN", "help.htm", "", Record("misc"), WindowStyle::Maximized));
}

TEST_F(PosixPlatformTest, APastItsTimeProcessEndsWithEverythingItStarted) {
  // The script starts a child that would write a file after a while; both must be gone.
  Put("slow.sh", "(sleep 1; touch \"$(dirname \"$0\")/late\") &\nsleep 30\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(os.RunAndWait("\"" + Record("slow.sh") + "\"", WindowStyle::Hidden,
                          std::chrono::milliseconds(200)),
            RunOutcome::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_FALSE(fs::exists(root / "late"));
}

TEST(PosixCommandLine, WordsSplitAtBlanksOutsideQuotes) {
  EXPECT_EQ(SplitCommandLine("\"a b\" c  \"\" d\"e f\"g"),
            (std::vector<std::string>{"a b", "c", "", "de fg"}));
  EXPECT_EQ(SplitCommandLine(""), std::vector<std::string>{});
}

TEST_F(PosixPlatformTest, DataLiesInShareBesideBinOrBesideTheProgram) {
  fs::create_directories(root / "share/ravlo3");
  fs::create_directories(root / "bin");
  EXPECT_EQ(DataFolderFor((root / "bin/ravlo3").string()), (root / "share/ravlo3").string());
  EXPECT_EQ(DataFolderFor((root / "build/ravlo3").string()), (root / "build").string());
  PosixPlatform installed((root / "bin/ravlo3").string(), out, err);
  EXPECT_EQ(installed.ProgramFolder(), Record("share/ravlo3"));
}

TEST_F(PosixPlatformTest, SettingsLiveUnderXdgConfigHome) {
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  EXPECT_EQ(os.ReadSetting("Ravlo3", "Options", "FirstRun"), "");
  os.WriteSetting("Ravlo3", "Options", "FirstRun", "Done");
  os.WriteSetting("Ravlo3", "Options", "Other", "a=b");
  PosixPlatform again("/x/ravlo3", out, err);
  EXPECT_EQ(again.ReadSetting("Ravlo3", "Options", "FirstRun"), "Done");
  EXPECT_EQ(again.ReadSetting("Ravlo3", "Options", "Other"), "a=b");
  EXPECT_EQ(again.ReadSetting("Ravlo3", "Other section", "FirstRun"), "");
  EXPECT_EQ(Read("config/ravlo3/settings.ini"), "[Ravlo3\\Options]\nFirstRun=Done\nOther=a=b\n");
  if (old) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

TEST_F(PosixPlatformTest, TheReportFolderIsTheUsersCacheMadeOnDemand) {
  struct Case {
    const char* what;
    const char* cache;  // XDG_CACHE_HOME below root; nullptr: unset
    bool absolute;
    const char* folder;  // expected below root; empty: cannot be made
  };
  const Case cases[] = {
      {"XDG_CACHE_HOME set", "xdg/cache", true, "xdg/cache/ravlo3"},
      {"unset", nullptr, true, "home/.cache/ravlo3"},
      {"relative, which the XDG rules ignore", "xdg/cache", false, "home/.cache/ravlo3"},
      {"under a file", "file/cache", true, ""},
  };
  Put("file", "not a folder");
  const char* oldCache = std::getenv("XDG_CACHE_HOME");
  const char* oldHome = std::getenv("HOME");
  const std::string savedCache = oldCache ? oldCache : "", savedHome = oldHome ? oldHome : "";
  setenv("HOME", (root / "home").c_str(), 1);
  for (const Case& c : cases) {
    fs::remove_all(root / "xdg"), fs::remove_all(root / "home");
    if (!c.cache) unsetenv("XDG_CACHE_HOME");
    else setenv("XDG_CACHE_HOME", c.absolute ? (root / c.cache).c_str() : c.cache, 1);
    std::string error;
    const std::string folder = os.ReportFolder("C:\\ignored\\misc\\", error);
    if (*c.folder) {
      EXPECT_EQ(folder, Record(c.folder) + "/") << c.what;
      EXPECT_TRUE(fs::is_directory(root / c.folder)) << c.what;
    } else {
      EXPECT_EQ(folder, "") << c.what;
      EXPECT_NE(error.find((root / c.cache).string() + "/ravlo3: "), std::string::npos) << error;
    }
  }
  if (oldCache) setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
  else unsetenv("XDG_CACHE_HOME");
  if (oldHome) setenv("HOME", savedHome.c_str(), 1);
  else unsetenv("HOME");
}

TEST_F(PosixPlatformTest, MessagesPrintLikeScriptedMode) {
  os.ShowMessage("Saved\r\nline", MessageIcon::Information, "Ravlo3");
  os.ShowMessage("Refused", MessageIcon::Warning, "Ravlo3");
  EXPECT_EQ(out.str(), "Saved\nline\n");
  EXPECT_EQ(err.str(), "Refused\n");
}

}  // namespace
}  // namespace ravlo
