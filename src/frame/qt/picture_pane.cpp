#include "frame/qt/picture_pane.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "common/numbers.h"
#include "frame/app_state.h"
#include "project/project_plan.h"
#include "project/shell_road.h"

namespace ravlo {
namespace {

constexpr int kPlaces = 5;  // at a tenth, three tenths, ... of the chain

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString Clock(double seconds) {
  const long whole = std::lround(std::max(seconds, 0.0));
  return QString::asprintf("%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
}

// What the pictures depend on: when any of it changes, they are made again.
struct Look {
  QString ifo;
  int chain = 0, angle = 0;
  QString scale;  // the job's resize, "" for none
  QString limit;  // AutoCrop's threshold as cropdetect takes it, "" when AutoCrop is off
  bool operator==(const Look& other) const {
    return ifo == other.ifo && chain == other.chain && angle == other.angle && scale == other.scale &&
           limit == other.limit;
  }
};

Look CurrentLook(const AppState& app) {
  const ProjectSettings& s = app.settings;
  Look look;
  look.ifo = Q(app.globals.IfoPath);
  const auto chain = ParseNumber(s.txtTitle.Text()), angle = ParseNumber(s.txtAngle.Text());
  look.chain = chain && *chain >= 1 ? static_cast<int>(*chain) : 0;
  look.angle = angle && *angle >= 1 && *angle <= kMaxAngle ? static_cast<int>(*angle) : 1;
  // The job's own filters, from the same choices.
  ProjectPlan plan;
  plan.resize = s.chkResize.IsSet();
  plan.resizeFilter = s.cmbResize.Text();
  plan.aspect = s.opt16_9.IsSet() ? PlannedAspect::Wide : s.opt4_3.IsSet() ? PlannedAspect::Standard : PlannedAspect::None;
  QString picture = Q(PlannedVideoFilters(plan).picture);
  look.scale = picture.remove(QRegularExpression(",?CROP$"));
  const auto threshold = ParseNumber(s.txtAC_Threshold.Text());
  if (s.chkAC.IsSet() && threshold && *threshold >= 0 && *threshold <= kMaxCropThreshold) {
    look.limit = QString::asprintf("%.4f", *threshold / 255.0);
  }
  return look;
}

// The frames at the places, the chapters, and AutoCrop over the frames, into the folder given.
constexpr const char* kMakePictures = R"SH(set -u
vobtitle=$1 ifo=$2 chain=$3 angle=$4 dir=$5 scale=$6 limit=$7
"$vobtitle" "$ifo" "$chain" "$angle" --chapters >"$dir/chapters.txt" || exit 1
for k in 0 1 2 3 4; do
  "$vobtitle" "$ifo" "$chain" "$angle" --sample "$dir/$k.vob" "0.$((k * 2 + 1))" || exit 1
  ffmpeg -nostdin -v error -y -skip_frame nokey -i "$dir/$k.vob" -map 0:v:0 -frames:v 1 \
    ${scale:+-vf "$scale"} "$dir/$k.png" 2>"$dir/ffmpeg.log" || { tail -n 1 "$dir/ffmpeg.log" >&2; exit 1; }
  rm -f "$dir/$k.vob"
done
[ -z "$limit" ] || ffmpeg -nostdin -hide_banner -i "$dir/%d.png" -vf "cropdetect=limit=$limit:round=4:reset=0" \
  -f null - 2>"$dir/crop.log"
)SH";

// The picture fitted into the widget, the crop drawn on it as a rectangle.
class FrameView : public QWidget {
 public:
  explicit FrameView(QWidget* parent) : QWidget(parent) {
    setObjectName("picFrame");
    setMinimumSize(160, 90);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  void Show(const QImage& image, const QRect& crop, const QString& note) {
    image_ = image;
    crop_ = crop;
    note_ = note;
    // What is shown, for screen readers and the tests.
    setAccessibleDescription(note);
    setProperty("pictureSize", image.size());
    update();
  }
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (image_.isNull()) {
      painter.setPen(palette().color(QPalette::Text));
      painter.drawText(rect().adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap, note_);
      return;
    }
    const QSize fitted = image_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
    if (crop_.isValid()) {
      const double sx = double(target.width()) / image_.width(), sy = double(target.height()) / image_.height();
      const QRectF drawn(target.left() + crop_.left() * sx, target.top() + crop_.top() * sy, crop_.width() * sx,
                         crop_.height() * sy);
      painter.setPen(QPen(QColor(255, 64, 64), 2, Qt::DashLine));
      painter.drawRect(drawn.adjusted(1, 1, -1, -1));
    }
  }

