#pragma once
// The Platform seam on Linux and other POSIX systems: the native planner `ravlo3`.
//
// Paths are POSIX paths, passed to the system as they are: only "/" separates their parts,
// and a backslash is an ordinary character of a name.
//
// What the planner starts by name is looked for as a POSIX shell twin: a command line or
// shell-opened file "X.bat" runs "X.sh" from the same folder (ifoparse, xt, project). Shell
// scripts started with ShellOpen run in the foreground: the terminal is their window, and a
// job still writing after the planner has ended would run into the user's prompt. Documents
// and web addresses are not opened (there is no window to open them for); ShellOpen then
// returns false.
//
// Dialogs are not shown (scripted mode answers them from its queue); a message box prints its
// text, as scripted mode prints it.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ravlo {

// The words of a command line as the planner writes them for Windows: blanks separate words,
// double quotes group them and are removed.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The folder of the planner's data (misc/, tools/): `<prefix>/share/ravlo3` when the program
// lies in `<prefix>/bin` beside such a folder, otherwise the program's own folder (a build
// tree). No trailing "/".
std::string DataFolderFor(const std::string& programPath);

// Folder of the settings store: $XDG_CONFIG_HOME/ravlo3, or ~/.config/ravlo3.
std::string SettingsFolder();

// Folder of the analysis report: $XDG_CACHE_HOME/ravlo3, or ~/.cache/ravlo3. The installed
// share/ravlo3 is often not the user's to write (an install into /usr/local).
std::string CacheFolder();

class PosixPlatform : public Platform {
 public:
  // `programPath`: the running program file; `out` receives message boxes.
  PosixPlatform(std::string programPath, std::ostream& out, std::ostream& err);

  std::string ProgramFolder() override;
  bool StartProcess(const std::string& commandLine, WindowStyle style) override;
  RunOutcome RunAndWait(const std::string& commandLine, WindowStyle style,
                        std::chrono::milliseconds limit) override;
  bool ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, WindowStyle style) override;
  void SetEnvironmentValue(const std::string& name, const std::string& value) override;
  // logind's CanPowerOff, through busctl: what `systemctl poweroff` at a job's end meets.
  std::string PowerOffPermission() override;
  void CloseMainWindow() override {}
  std::string OpenFileDialog(const std::string&) override { return ""; }
  std::string BrowseForFolder(const std::string&, unsigned) override { return ""; }
  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override;
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  std::string ReadSetting(const std::string& app, const std::string& section,
                          const std::string& key) override;
  void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& value) override;
  bool FileExists(const std::string& path) override;
  bool CanOpen(const std::string& path, std::string& error) override;
  bool RemoveFile(const std::string& path, std::string& error) override;
  bool CopyFileTo(const std::string& from, const std::string& to, std::string& error) override;
  bool MoveFileOver(const std::string& from, const std::string& to, std::string& error) override;
  bool MakeExecutable(const std::string& path, std::string& error) override;
  bool CreateFolder(const std::string& path, std::string& error) override;
  std::optional<std::int64_t> FileLength(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
  bool WriteWholeFile(const std::string& path, const std::string& content,
                      std::string& error) override;
  bool AppendToFile(const std::string& path, const std::string& content,
                    std::string& error) override;
  std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) override;
  std::string ReportFolder(const std::string& programMisc, std::string& error) override;

 private:
  std::string programPath_;
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace ravlo
