#include "frame/qt/qt_platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

#include "frame/qt/progress_window.h"

namespace ravlo {
namespace {

QString Q(const std::string& text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }
std::string S(const QString& text) { return text.toLocal8Bit().toStdString(); }

// A disc is opened by its IFO, its image, or its folder (VIDEO_TS or the one above it), so the
// dialog takes a chosen folder as the answer too.
class DiscDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  QString chosen;

  void accept() override {
    const QStringList files = selectedFiles();
    const QFileInfo info(files.value(0));
    if (info.isDir() && (info.fileName().compare("VIDEO_TS", Qt::CaseInsensitive) == 0 ||
                         QDir(info.filePath()).exists("VIDEO_TS"))) {
      chosen = info.absoluteFilePath();
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
    if (result() == Accepted) chosen = selectedFiles().value(0);
  }
};

// The folder picker takes what the user typed, as typed: a folder that exists, or a new one
// the save will make (its parent must exist), relative to the folder shown. Qt's own dialog
// would refuse a new name ("Directory not found").
class FolderDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  QString chosen;

  void accept() override {
    // A typed name or path wins over the list's selection, which Qt would take first (typing
    // "empty_one" leaves "empty" selected). The dialog writes a selection as quoted names.
    auto* name = findChild<QLineEdit*>("fileNameEdit");
    const QString typed = name ? name->text().trimmed() : QString();
    const QFileInfo info(!typed.isEmpty() && !typed.startsWith('"')
                             ? directory().absoluteFilePath(typed)
                             : selectedFiles().value(0, directory().absolutePath()));
    if (info.exists() && !info.isDir()) {
      QMessageBox::warning(this, windowTitle(), info.absoluteFilePath() + "\nis a file, not a folder.");
      return;
    }
    chosen = info.absoluteFilePath();
    QDialog::accept();
  }
};

// "IFO file (*.ifo) | *.ifo" -> "IFO file (*.ifo *.IFO)": Qt's form, either case. The first,
// chosen at the start, shows everything a disc is opened by (folders show under any filter).
QStringList NameFilters(const std::string& windowsFilter) {
  const QStringList parts = Q(windowsFilter).split('|');
  QStringList filters{"Disc: title set IFO, ISO image or folder (*.ifo *.IFO *.iso *.ISO)"};
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    name = name.left(name.indexOf('(')).trimmed();
    const QString pattern = parts[i + 1].trimmed();
    filters << QString("%1 (%2 %3)").arg(name, pattern.toLower(), pattern.toUpper());
  }
  filters << "DVD image (*.iso *.ISO)" << "All files (*)";
  return filters;
}

}  // namespace

bool QtPlatform::ShellOpen(const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& folder,
                           WindowStyle style) {
  const QString name = Q(file);
  const QString where = Q(folder);
  if (name.contains("://")) return QDesktopServices::openUrl(QUrl(name));
  if (name.compare("project.bat", Qt::CaseInsensitive) == 0) {
    auto* window = new ProgressWindow(where, mainWindow_);
    window->show();
    return window->Start();
  }
  if (name.endsWith(".bat", Qt::CaseInsensitive) || name.endsWith(".sh")) {
    return PosixPlatform::ShellOpen(verb, file, parameters, folder, style);
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(where).filePath(name)));
}

void QtPlatform::CloseMainWindow() {
  if (mainWindow_) mainWindow_->close();
}

std::string QtPlatform::OpenFileDialog(const std::string& filter) {
  DiscDialog dialog(mainWindow_, "Open a title set's IFO, a disc folder or image");
  dialog.setObjectName("dlgOpen");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(NameFilters(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.chosen.isEmpty()) return {};
  return S(QFileInfo(dialog.chosen).absoluteFilePath());
}

std::string QtPlatform::BrowseForFolder(const std::string& title, unsigned) {
  FolderDialog dialog(mainWindow_, Q(title));
  dialog.setObjectName("dlgFolder");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // Nor does Enter take the completer's pick of a longer or shorter name.
  if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit")) name->setCompleter(nullptr);
  if (dialog.exec() != QDialog::Accepted || dialog.chosen.isEmpty()) return {};
  return S(QDir::cleanPath(dialog.chosen));
}

void QtPlatform::ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) {
  QString shown = Q(text);
  shown.replace("\r\n", "\n");
  const QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                     QMessageBox::Critical};
  QMessageBox box(icons[static_cast<int>(icon)], Q(caption), shown, QMessageBox::Ok, mainWindow_);
  box.setObjectName("dlgMessage");
  box.exec();
}

bool QtPlatform::Confirm(const std::string& text, const std::string& question,
                         const std::string& caption) {
  QString shown = Q(text) + "\n\n" + Q(question);
  shown.replace("\r\n", "\n");
  QMessageBox box(QMessageBox::Question, Q(caption), shown, QMessageBox::Yes | QMessageBox::No,
                  mainWindow_);
  box.setObjectName("dlgConfirm");
  // A key pressed without reading keeps things as they were.
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPlatform::InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultAnswer) {
  QInputDialog dialog(mainWindow_);
  dialog.setObjectName("dlgInput");
  dialog.setWindowTitle(Q(title));
  QString label = Q(prompt);
  label.replace("\r\n", "\n");
  dialog.setLabelText(label);
  dialog.setTextValue(Q(defaultAnswer));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return S(dialog.textValue());
}

}  // namespace ravlo
