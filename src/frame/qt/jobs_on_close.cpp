#include "frame/qt/jobs_on_close.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMessageBox>

#include "frame/constants.h"
#include "frame/qt/job_runner.h"
#include "frame/qt/progress_window.h"

namespace ravlo {
namespace {

class JobsOnClose : public QObject {
 public:
  explicit JobsOnClose(QMainWindow* window) : QObject(window), window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_ || event->type() != QEvent::Close) return false;
    QList<ProgressWindow*> running;
    for (ProgressWindow* progress : window_->findChildren<ProgressWindow*>()) {
      if (progress->Runner().Running()) running << progress;
    }
    if (running.isEmpty()) return false;
    const QString question =
        running.size() == 1
            ? QString("A job is still running in %1.\n\nEnd it and quit? Its unfinished files are removed.")
                  .arg(running.front()->Runner().Folder())
            : QString("%1 jobs are still running.\n\nEnd them and quit? Their unfinished files are removed.")
                  .arg(running.size());
    QMessageBox box(QMessageBox::Question, kAppTitle, question, QMessageBox::Yes | QMessageBox::No,
                    window_);
    box.setObjectName("dlgEndJobs");
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes) {
      event->ignore();
      return true;
    }
    for (ProgressWindow* progress : running) progress->Runner().EndAndWait();
    return false;
  }

 private:
  QMainWindow* window_;
};

}  // namespace

void EndJobsOnClose(QMainWindow* window) { window->installEventFilter(new JobsOnClose(window)); }

}  // namespace ravlo
