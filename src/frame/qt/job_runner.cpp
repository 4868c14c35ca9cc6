#include "frame/qt/job_runner.h"

#include <signal.h>
#include <unistd.h>

#include <QTimer>

#include "frame/qt/job_lines.h"

namespace ravlo {

JobRunner::JobRunner(QString folder, QObject* parent) : QObject(parent), folder_(std::move(folder)) {
  process_.setWorkingDirectory(folder_);
  // Read apart, so that an error message never lands in the middle of a progress line.
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  // Its own group, so that Cancel reaches every process the script started, and a terminal's
  // Ctrl+C meant for the planner does not reach the job.
  process_.setChildProcessModifier([] { ::setpgid(0, 0); });
  connect(&process_, &QProcess::readyReadStandardOutput, this,
          [this] { Read(QProcess::StandardOutput); });
  connect(&process_, &QProcess::readyReadStandardError, this,
          [this] { Read(QProcess::StandardError); });
  connect(&process_, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
    for (QProcess::ProcessChannel channel : {QProcess::StandardOutput, QProcess::StandardError}) {
      Read(channel);
      std::string& rest = pending_[channel];
      if (!rest.empty()) emit Line(QString::fromLocal8Bit(rest.data(), qsizetype(rest.size())));
      rest.clear();
    }
    took_ = clock_.elapsed();
    const bool crashed = status == QProcess::CrashExit;
    emit Finished(crashed || cancelled_ ? -1 : code, cancelled_);
  });
  connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    took_ = clock_.isValid() ? clock_.elapsed() : 0;
    emit Finished(-1, false);
  });
}

JobRunner::~JobRunner() {
  // The planner is going away: nothing may be told of the job's end any more, and the job
  // goes with it rather than run on unwatched. project.sh ends its job on TERM (its own
  // session) and removes what was left unfinished; KILL would leave the job running.
  disconnect(&process_, nullptr, this, nullptr);
  EndAndWait();
}

bool JobRunner::EndAndWait() {
  if (!Running()) return true;
  cancelled_ = true;
  Signal(SIGTERM);
  // project.sh gives its job ten seconds to close its files before it kills it; whatever of
  // its own group outlives it, or ignores TERM, is ended then.
  const bool ended = process_.waitForFinished(15000);
  Signal(SIGKILL);
  return ended || process_.waitForFinished(2000);
}

bool JobRunner::Start() {
  clock_.start();
  process_.start("/bin/sh", {"project.sh"});
  if (!process_.waitForStarted(5000)) return false;
  group_ = process_.processId();
  // The job runs unattended: a tool that reads its input gets an end rather than waits.
  process_.closeWriteChannel();
  return true;
}

void JobRunner::Cancel() {
  if (!Running()) return;
  cancelled_ = true;
  Signal(SIGTERM);
  // project.sh ends its job on TERM within ten seconds; whatever ignores that is ended later.
  QTimer::singleShot(15000, this, [this] { Signal(SIGKILL); });
}

void JobRunner::Signal(int signal) {
  if (group_ > 0) ::kill(-static_cast<pid_t>(group_), signal);
}

void JobRunner::Read(QProcess::ProcessChannel channel) {
  process_.setReadChannel(channel);
  const QByteArray chunk = process_.readAll();
  for (const std::string& line :
       SplitJobOutput(pending_[channel], {chunk.constData(), size_t(chunk.size())})) {
    emit Line(QString::fromLocal8Bit(line.data(), qsizetype(line.size())));
  }
}

}  // namespace ravlo
