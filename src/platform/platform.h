#pragma once
// Everything the operating system does for the planner goes through this interface, so that
// the logic runs unchanged in unit tests (a fake), in scripted mode and behind the window.
//
// Paths are the system's own: Windows-style ANSI texts ("D:\VIDEO_TS\VTS_01_0.IFO") in the
// Windows program, POSIX paths in the native planner. Calls that can fail return false or
// nothing and put a reason a user can read into `error`.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace ravlo {

enum class WindowStyle { Hidden, Normal, NormalFocus, Maximized };
enum class MessageIcon { Information, Warning, Critical };
enum class RunOutcome { Finished, NotStarted, TimedOut };

class Platform {
 public:
  virtual ~Platform() = default;

  // Folder of the running program file, as the system gives it (no trailing "\" added).
  virtual std::string ProgramFolder() = 0;

  // --- processes and shell ---------------------------------------------------------------
  // Starts a command line and returns at once; false when it could not be started.
  virtual bool StartProcess(const std::string& commandLine, WindowStyle style) = 0;
  // Starts a command line and waits for its end, at most `limit`: past it the process and
  // every process it started are ended. NotStarted when it could not be started.
  virtual RunOutcome RunAndWait(const std::string& commandLine, WindowStyle style,
                                std::chrono::milliseconds limit) = 0;
  // Opens a file or web address with its default handler; `folder` may be empty.
  virtual bool ShellOpen(const std::string& verb, const std::string& file,
                         const std::string& parameters, const std::string& folder,
                         WindowStyle style) = 0;

  // Sets a variable of the environment that processes started from now on inherit.
  virtual void SetEnvironmentValue(const std::string& name, const std::string& value) = 0;
  // A variable of the environment; empty when it is not set.
  virtual std::string EnvironmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
  }
  // The system's answer whether this user may power the computer off without a password
  // ("yes", "no", "challenge": only with one, "na": not at all); empty when it cannot be asked.
  virtual std::string PowerOffPermission() { return {}; }

  // Closes the main window, which ends the program (scripted mode: ends the script).
  virtual void CloseMainWindow() = 0;

  // --- dialogs ------------------------------------------------------------------------------
  // Open-file dialog; an empty text when the user cancelled.
  virtual std::string OpenFileDialog(const std::string& filter) = 0;
  // System folder picker with the given title and BROWSEINFO flags; the chosen folder's
  // file-system path without trailing "\", or empty on cancel / no file-system path.
  virtual std::string BrowseForFolder(const std::string& title, unsigned flags) = 0;
  virtual void ShowMessage(const std::string& text, MessageIcon icon,
                          const std::string& caption) = 0;
  // Modal input box; nothing when cancelled (distinct from an empty answer).
  virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultAnswer) = 0;
  // A yes/no question before a step the user may not want: `text` says what would happen,
  // `question` what is asked; true for yes. Where nobody can be asked (the command line named
  // its choice itself) the text is shown as information and the choice stands.
  virtual bool Confirm(const std::string& text, const std::string& question,
                       const std::string& caption) {
    (void)question;
    ShowMessage(text, MessageIcon::Information, caption);
    return true;
  }

  // --- per-user settings store ----------------------------------------------------------------
  // Empty text when the value is absent.
  virtual std::string ReadSetting(const std::string& app, const std::string& section,
                                  const std::string& key) = 0;
  virtual void WriteSetting(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) = 0;

  // --- file system ----------------------------------------------------------------------------
  virtual bool FileExists(const std::string& path) = 0;
  // Whether the file, folder or device can be opened for reading; when not, the system's
  // reason ("No such file or directory", "Permission denied") in `error`.
  virtual bool CanOpen(const std::string& path, std::string& error) = 0;
  virtual bool RemoveFile(const std::string& path, std::string& error) = 0;
  virtual bool CopyFileTo(const std::string& from, const std::string& to, std::string& error) = 0;
  // Renames a file within its folder, replacing a file of the new name in one step.
  virtual bool MoveFileOver(const std::string& from, const std::string& to,
                            std::string& error) = 0;
  // Lets the file run as a program. Windows has no such mark: there it is nothing to do.
  // Creates the folder when it is missing (its parent must exist); true when it is there.
  virtual bool CreateFolder(const std::string& path, std::string& error) = 0;
  virtual bool MakeExecutable(const std::string& /*path*/, std::string& /*error*/) { return true; }
  virtual std::optional<std::int64_t> FileLength(const std::string& path) = 0;
  // Names (not paths) of the files in `folder` matching the wildcard pattern ("*", "?"),
  // compared without regard to case, sorted by name.
  virtual std::vector<std::string> ListFiles(const std::string& folder,
                                             const std::string& pattern) = 0;
  // Creates or empties the file and writes `content` in one go.
  virtual bool WriteWholeFile(const std::string& path, const std::string& content,
                         std::string& error) = 0;
  virtual bool AppendToFile(const std::string& path, const std::string& content,
                          std::string& error) = 0;
  // The whole file as bytes.
  virtual std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) = 0;

  // The folder, ending in its separator, where the planner lets the parser write the analysis
  // report and reads it back. Windows keeps it in the program's misc folder (`programMisc`,
  // returned as given); a system whose programs live in a folder their users may not write
  // names a per-user one, made when missing: empty, with `error`, when it cannot be made.
  virtual std::string ReportFolder(const std::string& programMisc, std::string& /*error*/) {
    return programMisc;
  }
};

}  // namespace ravlo
