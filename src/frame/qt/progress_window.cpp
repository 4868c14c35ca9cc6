#include "frame/qt/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "frame/constants.h"
#include "frame/qt/job_lines.h"
#include "frame/qt/job_runner.h"

namespace ravlo {
namespace {

QString Clock(int seconds) { return QString::fromStdString(ClockText(seconds)); }

QString StageText(const JobProgress& progress) {
  QString text = QString("Stage %1 of %2: %3").arg(progress.stage).arg(progress.stages)
                     .arg(QString::fromStdString(progress.name));
  if (progress.note.starts_with("correction")) text += ", " + QString::fromStdString(progress.note);
  return text;
}

}  // namespace

ProgressWindow::ProgressWindow(const QString& folder, QWidget* parent)
    : QDialog(parent), runner_(new JobRunner(folder, this)) {
  setObjectName("frmProgress");
  setWindowTitle(QString(kAppTitle) + " - " + QDir(folder).dirName());
  setAttribute(Qt::WA_DeleteOnClose);
  stage_ = new QLabel("Starting project.sh", this);
  stageBar_ = new QProgressBar(this);
  jobBar_ = new QProgressBar(this);
  times_ = new QLabel(this);
  result_ = new QLabel(this);
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  result_->setTextFormat(Qt::RichText);
  result_->setWordWrap(true);
  result_->hide();
  output_ = new QPlainTextEdit(this);
  output_->setReadOnly(true);
  output_->setMaximumBlockCount(200);
  output_->setLineWrapMode(QPlainTextEdit::NoWrap);
  output_->hide();
  showOutput_ = new QPushButton("Show &output", this);
  showOutput_->setCheckable(true);
  play_ = new QPushButton("&Play movie", this);
  play_->hide();
  cancel_ = new QPushButton("Cancel", this);
  for (auto [widget, name] : {std::pair<QWidget*, const char*>{stage_, "lblStage"},
                              {stageBar_, "barStage"}, {jobBar_, "barJob"}, {times_, "lblTimes"},
                              {result_, "lblResult"}, {output_, "txtOutput"},
                              {showOutput_, "cmdOutput"}, {play_, "cmdPlay"}, {cancel_, "cmdCancel"}}) {
    widget->setObjectName(name);
  }
  stageBar_->setFormat("Stage %p%");
  jobBar_->setFormat("Job %p%");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(showOutput_);
  buttons->addStretch();
  buttons->addWidget(play_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  for (QWidget* widget : {static_cast<QWidget*>(stage_), static_cast<QWidget*>(stageBar_),
                          static_cast<QWidget*>(jobBar_), static_cast<QWidget*>(times_),
                          static_cast<QWidget*>(result_), static_cast<QWidget*>(output_)}) {
    layout->addWidget(widget);
  }
  layout->addLayout(buttons);
  // Wide enough for a stage name and a result line in the font the desktop uses.
  setMinimumWidth(fontMetrics().averageCharWidth() * 72);

  connect(showOutput_, &QPushButton::toggled, this, [this](bool on) {
    output_->setVisible(on);
    if (on) output_->horizontalScrollBar()->setValue(0);
    showOutput_->setText(on ? "Hide &output" : "Show &output");
    adjustSize();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (runner_->Running()) {
      cancel_->setEnabled(false);
      stage_->setText("Cancelling...");
      runner_->Cancel();
    } else {
      close();
    }
  });
  connect(play_, &QPushButton::clicked, this, [this] {
    QProcess::startDetached("/bin/sh", {"movie.sh"}, runner_->Folder());
  });
  connect(runner_, &JobRunner::Line, this, &ProgressWindow::Take);
  connect(runner_, &JobRunner::Finished, this, &ProgressWindow::End);
  clock_ = new QTimer(this);
  connect(clock_, &QTimer::timeout, this, &ProgressWindow::Tick);
  clock_->start(1000);
}

// Qt places every dialog of the planner on the planner's middle; each job's window goes a
// little down and right of those already there, so that none hides another.
void ProgressWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (std::exchange(placed_, true)) return;
  const int step = fontMetrics().height() * 2;
  QList<QPoint> taken;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top != this && top->isVisible() && qobject_cast<ProgressWindow*>(top)) taken << top->pos();
  }
  QPoint place = pos();
  const auto near = [&place, step](const QPoint& other) {
    return std::abs(other.x() - place.x()) < step && std::abs(other.y() - place.y()) < step;
  };
  while (std::any_of(taken.begin(), taken.end(), near)) place += QPoint(step, step);
  move(place);
}

bool ProgressWindow::Start() {
  const bool started = runner_->Start();
  Tick();
  return started;
}

