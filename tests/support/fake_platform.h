#pragma once
// A Platform for unit tests: it records every call, answers dialogs from a queue and maps
// Windows-style paths ("D:\VIDEO_TS\VTS_01_0.IFO") into a temporary folder, so tests use the
// same paths a user would and real files can be inspected afterwards.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ravlo::test {

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  std::string caption;
};

// A yes/no question: what would happen, and what was asked.
struct AskedQuestion {
  std::string text, question;
};

struct ShownInputBox {
  std::string prompt, title, defaultAnswer;
};

class FakePlatform : public Platform {
 public:
  FakePlatform();
  ~FakePlatform() override;

  // --- set-up -----------------------------------------------------------------------------
  std::string programFolder = "C:\\Program Files\\Ravlo3";
  void QueueAnswer(const std::string& text) { answers_.push_back(text); }
  void QueueCancel() { answers_.push_back(std::nullopt); }
  // Runs instead of a real process for RunAndWait; returns whether the process "started".
  std::function<bool(const std::string& commandLine)> onRunAndWait;
  // A started process that is still running when RunAndWait's limit has passed.
  bool processHangs = false;
  std::chrono::milliseconds lastRunLimit{0};
  // Windows paths (case-insensitive) that cannot be written, copied onto or deleted, as if
  // another program held them open.
  void Lock(const std::string& windowsPath);
  // Bytes that writes and copies may still put on the disk, all files together; past it a
  // write stops part-way and fails, as on a full disk. Unlimited when unset.
  std::optional<std::uintmax_t> diskSpace;
  // Creates a file (and its folders) at a Windows path.
  void PutFile(const std::string& windowsPath, const std::string& content = "");
  std::string GetFile(const std::string& windowsPath) const;
  std::filesystem::path HostPath(const std::string& windowsPath) const;
  const std::filesystem::path& Root() const { return root_; }

  // --- what happened -------------------------------------------------------------------------
  std::vector<std::string> calls;  // one line per call, e.g. "ShellOpen OPEN|help.htm|...|Maximized"
  std::vector<ShownMessage> messages;
  std::vector<ShownInputBox> inputBoxes;
  std::vector<AskedQuestion> questions;  // answered "yes" from the queue; else no
  std::string powerOff;                  // what PowerOffPermission answers
  std::map<std::string, std::string> settingsStore;  // "app\section\key" -> value
  std::map<std::string, std::string> environment;    // what started processes inherit
  int closeCount = 0;
  std::size_t PendingAnswers() const { return answers_.size(); }
  int CountCalls(const std::string& prefix) const;

  // --- Platform ----------------------------------------------------------------------------
  std::string ProgramFolder() override;
  bool StartProcess(const std::string& commandLine, WindowStyle style) override;
  void SetEnvironmentValue(const std::string& name, const std::string& value) override;
  RunOutcome RunAndWait(const std::string& commandLine, WindowStyle style,
                        std::chrono::milliseconds limit) override;
  bool ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, WindowStyle style) override;
  void CloseMainWindow() override;
  std::string OpenFileDialog(const std::string& filter) override;
  std::string BrowseForFolder(const std::string& title, unsigned flags) override;
  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultAnswer) override;
  bool Confirm(const std::string& text, const std::string& question,
               const std::string& caption) override;
  // Reads `environment`, never the test's own.
  std::string EnvironmentValue(const std::string& name) override;
  std::string PowerOffPermission() override { return powerOff; }
  std::string ReadSetting(const std::string& app, const std::string& section,
                          const std::string& key) override;
  void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& value) override;
  bool FileExists(const std::string& path) override;
  bool CanOpen(const std::string& path, std::string& error) override;
  bool RemoveFile(const std::string& path, std::string& error) override;
  bool CopyFileTo(const std::string& from, const std::string& to, std::string& error) override;
  bool MoveFileOver(const std::string& from, const std::string& to, std::string& error) override;
  bool CreateFolder(const std::string& path, std::string& error) override;
  std::optional<std::int64_t> FileLength(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override;
  bool WriteWholeFile(const std::string& path, const std::string& content, std::string& error) override;
  bool AppendToFile(const std::string& path, const std::string& content, std::string& error) override;
  std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) override;

 private:
  std::optional<std::string> NextAnswer();
  bool IsLocked(const std::string& windowsPath) const;
  // Writes content to the host file, within diskSpace; false (and a partial file) past it.
  bool PutBytes(const std::string& windowsPath, const std::string& content, bool append,
                std::string& error);

  std::filesystem::path root_;
  std::deque<std::optional<std::string>> answers_;
  std::set<std::string> locked_;
};

const char* StyleName(WindowStyle style);

}  // namespace ravlo::test