 private:
  QImage image_;
  QRect crop_;
  QString note_;
};

class PicturePane : public QGroupBox {
 public:
  PicturePane(AppState& app, QWidget* parent) : QGroupBox("Picture", parent), app_(app) {
    setObjectName("picturePane");
    frame_ = new FrameView(this);
    earlier_ = new QPushButton("Earlier", this);
    earlier_->setObjectName("cmdEarlier");
    earlier_->setToolTip("The frame at the place before this one");
    later_ = new QPushButton("Later", this);
    later_->setObjectName("cmdLater");
    later_->setToolTip("The frame at the place after this one");
    place_ = new QLabel(this);
    place_->setObjectName("lblPlace");
    crop_ = new QLabel(this);
    crop_->setObjectName("lblCrop");
    crop_->setWordWrap(true);
    crop_->setToolTip("The crop the job's AutoCrop finds on these frames, drawn on the picture as a dashed line");
    auto* chaptersCaption = new QLabel("Chapters:", this);
    chapters_ = new QListWidget(this);
    chapters_->setObjectName("lstChapters");
    chapters_->setToolTip("The chain's chapters and where each starts");
    chaptersCaption->setBuddy(chapters_);

    auto* steps = new QHBoxLayout;
    steps->addWidget(earlier_);
    steps->addWidget(place_, 1, Qt::AlignCenter);
    steps->addWidget(later_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame_, 3);
    layout->addLayout(steps);
    layout->addWidget(crop_);
    layout->addWidget(chaptersCaption);
    layout->addWidget(chapters_, 1);

    connect(earlier_, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(later_, &QPushButton::clicked, this, [this] { Step(1); });
    // Changes come in bursts (opening a disc sets every field): one look after they settle.
    settle_.setSingleShot(true);
    settle_.setInterval(300);
    connect(&settle_, &QTimer::timeout, this, [this] { Refresh(); });
    for (Field* field : {&app.settings.txtTitle, &app.settings.txtAngle, &app.settings.cmbPGC, &app.settings.chkResize,
                         &app.settings.cmbResize, &app.settings.opt16_9, &app.settings.opt4_3, &app.settings.chkAC,
                         &app.settings.txtAC_Threshold}) {
      // The record outlives the window: a change after the pane is gone reaches nothing.
      field->Watch([pane = QPointer<PicturePane>(this)](const Field&) {
        if (pane) pane->settle_.start();
      });
    }
    Clear("Open a disc to see its picture here.");
  }

  ~PicturePane() override { Stop(); }

 protected:
  void showEvent(QShowEvent* event) override {
    QGroupBox::showEvent(event);
    settle_.start();
  }

 private:
  void Clear(const QString& note) {
    images_.clear();
    frame_->Show({}, {}, note);
    place_->clear();
    crop_->clear();
    chapters_->clear();
    earlier_->setEnabled(false);
    later_->setEnabled(false);
  }

  // Ends the reading, vobtitle and ffmpeg with it (they run in the script's own group).
  void Stop() {
    if (!job_) return;
    job_->disconnect(this);
    if (job_->processId() > 0) ::kill(-static_cast<pid_t>(job_->processId()), SIGKILL);
    job_->kill();
    job_->waitForFinished(2000);
    job_.reset();
  }

  // Makes the pictures again when what they depend on has changed (and only while shown).
  void Refresh() {
    if (!isVisible()) return;
    const Look look = CurrentLook(app_);
    if (look == shown_ && (job_ || !images_.empty())) return;
    Stop();
    shown_ = look;
    if (look.ifo.isEmpty() || look.chain < 1) {
      Clear("Open a disc to see its picture here.");
      return;
    }
    Clear("Reading the picture of chain " + QString::number(look.chain) + "...");
    folder_ = std::make_unique<QTemporaryDir>();
    if (!folder_->isValid()) {
      Clear("No picture: a temporary folder cannot be made (" + folder_->errorString() + ").");
      return;
    }
    const QString vobtitle = Q(HelperFolder(app_.globals.AppFolder)) + "/vobtitle";
    job_ = std::make_unique<QProcess>();
    job_->setProcessChannelMode(QProcess::SeparateChannels);
    job_->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(job_.get(), &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) { Finished(code, status); });
    connect(job_.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
      if (error == QProcess::FailedToStart) Clear("No picture: sh cannot be started.");
    });
    job_->start("sh", {"-c", kMakePictures, "sh", vobtitle, look.ifo, QString::number(look.chain),
                       QString::number(look.angle), folder_->path(), look.scale, look.limit});
  }

