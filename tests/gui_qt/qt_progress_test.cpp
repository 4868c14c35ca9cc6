// Save & Run on Linux: the progress lines of project.sh as the window reads them, and the
// progress window on a stand-in project.sh: its stages and fill, a failed stage, and Cancel
// ending every process of the job. Screenshots go to $RAVLO_SCREENS.
//
// Environment: RAVLO_STANDIN (the stand-in project.sh), RAVLO_SCREENS.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "frame/qt/job_lines.h"
#include "frame/qt/job_runner.h"
#include "frame/qt/jobs_on_close.h"
#include "frame/qt/progress_window.h"
#include "frame/qt/qt_platform.h"
#include "dialog_answers.h"

using namespace ravlo;
using Kind = JobLine::Kind;

namespace {

QString Env(const char* name) { return qEnvironmentVariable(name); }

// Running, not just waiting to be reaped by whoever adopted it.
bool Alive(const QString& pidFile) {
  QFile file(pidFile);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QFile stat("/proc/" + file.readAll().trimmed() + "/stat");
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray text = stat.readAll();
  const qsizetype end = text.lastIndexOf(')');
  return end > 0 && text.size() > end + 2 && text[end + 2] != 'Z';
}

}  // namespace

class QtProgressTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDir().mkpath(Env("RAVLO_SCREENS"))); }
  void progressLines();
  void saveRunShowsTheStagesAndTheFill();
  void aFailedStageShowsItsReasonAndLog();
  void aCorrectionNeverTakesTheJobBack();
  void cancelEndsEveryProcessOfTheJob();
  void jobWindowsOpenApart();
  void quittingEndsTheJobsFirst();

 private:
  // Runs the stand-in as Save & Run does and returns its progress window.
  ProgressWindow* SaveRun(const char* mode);
  void Shot(QWidget* window, const QString& name) {
    QTest::qWait(50);
    QVERIFY(window->grab().save(QDir(Env("RAVLO_SCREENS")).filePath(name + ".png")));
  }

  std::ostringstream out_, err_;
  QtPlatform platform_{"/nonexistent/bin/ravlo3", out_, err_};
  // The elapsed time shown once the job has ended stays as it is.
  void ClockStopped(ProgressWindow* window) {
    auto* times = window->findChild<QLabel*>("lblTimes");
    const QString atEnd = times->text();
    QVERIFY(atEnd.startsWith("Elapsed "));
    QTest::qWait(2100);
    QCOMPARE(times->text(), atEnd);
  }

  std::vector<std::unique_ptr<QTemporaryDir>> folders_;
  QStringList stagesShown_;
  int mostStage_ = 0;
  std::vector<int> jobShown_;  // the job bar after each line
};

