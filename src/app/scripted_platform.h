#pragma once
// The Platform of scripted mode: the system's own for files, processes and the settings store;
// dialogs answered from the script's queue; message boxes printed: information on standard
// output, warnings and errors on standard error (and the script then ends with exit code 1).

#include <deque>
#include <optional>
#include <string>

#include "app/text_sink.h"
#include "platform/platform.h"

namespace ravlo {

class ScriptedPlatform : public Platform {
 public:
  ScriptedPlatform(Platform& system, TextSink out, TextSink err)
      : system_(system), out_(out), err_(err) {}

  void QueueAnswer(std::optional<std::string> answer) { answers_.push_back(std::move(answer)); }
  // Removes the answer queued last when no dialog took it.
  void DropAnswerIfUnused(std::size_t queuedBefore);
  std::size_t PendingAnswers() const { return answers_.size(); }
  bool Closed() const { return closed_; }
  // A warning or error message was shown: something the user asked for did not happen.
  bool ReportedFailure() const { return reportedFailure_; }

  std::string ProgramFolder() override { return system_.ProgramFolder(); }
  bool StartProcess(const std::string& commandLine, WindowStyle style) override {
    return system_.StartProcess(commandLine, style);
  }
  void SetEnvironmentValue(const std::string& name, const std::string& value) override {
    system_.SetEnvironmentValue(name, value);
  }
  std::string EnvironmentValue(const std::string& name) override { return system_.EnvironmentValue(name); }
  std::string PowerOffPermission() override { return system_.PowerOffPermission(); }
  RunOutcome RunAndWait(const std::string& commandLine, WindowStyle style,
                        std::chrono::milliseconds limit) override {
    return system_.RunAndWait(commandLine, style, limit);
  }
  bool ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& folder, WindowStyle style) override;
  void CloseMainWindow() override { closed_ = true; }
  std::string OpenFileDialog(const std::string& filter) override;
  std::string BrowseForFolder(const std::string& title, unsigned flags) override;
  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultAnswer) override;
  std::string ReadSetting(const std::string& app, const std::string& section,
                          const std::string& key) override {
    return system_.ReadSetting(app, section, key);
  }
  void WriteSetting(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& value) override {
    system_.WriteSetting(app, section, key, value);
  }
  bool FileExists(const std::string& path) override { return system_.FileExists(path); }
  bool CanOpen(const std::string& path, std::string& error) override {
    return system_.CanOpen(path, error);
  }
  bool RemoveFile(const std::string& path, std::string& error) override {
    return system_.RemoveFile(path, error);
  }
  bool CopyFileTo(const std::string& from, const std::string& to, std::string& error) override {
    return system_.CopyFileTo(from, to, error);
  }
  bool CreateFolder(const std::string& path, std::string& error) override {
    return system_.CreateFolder(path, error);
  }
  bool MakeExecutable(const std::string& path, std::string& error) override {
    return system_.MakeExecutable(path, error);
  }
  bool MoveFileOver(const std::string& from, const std::string& to, std::string& error) override {
    return system_.MoveFileOver(from, to, error);
  }
  std::optional<std::int64_t> FileLength(const std::string& path) override {
    return system_.FileLength(path);
  }
  std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) override {
    return system_.ListFiles(folder, pattern);
  }
  bool WriteWholeFile(const std::string& path, const std::string& content,
                      std::string& error) override {
    return system_.WriteWholeFile(path, content, error);
  }
  std::string ReportFolder(const std::string& programMisc, std::string& error) override {
    return system_.ReportFolder(programMisc, error);
  }
  bool AppendToFile(const std::string& path, const std::string& content,
                    std::string& error) override {
    return system_.AppendToFile(path, content, error);
  }
  std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) override {
    return system_.ReadWholeFile(path, error);
  }

 private:
  std::optional<std::string> NextAnswer();

  Platform& system_;
  TextSink out_;
  TextSink err_;
  std::deque<std::optional<std::string>> answers_;
  bool closed_ = false;
  bool reportedFailure_ = false;
};

}  // namespace ravlo
