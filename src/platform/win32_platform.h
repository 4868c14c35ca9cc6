#pragma once
// The Platform on real Windows (and Wine): ANSI -A APIs throughout.

#include <windows.h>

#include "platform/platform.h"

namespace ravlo {

class Win32Platform : public Platform {
 public:
  // Owner of dialogs and message boxes, and the window CloseMainWindow closes.
  void SetMainWindow(HWND window) { mainWindow_ = window; }
  HWND MainWindow() const { return mainWindow_; }

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
  bool WriteWholeFile(const std::string& path, const std::string& content,
                      std::string& error) override;
  bool AppendToFile(const std::string& path, const std::string& content,
                    std::string& error) override;
  std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) override;

 private:
  HWND mainWindow_ = nullptr;
};

// The system's text for a Win32 error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

}  // namespace ravlo