void QtProgressTest::progressLines() {
  struct Case {
    const char* line;
    Kind kind;
    int stage, stages;
    const char* name;
    int percent, left;
  } cases[] = {
      {"[2/7] Video 1st pass", Kind::Stage, 2, 7, "Video 1st pass", -1, -1},
      {"[2/7] Video 1st pass (2 segments)", Kind::Stage, 2, 7, "Video 1st pass", -1, -1},
      {"[2/7] Video 1st pass 45% 1:05 left", Kind::Progress, 2, 7, "Video 1st pass", 45, 65},
      {"[2/7] Video 1st pass 100%", Kind::Progress, 2, 7, "Video 1st pass", 100, -1},
      {"[3/7] Audio 7% 1:02:03 left", Kind::Progress, 3, 7, "Audio", 7, 3723},
      {"[9/7] Audio", Kind::Other, 0, 0, "", -1, -1},
      {"frame=  100 fps= 25 q=4.0 size=  1024kB", Kind::Other, 0, 0, "", -1, -1},
      {"      700000 bytes  movie.avi", Kind::Result, 0, 0, "movie.avi", -1, -1},
      {"project.sh: Audio failed: 'ffmpeg' ended with exit code 1", Kind::Failure, 0, 0, "Audio", -1, -1},
      {"[2/7] Audio 5% 0:09 leftproject.sh: Audio failed: no space", Kind::Failure, 0, 0, "Audio", -1, -1},
  };
  for (const Case& c : cases) {
    const JobLine line = ParseJobLine(c.line);
    QVERIFY2(line.kind == c.kind, c.line);
    QCOMPARE(line.stage, c.stage);
    QCOMPARE(line.stages, c.stages);
    QCOMPARE(line.name, std::string(c.name));
    QCOMPARE(line.percent, c.percent);
    QCOMPARE(line.secondsLeft, c.left);
  }
  QCOMPARE(ParseJobLine("      700000 bytes  movie.avi").bytes, 700000);
  const JobLine total = ParseJobLine("Total 701000 bytes: 95.50% of the medium of 734003 bytes (0.7 MB)");
  QVERIFY(total.kind == Kind::Total && total.bytes == 701000 && total.fill == 95.5);
  QCOMPARE(ParseJobLine("project.sh: Audio failed: 'ffmpeg' ended").reason, std::string("'ffmpeg' ended"));
  QVERIFY(ParseJobLine("It cannot fill more: the title is short.").kind == Kind::Short);

  // Terminal refreshes end in "\r", others in "\n"; a line may arrive in pieces.
  std::string pending;
  QCOMPARE(SplitJobOutput(pending, "[1/2] A 5%\r[1/2] A 9").size(), size_t(1));
  const auto lines = SplitJobOutput(pending, "0%\n\n[2/2] B\n");
  QCOMPARE(lines, (std::vector<std::string>{"[1/2] A 90%", "[2/2] B"}));
  QVERIFY(pending.empty());

  // The job's fraction through a second pass corrected twice: each correction a step of its
  // own between what is done and the stages to come.
  const struct {
    const char* line;
    bool starts;
    double fraction;
  } job[] = {
      {"[1/4] A", true, 0},           {"[1/4] A 50%", false, 0.125},
      {"[2/4] B", true, 0.25},        {"[2/4] B 100%", false, 0.5},
      {"[2/4] B (correction 1)", true, 0.5},  {"[2/4] B 50%", false, 0.5 + 0.5 * 0.5 / 3},
      {"[2/4] B 100%", false, 0.5 + 0.5 / 3}, {"[2/4] B (correction 2)", true, 0.5 + 0.5 / 3},
      {"[2/4] B 100%", false, 0.5 + 0.5 / 3 + (0.5 - 0.5 / 3) / 3},
      {"[3/4] C", true, 0.5 + 0.5 / 3 + (0.5 - 0.5 / 3) / 3},
      {"[4/4] D 50%", true, 0.5 + 0.5 / 3 + (0.5 - 0.5 / 3) * 2.5 / 3},
  };
  JobProgress progress;
  for (const auto& step : job) {
    QVERIFY2(progress.Take(ParseJobLine(step.line)) == step.starts, step.line);
    QVERIFY2(std::abs(progress.Fraction() - step.fraction) < 1e-9,
             qPrintable(QString("%1: %2").arg(step.line).arg(progress.Fraction())));
  }
  QCOMPARE(progress.note, std::string());
  progress.Finish();
  QCOMPARE(progress.Fraction(), 1.0);
  QCOMPARE(ParseJobLine("[2/4] B (correction 1)").note, std::string("correction 1"));
  QCOMPARE(JobSecondsLeft(30, 0.25), 90);
  QCOMPARE(JobSecondsLeft(30, 0.01), -1);
  QCOMPARE(JobSecondsLeft(1, 0.5), -1);  // too early to tell
  QCOMPARE(ClockText(65), std::string("1:05"));
  QCOMPARE(ClockText(3723), std::string("1:02:03"));
}

ProgressWindow* QtProgressTest::SaveRun(const char* mode) {
  folders_.push_back(std::make_unique<QTemporaryDir>());
  const QString folder = folders_.back()->path();
  if (!QFile::copy(Env("RAVLO_STANDIN"), QDir(folder).filePath("project.sh"))) return nullptr;
  qputenv("STANDIN_MODE", mode);
  stagesShown_.clear();
  mostStage_ = 0;
  jobShown_.clear();
  // As Save & Run asks for it: the batch's name in the project folder (record form).
  if (!platform_.ShellOpen("OPEN", "project.bat", "", folder.toStdString() + "/",
                           WindowStyle::Normal)) {
    return nullptr;
  }
  ProgressWindow* window = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == "frmProgress" && top->isVisible() && top->property("seen").isNull()) {
      window = static_cast<ProgressWindow*>(top);
    }
  }
  if (!window) return nullptr;
  window->setProperty("seen", true);
  // After the window's own handling of each line: what it shows then.
  connect(&window->Runner(), &JobRunner::Line, window, [this, window] {
    const QString text = window->findChild<QLabel*>("lblStage")->text();
    if (text.startsWith("Stage ") && (stagesShown_.isEmpty() || stagesShown_.last() != text)) {
      stagesShown_ << text;
    }
    mostStage_ = std::max(mostStage_, window->findChild<QProgressBar*>("barStage")->value());
    jobShown_.push_back(window->findChild<QProgressBar*>("barJob")->value());
  });
  return window;
}