void ProgressWindow::Take(const QString& text) {
  // A line is read from its start: a new one leaves the view where it was, at the left
  // unless the user moved it.
  QScrollBar* across = output_->horizontalScrollBar();
  const int at = across->value();
  output_->appendPlainText(text);
  across->setValue(at);
  const JobLine line = ParseJobLine(text.toStdString());
  switch (line.kind) {
    case JobLine::Kind::Stage:
    case JobLine::Kind::Progress:
      progress_.Take(line);
      stage_->setText(StageText(progress_));
      Tick();
      break;
    case JobLine::Kind::Result:
      results_ << QString("<tr><td>%1</td><td align=right>&nbsp;&nbsp;%2 bytes</td></tr>")
                      .arg(QString::fromStdString(line.name).toHtmlEscaped(),
                           QLocale().toString(static_cast<qlonglong>(line.bytes)));
      break;
    case JobLine::Kind::Total:
      fill_ = QString("<b>Total %1 bytes: %2% of the medium</b>")
                  .arg(QLocale().toString(static_cast<qlonglong>(line.bytes)))
                  .arg(line.fill, 0, 'f', 2);
      break;
    case JobLine::Kind::Short:
      fill_ += "<br>" + QString::fromStdString(line.reason).toHtmlEscaped();
      break;
    case JobLine::Kind::Failure:
      failedStage_ = QString::fromStdString(line.name);
      reason_ = QString::fromStdString(line.reason);
      break;
    case JobLine::Kind::Other:
      break;
  }
}

void ProgressWindow::Tick() {
  // Without figures from the stage (older scripts print only the headers) the bar just runs.
  if (progress_.percent < 0 && runner_->Running()) {
    stageBar_->setRange(0, 0);
  } else {
    stageBar_->setRange(0, 100);
    stageBar_->setValue(std::max(0, progress_.percent));
  }
  const double fraction = progress_.Fraction();
  jobBar_->setRange(0, 1000);
  jobBar_->setValue(static_cast<int>(fraction * 1000));
  jobBar_->setFormat(QString("Job %1%").arg(static_cast<int>(fraction * 100)));
  const double elapsed = runner_->ElapsedSeconds();
  QString text = "Elapsed " + Clock(static_cast<int>(elapsed));
  if (runner_->Running()) {
    const int left = JobSecondsLeft(elapsed, fraction);
    if (left >= 0) text += ", about " + Clock(left) + " left";
    if (progress_.secondsLeft >= 0) text += " (this stage " + Clock(progress_.secondsLeft) + ")";
  }
  times_->setText(text);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Closing the window of a running job is a Cancel: the window stays to say what was left.
  if (runner_->Running()) {
    event->ignore();
    cancel_->click();
    return;
  }
  QDialog::closeEvent(event);
}

// Every name in the folder, folders first and marked as such (a job's working folder, such
// as segments/, holds most of its bytes).
QString ProgressWindow::FilesLeft() const {
  const QFileInfoList entries = QDir(runner_->Folder()).entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsFirst);
  QStringList names;
  for (const QFileInfo& entry : entries) names << entry.fileName() + (entry.isDir() ? "/" : "");
  return names.isEmpty() ? QString("nothing") : names.join(", ").toHtmlEscaped();
}

void ProgressWindow::End(int exitCode, bool cancelled) {
  // Folder names are long and have no blanks to wrap at: each gets a line of its own.
  const QString folder = "<br>" + runner_->Folder().toHtmlEscaped();
  QString text;
  if (cancelled) {
    stage_->setText("Cancelled");
    text = "The job was ended. Left in the project folder: " + FilesLeft() + "." + folder;
  } else if (exitCode == 0) {
    stage_->setText("Done");
    progress_.Finish();
    text = "<table>" + results_.join("") + "</table>" + fill_ + "<br>Result files in:" + folder;
    play_->show();
  } else {
    const QString where = failedStage_.isEmpty() ? QString::fromStdString(progress_.name) : failedStage_;
    stage_->setText(where.isEmpty() ? QString("Failed") : "Failed: " + where);
    text = reason_.isEmpty() ? QString("project.sh ended with exit code %1.").arg(exitCode)
                             : reason_.toHtmlEscaped();
    text += "<br>The stages and their times are in log.txt in the project folder:" + folder;
  }
  // The clock stops with the job: the time it took stays shown.
  Tick();
  clock_->stop();
  result_->setText(text);
  result_->show();
  cancel_->setText("&Close");
  cancel_->setEnabled(true);
  adjustSize();
}

}  // namespace ravlo
