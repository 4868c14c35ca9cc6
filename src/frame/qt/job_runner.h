#pragma once
// Runs a project's project.sh in a process group of its own and reports what it prints, line
// by line; Cancel ends the whole group (ffmpeg, vobtitle, everything the script started).

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>

namespace ravlo {

class JobRunner : public QObject {
  Q_OBJECT

 public:
  // `folder`: the project folder (native form), which holds project.sh.
  explicit JobRunner(QString folder, QObject* parent = nullptr);
  ~JobRunner() override;

  bool Start();
  void Cancel();
  // Ends the job and waits until project.sh has ended it; false when it would not end.
  bool EndAndWait();
  bool Running() const { return process_.state() != QProcess::NotRunning; }
  qint64 ProcessGroup() const { return group_; }
  // The time the job has taken; it stops when the job ends.
  double ElapsedSeconds() const {
    return took_ >= 0 ? took_ / 1000.0 : clock_.isValid() ? clock_.elapsed() / 1000.0 : 0;
  }
  const QString& Folder() const { return folder_; }

 signals:
  void Line(const QString& line);
  // exitCode is -1 when the job was cancelled or crashed.
  void Finished(int exitCode, bool cancelled);

 private:
  void Read(QProcess::ProcessChannel channel);
  void Signal(int signal);

  QString folder_;
  QProcess process_;
  QElapsedTimer clock_;
  std::string pending_[2];  // an unfinished line of standard output, of standard error
  qint64 group_ = 0;
  qint64 took_ = -1;  // milliseconds, once the job has ended
  bool cancelled_ = false;
};

}  // namespace ravlo