  void Finished(int code, QProcess::ExitStatus status) {
    const QString said = QString::fromLocal8Bit(job_->readAllStandardError()).trimmed();
    job_.release()->deleteLater();
    if (status != QProcess::NormalExit || code != 0) {
      const QString last = said.section('\n', -1).remove(QRegularExpression("^vobtitle: "));
      Clear("No picture: " + (last.isEmpty() ? QString("the frames could not be read.") : last));
      return;
    }
    for (int k = 0; k < kPlaces; ++k) {
      QImage image(folder_->filePath(QString::number(k) + ".png"));
      if (image.isNull()) {
        Clear("No picture: frame " + QString::number(k + 1) + " could not be read.");
        return;
      }
      images_.push_back(image);
    }
    ReadCrop();
    ReadChapters();
    current_ = kPlaces / 2;
    Step(0);
  }

  // The last crop cropdetect settled on over all the frames: what the job takes from its own.
  void ReadCrop() {
    cropRect_ = QRect();
    if (shown_.limit.isEmpty()) {
      crop_->setText("AutoCrop is off: the whole picture is kept.");
      return;
    }
    QFile log(folder_->filePath("crop.log"));
    QRegularExpressionMatch last;
    if (log.open(QIODevice::ReadOnly)) {
      const QString text = QString::fromLocal8Bit(log.readAll());
      for (const auto& match : QRegularExpression(R"(crop=(\d+):(\d+):(\d+):(\d+))").globalMatch(text)) last = match;
    }
    if (!last.hasMatch()) {
      crop_->setText("AutoCrop found no picture edges on these frames.");
      return;
    }
    cropRect_ = QRect(last.captured(3).toInt(), last.captured(4).toInt(), last.captured(1).toInt(),
                      last.captured(2).toInt());
    crop_->setText(QString("AutoCrop keeps %1x%2 from %3,%4 on these frames (the job looks at its own).")
                       .arg(cropRect_.width()).arg(cropRect_.height()).arg(cropRect_.left()).arg(cropRect_.top()));
  }

  void ReadChapters() {
    QFile list(folder_->filePath("chapters.txt"));
    if (!list.open(QIODevice::ReadOnly)) return;
    for (const QString& line : QString::fromLocal8Bit(list.readAll()).split('\n', Qt::SkipEmptyParts)) {
      const QStringList words = line.split(' ');
      if (words.size() != 2) continue;
      chapters_->addItem("Chapter " + words[0] + "   " + Clock(words[1].toDouble()));
    }
  }

  void Step(int by) {
    if (images_.empty()) return;
    current_ = std::clamp(current_ + by, 0, static_cast<int>(images_.size()) - 1);
    frame_->Show(images_[current_], cropRect_, {});
    const auto seconds = ParseNumber(app_.settings.txtSec.Text());
    const double fraction = (current_ * 2 + 1) / 10.0;
    place_->setText(QString("%1 of %2").arg(current_ + 1).arg(images_.size()) +
                    (seconds && *seconds > 0 ? ", near " + Clock(*seconds * fraction) : QString()));
    earlier_->setEnabled(current_ > 0);
    later_->setEnabled(current_ + 1 < static_cast<int>(images_.size()));
  }

  AppState& app_;
  FrameView* frame_;
  QPushButton *earlier_, *later_;
  QLabel *place_, *crop_;
  QListWidget* chapters_;
  QTimer settle_;
  std::unique_ptr<QProcess> job_;
  std::unique_ptr<QTemporaryDir> folder_;
  Look shown_;
  std::vector<QImage> images_;
  QRect cropRect_;
  int current_ = 0;
};

}  // namespace

QWidget* CreatePicturePane(AppState& app, QWidget* parent) { return new PicturePane(app, parent); }

}  // namespace ravlo
