#pragma once
// The POSIX platform behind the Linux window: dialogs are Qt dialogs, documents and web
// addresses open in the desktop's programs, and project.sh runs watched by a progress window
// while the main window stays usable. Everything else is the POSIX platform's.

#include <QPointer>
#include <QWidget>

#include "platform/posix_platform.h"

namespace ravlo {

class QtPlatform : public PosixPlatform {
 public:
  using PosixPlatform::PosixPlatform;

  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

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

 private:
  QPointer<QWidget> mainWindow_;
};

}  // namespace ravlo
