#pragma once
// The window that watches a running project.sh: stage n of m and its name, the stage's and
// the whole job's progress, elapsed time and an estimate of what is left, the last lines of
// output on request, Cancel; at the end the result files, their sizes and the fill of the
// medium with a button that plays the movie, or the failed stage, its reason and the log.

#include <QDialog>
#include <QStringList>

#include "frame/qt/job_lines.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ravlo {

class JobRunner;

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  // `folder`: the project folder (native form). The window runs its project.sh.
  ProgressWindow(const QString& folder, QWidget* parent);
  bool Start();
  JobRunner& Runner() { return *runner_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Take(const QString& line);
  void Tick();
  void End(int exitCode, bool cancelled);
  QString FilesLeft() const;

  JobRunner* runner_;
  QLabel* stage_;
  QProgressBar* stageBar_;
  QProgressBar* jobBar_;
  QLabel* times_;
  QLabel* result_;
  QPlainTextEdit* output_;
  QPushButton* showOutput_;
  QPushButton* cancel_;
  QPushButton* play_;
  QTimer* clock_;
  JobProgress progress_;
  bool placed_ = false;
  QStringList results_;
  QString fill_, failedStage_, reason_;
};

}  // namespace ravlo