void QtProgressTest::saveRunShowsTheStagesAndTheFill() {
  ProgressWindow* window = SaveRun("ok");
  QVERIFY(window);
  auto* result = window->findChild<QLabel*>("lblResult");
  QTRY_VERIFY(!stagesShown_.isEmpty() && stagesShown_.last().contains("Video 1st pass"));
  Shot(window, "progress_running");
  QTRY_VERIFY_WITH_TIMEOUT(result->isVisible(), 15000);
  QCOMPARE(stagesShown_.mid(0, 3), QStringList({"Stage 1 of 3: Analysis", "Stage 2 of 3: Video 1st pass",
                                                "Stage 3 of 3: Video 2nd pass"}));
  QCOMPARE(mostStage_, 100);
  QVERIFY2(result->text().contains("movie.avi") && result->text().contains("0x80.mp3") &&
               result->text().contains("95.50% of the medium") && result->text().contains("It cannot fill more"),
           qPrintable(result->text()));
  QCOMPARE(window->findChild<QLabel*>("lblStage")->text(), QString("Done"));
  QCOMPARE(window->findChild<QProgressBar*>("barJob")->value(), 1000);
  QVERIFY(window->findChild<QPushButton*>("cmdPlay")->isVisible());
  Shot(window, "progress_done");
  window->close();
}

void QtProgressTest::aFailedStageShowsItsReasonAndLog() {
  ProgressWindow* window = SaveRun("fail");
  QVERIFY(window);
  auto* result = window->findChild<QLabel*>("lblResult");
  QTRY_VERIFY_WITH_TIMEOUT(result->isVisible(), 15000);
  QCOMPARE(window->findChild<QLabel*>("lblStage")->text(), QString("Failed: Video 1st pass"));
  QVERIFY2(result->text().contains("its messages are in video1.log") && result->text().contains("log.txt"),
           qPrintable(result->text()));
  QVERIFY(!window->findChild<QPushButton*>("cmdPlay")->isVisible());
  Shot(window, "progress_failed");
  ClockStopped(window);
  window->close();
}

// A second pass corrected to fill the medium: the correction is a step of its own, and the
// job's bar only ever moves on.
void QtProgressTest::aCorrectionNeverTakesTheJobBack() {
  ProgressWindow* window = SaveRun("correct");
  QVERIFY(window);
  auto* result = window->findChild<QLabel*>("lblResult");
  QTRY_VERIFY(stagesShown_.contains("Stage 3 of 4: Video 2nd pass, correction 1"));
  Shot(window, "progress_correction");
  QTRY_VERIFY_WITH_TIMEOUT(result->isVisible(), 15000);
  QCOMPARE(window->findChild<QLabel*>("lblStage")->text(), QString("Done"));
  QVERIFY(jobShown_.size() > 10);
  for (std::size_t i = 1; i < jobShown_.size(); ++i) {
    QVERIFY2(jobShown_[i] >= jobShown_[i - 1],
             qPrintable(QString("the job went from %1 to %2").arg(jobShown_[i - 1]).arg(jobShown_[i])));
  }
  // The correction moved the bar on, and the end fills it.
  QVERIFY(jobShown_.back() > 750);
  QCOMPARE(window->findChild<QProgressBar*>("barJob")->value(), 1000);
  ClockStopped(window);
  Shot(window, "progress_corrected_done");
  window->close();
}

void QtProgressTest::cancelEndsEveryProcessOfTheJob() {
  ProgressWindow* window = SaveRun("hang");
  QVERIFY(window);
  const QString folder = window->Runner().Folder();
  const QString helper = QDir(folder).filePath("helper.pid"), stubborn = QDir(folder).filePath("stubborn.pid");
  QTRY_VERIFY(Alive(helper) && Alive(stubborn));
  QTRY_VERIFY(window->findChild<QPlainTextEdit*>("txtOutput")->toPlainText().contains("ffprobe"));
  window->findChild<QPushButton*>("cmdOutput")->click();
  // The output shows from the start of its lines.
  QScrollBar* across = window->findChild<QPlainTextEdit*>("txtOutput")->horizontalScrollBar();
  QTRY_VERIFY(across->maximum() > 0);
  QCOMPARE(across->value(), 0);
  Shot(window, "progress_output");
  // Closing the window while the job runs is its Cancel; the window stays to tell the end.
  window->close();
  QVERIFY(window->isVisible());
  auto* result = window->findChild<QLabel*>("lblResult");
  QTRY_VERIFY_WITH_TIMEOUT(result->isVisible(), 5000);
  QCOMPARE(window->findChild<QLabel*>("lblStage")->text(), QString("Cancelled"));
  // Every file and folder the job leaves, the folders as such.
  for (const char* left : {"helper.pid", "log.txt", "movie.vob", "segments/"}) {
    QVERIFY2(result->text().contains(left), qPrintable(QString(left) + " not in: " + result->text()));
  }
  // The helper goes with the group at once, the one that ignores TERM a little later.
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(helper) && !Alive(stubborn), 20000);
  Shot(window, "progress_cancelled");
  ClockStopped(window);
  window->close();
}

// Jobs started one after the other each get a window of their own where it can be seen, not
// one on top of the other.
void QtProgressTest::jobWindowsOpenApart() {
  std::vector<ProgressWindow*> windows;
  for (int i = 0; i < 3; ++i) {
    windows.push_back(SaveRun("hang"));
    QVERIFY(windows.back());
  }
  for (std::size_t i = 0; i < windows.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const QPoint apart = windows[i]->pos() - windows[j]->pos();
      QVERIFY2(std::abs(apart.x()) >= 16 && std::abs(apart.y()) >= 16,
               qPrintable(QString("windows %1 and %2 are %3,%4 apart").arg(j).arg(i).arg(apart.x()).arg(apart.y())));
    }
  }
  for (ProgressWindow* window : windows) delete window;  // each ends its job
}

// Closing the planner asks while jobs run, and ends them before it goes; a progress window
// destroyed with its job running ends the job and is told nothing after it is gone.
void QtProgressTest::quittingEndsTheJobsFirst() {
  auto* main = new QMainWindow;
  platform_.SetMainWindow(main);
  EndJobsOnClose(main);
  main->show();
  ProgressWindow* window = SaveRun("hang");
  QVERIFY(window);
  const QDir folder(window->Runner().Folder());
  QTRY_VERIFY(Alive(folder.filePath("helper.pid")) && Alive(folder.filePath("stubborn.pid")));
  DialogAnswers answers;
  const auto answer = [](QMessageBox::StandardButton button) {
    return [button](QWidget* box) { static_cast<QMessageBox*>(box)->button(button)->click(); };
  };
  answers.Add(answer(QMessageBox::No));
  QVERIFY(!main->close());
  QVERIFY(answers.Seen() == QStringList{"dlgEndJobs"});
  QVERIFY(window->Runner().Running() && Alive(folder.filePath("helper.pid")));
  answers.Add(answer(QMessageBox::Yes));
  QVERIFY(main->close());
  QVERIFY(!window->Runner().Running());
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(folder.filePath("helper.pid")) && !Alive(folder.filePath("stubborn.pid")), 2000);

  ProgressWindow* other = SaveRun("hang");
  QVERIFY(other);
  const QDir otherFolder(other->Runner().Folder());
  QTRY_VERIFY(Alive(otherFolder.filePath("helper.pid")));
  delete main;  // the planner goes: its windows with their jobs
  platform_.SetMainWindow(nullptr);
  QTRY_VERIFY_WITH_TIMEOUT(!Alive(otherFolder.filePath("helper.pid")) && !Alive(otherFolder.filePath("stubborn.pid")), 2000);
}

QTEST_MAIN(QtProgressTest)
#include "qt_progress_test.moc"
