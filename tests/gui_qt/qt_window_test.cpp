// The Linux window against the control table and against scripted mode: every field has its
// widget with its caption, tab and start value; the user's keys and clicks run the same
// handlers as the command line's actions (the dumps and the saved project.sh agree); screenshots
// of every tab and menu go to $RAVLO_SCREENS.
//
// Environment: RAVLO_PREFIX (an installed tree: bin/ravlo3, share/ravlo3), RAVLO_DISCS (the
// authored sample discs), RAVLO_SCREENS (where the screenshots go).

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "app/planner.h"
#include "app/state_dump.h"
#include "dialog_answers.h"
#include "frame/control_ids.h"
#include "frame/constants.h"
#include "frame/control_table.h"
#include "frame/qt/main_window.h"
#include "frame/qt/qt_platform.h"

using namespace ravlo;

namespace {

// What the table declares, expanded here on its own so that the window is checked against
// the declaration rather than against its own reading of it.
struct Declared {
  const char* name;
  FieldKind kind;
  const char* caption;
  int page;
  char key;
  bool hasLabel;
  FieldStart start;
  const char* tip;
};
const Declared kDeclared[] = {
#define START(...) FieldStart{__VA_ARGS__}
#define AT(x, y, cx, cy) true
#define NO_LABEL false
#define RAVLO_FIELD(name, kind, caption, page, key, control, label, start, tip) \
  {#name, FieldKind::kind, caption, kPage##page, key, label, start, tip},
#define RAVLO_PICTURE(name, page, control, icon, start, tip) \
  {#name, FieldKind::Picture, "", kPage##page, 0, false, start, tip},
#include "frame/field_list.h"
};
struct DeclaredMenu {
  const char* name;
  FieldKind kind;
  const char* caption;
  const char* shortcut;
  FieldStart start;
};
const DeclaredMenu kDeclaredMenus[] = {
#define KEY(key, text) text
#define CTRL_KEY(key, text) text
#define NO_KEY ""
#define RAVLO_MENU(name, kind, caption, shortcut, start) \
  {#name, FieldKind::kind, caption, shortcut, start},
#include "frame/field_list.h"
#undef KEY
#undef CTRL_KEY
#undef NO_KEY
#undef START
#undef AT
#undef NO_LABEL
};

QString Env(const char* name) { return qEnvironmentVariable(name); }

// The text without its access-key marks, and the key they mark.
QString Plain(QString text) { return text.replace("&&", "\x01").remove('&').replace('\x01', '&'); }

// Types a path into a file dialog's name box and presses Enter, as a user does.
void Type(QFileDialog* dialog, const QString& path) {
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  QVERIFY(name);
  // The dialog lists its folder in a thread of its own: typed before that settles, the list's
  // first pick may still move the selection on a busy machine.
  QTest::qWait(150);
  name->setText(path);
  QTest::qWait(50);
  QTest::keyClick(name, Qt::Key_Return);
}

QString PageOf(QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    for (int page = kPageRow; page < kPageCount; ++page) {
      if (widget->objectName() == (page == kPageRow ? "Row" : PageTitle(page))) return widget->objectName();
    }
  }
  return {};
}

// Nothing cut off: inside its parent, and as wide as its text needs.
void CheckWhole(QWidget* widget) {
  const QRect inside = widget->parentWidget()->rect();
  QVERIFY2(inside.contains(widget->geometry()), qPrintable(widget->objectName() + " leaves its frame"));
  if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLabel*>(widget)) {
    QVERIFY2(widget->width() >= widget->sizeHint().width() &&
                 widget->height() >= widget->minimumSizeHint().height(),
             qPrintable(widget->objectName() + " is cut off"));
  }
}

}  // namespace

class QtWindowTest : public QObject {
  Q_OBJECT

 public:
  QtWindowTest()
      : platform_((Env("RAVLO_PREFIX") + "/bin/ravlo3").toStdString(), out_, err_), app_(platform_) {}

 private slots:
  void initTestCase();
  void everyFieldHasItsWidget();
  void userEditsRunTheScriptedHandlers();
  void screenshots();
  void resizesWithTheLists();
  void accessKeysAndShortcuts();
  void openTakesADiscFolder();
  void linuxKeys_data();
  void linuxKeys();
  void typedSizeStaysAsTyped_data();
  void typedSizeStaysAsTyped();
  void openChecksTheDesktopsLanguage_data();
  void openChecksTheDesktopsLanguage();
  void sizesAgainstTheTitle_data();
  void sizesAgainstTheTitle();
  void failedOpenKeepsTheDisc_data();
  void failedOpenKeepsTheDisc();
  void folderIsChosen_data();
  void folderIsChosen();
  void videoPageShowsThePicture_data();
  void videoPageShowsThePicture();

 private:
  // Opens `path` through File > Open as a user does; `answer` takes what follows the dialog.
  void OpenByDialog(const QString& path, const DialogAnswers::Answer& answer = {});
  template <class W>
  W* Widget(const char* name) {
    W* widget = window_->findChild<W*>(name);
    if (!widget) qWarning("no widget %s", name);
    return widget;
  }
  QString Scripted(const QStringList& actions);
  QString Dump();
  // The offscreen platform has no window manager to give the focus back after a dialog.
  void Activate() {
    QApplication::setActiveWindow(window_);
    QVERIFY(QTest::qWaitForWindowActive(window_));
  }
  void ShowPage(int page) { Widget<QTabWidget>("tabMain")->setCurrentIndex(page); }
  QString Shot(const QString& name) {
    return QDir(Env("RAVLO_SCREENS")).filePath(name + ".png");
  }

  std::ostringstream out_, err_;
  QtPlatform platform_;
  AppState app_;
  QMainWindow* window_ = nullptr;
  QTemporaryDir work_;
  QString ifo_;
};

void QtWindowTest::initTestCase() {
  QVERIFY2(!Env("RAVLO_PREFIX").isEmpty() && !Env("RAVLO_DISCS").isEmpty(), "set RAVLO_PREFIX and RAVLO_DISCS");
  ifo_ = Env("RAVLO_DISCS") + "/disc_a/VIDEO_TS/VTS_01_0.IFO";
  QVERIFY(QFile::exists(ifo_));
  QDir().mkpath(Env("RAVLO_SCREENS"));
  // Not the first run: no help page in a browser.
  qputenv("XDG_CONFIG_HOME", work_.filePath("config").toLocal8Bit());
  // The analysis report too is this run's own: the tests at other scales run beside it.
  qputenv("XDG_CACHE_HOME", work_.filePath("cache").toLocal8Bit());
  QDir().mkpath(work_.filePath("config/ravlo3"));
  QFile settings(work_.filePath("config/ravlo3/settings.ini"));
  QVERIFY(settings.open(QIODevice::WriteOnly));
  settings.write("[Ravlo3\\Options]\nFirstRun=Done\n");
  settings.close();

  app_.road = ProjectRoad::Shell;
  ConnectHandlers(app_);
  window_ = CreateMainWindow(app_);
  platform_.SetMainWindow(window_);
  LoadMainForm(app_);
  window_->show();
  QApplication::setActiveWindow(window_);
  QVERIFY(QTest::qWaitForWindowActive(window_));
}

void QtWindowTest::everyFieldHasItsWidget() {
  for (const Declared& field : kDeclared) {
    const QString name = field.name;
    QWidget* widget = window_->findChild<QWidget*>(name);
    QVERIFY2(widget, qPrintable("no widget for " + name));
    QCOMPARE(PageOf(widget), field.page == kPageRow ? QString("Row") : QString(PageTitle(field.page)));
    // The caption, on a label beside the control or on the control, with its access key.
    QString shown;
    if (field.hasLabel) {
      auto* label = window_->findChild<QLabel*>(name + "_label");
      QVERIFY2(label, qPrintable("no label for " + name));
      QCOMPARE(label->buddy(), widget);
      shown = label->text();
      CheckWhole(label);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      shown = button->text();
    }
    QCOMPARE(Plain(shown), QString(field.caption));
    if (field.key) {
      QCOMPARE(QKeySequence::mnemonic(shown),
               QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(QChar(field.key).toUpper().unicode()))));
    }
    CheckWhole(widget);
    // What the control is for, from the table, where the pointer rests.
    QVERIFY2(field.tip && *field.tip, qPrintable("no tooltip declared for " + name));
    QCOMPARE(widget->toolTip(), QString(field.tip));
    // The start value and flags. Hidden on Linux: the XviD settings button (no dialog to open)
    // and SRT (it makes no subtitles there).
    const FieldStart& start = field.start;
    QCOMPARE(!widget->isHidden(), start.visible && name != "cmdCfgCodec" && name != "optSub_SRT");
    QCOMPARE(widget->isEnabled(), start.enabled);
    switch (field.kind) {
      case FieldKind::Text: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        QVERIFY(edit);
        QVERIFY2(edit->text() == QString::fromStdString(app_.settings.Find(field.name)->Text()), field.name);
        if (start.text) QCOMPARE(edit->text(), QString(start.text));
        QCOMPARE(edit->isReadOnly(), start.readOnly);
        break;
      }
      case FieldKind::Combo: {
        auto* combo = qobject_cast<QComboBox*>(widget);
        QVERIFY(combo && combo->isEditable());
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        // Items not declared are the start-up's (the audio quality follows the format).
        const Field& record = *app_.settings.Find(field.name);
        if (start.items) QCOMPARE(items.join('|'), QString(start.items));
        QCOMPARE(items.size(), record.ItemCount());
        QCOMPARE(combo->currentText(), QString::fromStdString(record.Text()));
        if (start.text) QCOMPARE(combo->currentText(), QString(start.text));
        break;
      }
      case FieldKind::Option:
      case FieldKind::Check: {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        QVERIFY(button && button->isCheckable());
        QCOMPARE(button->isChecked(), start.value);
        break;
      }
      case FieldKind::List:
      case FieldKind::CheckedList:
        QVERIFY(qobject_cast<QListWidget*>(widget));
        QCOMPARE(qobject_cast<QListWidget*>(widget)->count(), 0);
        break;
      case FieldKind::Button:
        QVERIFY(qobject_cast<QAbstractButton*>(widget));
        break;
      case FieldKind::Picture:
        QVERIFY(qobject_cast<QLabel*>(widget) && !qobject_cast<QLabel*>(widget)->pixmap().isNull());
        break;
      default:
        QFAIL("a menu kind among the controls");
    }
  }
  for (const DeclaredMenu& item : kDeclaredMenus) {
    auto* action = window_->findChild<QAction*>(item.name);
    QVERIFY2(action, item.name);
    QCOMPARE(action->text(), QString(item.caption));
    // Linux keeps Ctrl+S for Save, and puts no key on shutting the computer down.
    QCOMPARE(action->shortcut(), QKeySequence(QString(item.name) == "chkShutDown" ? "" : item.shortcut));
    QCOMPARE(action->isCheckable(), item.kind == FieldKind::MenuCheck);
    QCOMPARE(action->isChecked(), item.start.value);
    QCOMPARE(action->isEnabled(), item.start.enabled);
  }
  QStringList popups;
  for (QAction* popup : window_->menuBar()->actions()) popups << popup->text();
  QCOMPARE(popups.join('|'), QString("&File|&Options|?"));
}

QString QtWindowTest::Scripted(const QStringList& actions) {
  QProcess ravlo3;
  ravlo3.start(Env("RAVLO_PREFIX") + "/bin/ravlo3", actions);
  if (!ravlo3.waitForFinished(60000) || ravlo3.exitCode() != 0) {
    qWarning() << "ravlo3" << actions << "failed:" << ravlo3.readAllStandardError();
  }
  return QString::fromLocal8Bit(ravlo3.readAllStandardOutput());
}

QString QtWindowTest::Dump() {
  std::ostringstream text;
  TextSink sink(text);
  DumpState(app_, sink);
  return QString::fromStdString(text.str());
}

void QtWindowTest::userEditsRunTheScriptedHandlers() {
  DialogAnswers answers;
  // File > Open by its shortcut; the dialog takes the IFO.
  answers.Add([this](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    Type(files, ifo_);
  });
  QTest::keyClick(window_, Qt::Key_F5);
  QTRY_VERIFY(answers.Done());
  QCOMPARE(answers.Seen().value(0), QString("dlgOpen"));
  QCOMPARE(Dump(), Scripted({"--open", ifo_, "--dump"}));

  Activate();
  // Tick two audio streams with the keyboard (after Select none: the open checked one), all
  // subtitles with the button, type a medium.
  ShowPage(kPageAudio);
  auto* audio = Widget<QListWidget>("lstAL");
  QCOMPARE(audio->count(), 3);
  QTest::mouseClick(Widget<QAbstractButton>("cmdASN"), Qt::LeftButton);
  audio->setFocus();
  for (int row : {0, 2}) {
    audio->setCurrentRow(row);
    QTest::keyClick(audio, Qt::Key_Space);
  }
  ShowPage(kPageSubtitles);
  QTest::mouseClick(Widget<QAbstractButton>("cmdSSA"), Qt::LeftButton);
  ShowPage(kPagePreferences);
  QLineEdit* medium = Widget<QComboBox>("cmbMS")->lineEdit();
  medium->selectAll();
  QTest::keyClicks(medium, "1400");
  const QStringList actions{"--open", ifo_, "--click", "cmdASN", "--check", "lstAL=0", "--check", "lstAL=2",
                            "--click", "cmdSSA", "--set", "cmbMS=1400"};
  const QString dump = Scripted(actions + QStringList{"--dump"});
  QCOMPARE(Dump(), dump);
  // The widgets show what the record holds: the estimates moved as in the dump.
  for (const char* name : {"txtVB", "txtAB", "txtFra", "txtMin"}) {
    QVERIFY(dump.contains(QString("\n%1=%2\n").arg(name, Widget<QLineEdit>(name)->text())));
  }
  QCOMPARE(Widget<QLineEdit>("txtAB")->text(), QString::fromStdString(app_.settings.txtAB.Text()));
  QVERIFY(!dump.contains("\ntxtVB=\n"));
  // Every list item shows whole: it fits, or the list scrolls sideways to it.
  for (const char* name : {"lstAL", "lstAO_code", "lstAO_name", "lstSL", "lstSO_code", "lstSO_name"}) {
    auto* list = Widget<QListWidget>(name);
    for (int i = 0; i < list->count(); ++i) {
      const int need = list->fontMetrics().horizontalAdvance(list->item(i)->text());
      QVERIFY2(need <= list->viewport()->width() || list->horizontalScrollBar()->maximum() > 0,
               qPrintable(QString(name) + " cuts " + list->item(i)->text()));
    }
  }

  // File > Save: the folder picker, the question on the low fill of 1400 MB by a few seconds
  // (the command line prints it), then the confirmation; the same files as the command line.
  const QString mine = work_.filePath("window"), theirs = work_.filePath("scripted");
  QVERIFY(QDir().mkpath(mine));
  answers.Add([mine](QWidget* dialog) {
    auto* folders = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(folders);
    Type(folders, mine);
  });
  answers.Add([](QWidget* dialog) { static_cast<QMessageBox*>(dialog)->button(QMessageBox::Yes)->click(); });
  QString windowSaid;
  answers.Add([&windowSaid](QWidget* dialog) {
    QVERIFY(qobject_cast<QMessageBox*>(dialog));
    windowSaid = static_cast<QMessageBox*>(dialog)->text();
    static_cast<QDialog*>(dialog)->accept();
  });
  Activate();
  QTest::keyClick(window_, Qt::Key_F6);
  QTRY_VERIFY2(answers.Done(), qPrintable(answers.Seen().join(' ')));
  QCOMPARE(answers.Seen().mid(1), QStringList({"dlgFolder", "dlgConfirm", "dlgMessage"}));
  const QString scriptedSaid = Scripted(actions + QStringList{"--save", theirs});
  for (const char* file : {"project.sh", "movie.sh"}) {
    QFile a(QDir(mine).filePath(file)), b(QDir(theirs).filePath(file));
    QVERIFY2(a.exists(), qPrintable(QString(file) + ": the window's save said: " + windowSaid));
    QVERIFY2(b.exists(), qPrintable(QString(file) + ": the command line's save said: " + scriptedSaid));
    QVERIFY2(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly), file);
    const QByteArray saved = a.readAll();
    QVERIFY(!saved.isEmpty());
    QCOMPARE(saved, b.readAll());
  }
}

void QtWindowTest::screenshots() {
  auto* tabs = Widget<QTabWidget>("tabMain");
  for (int page = 0; page < kPageCount; ++page) {
    tabs->setCurrentIndex(page);
    QTest::qWait(20);
    QVERIFY(window_->grab().save(Shot(QString("window_") + PageTitle(page))));
  }
  for (QAction* popup : window_->menuBar()->actions()) {
    QMenu* menu = popup->menu();
    menu->popup(window_->mapToGlobal(window_->menuBar()->actionGeometry(popup).bottomLeft()));
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(menu->grab().save(Shot("menu_" + menu->objectName())));
    menu->hide();
  }
  // A dark desktop: every part of the window takes the palette's colours (none are fixed).
  const QPalette light = QApplication::palette();
  QPalette dark;
  for (auto [role, color] : {std::pair{QPalette::Window, QColor(45, 45, 48)}, {QPalette::WindowText, QColor(230, 230, 230)},
                             {QPalette::Base, QColor(30, 30, 30)}, {QPalette::Text, QColor(230, 230, 230)},
                             {QPalette::Button, QColor(60, 60, 64)}, {QPalette::ButtonText, QColor(230, 230, 230)}}) {
    dark.setColor(role, color);
  }
  QApplication::setPalette(dark);
  for (int page : {kPageVideo, kPageAudio}) {
    tabs->setCurrentIndex(page);
    QTest::qWait(20);
    const QImage image = window_->grab().toImage();
    QVERIFY(image.save(Shot(QString("window_dark_") + PageTitle(page))));
    // The list's background is the palette's base colour, not the light default.
    auto* list = Widget<QWidget>(page == kPageVideo ? "txtTitle" : "lstAO_name");
    const QPoint inside = list->mapTo(window_, QPoint(list->width() - 4, list->height() - 4));
    QCOMPARE(QColor(image.pixel(inside * image.devicePixelRatio())), QColor(30, 30, 30));
  }
  QApplication::setPalette(light);
  tabs->setCurrentIndex(kPageVideo);
}

// The window takes any size from its own up: the stream lists take the height it gains, the
// row under the tabs stays at the bottom, and nothing leaves its frame.
void QtWindowTest::resizesWithTheLists() {
  const QSize start = window_->size();
  QVERIFY(window_->minimumSize() != window_->maximumSize());
  ShowPage(kPageAudio);
  auto* list = Widget<QWidget>("lstAL");
  auto* row = Widget<QWidget>("Row");
  const int listHeight = list->height();
  const QSize larger(start.width() * 3 / 2, start.height() * 3 / 2);
  window_->resize(larger);
  QTRY_COMPARE(window_->size(), larger);
  QTest::qWait(20);
  QVERIFY2(list->height() >= listHeight + (larger.height() - start.height()) * 3 / 4,
           qPrintable(QString("the list grew from %1 to %2").arg(listHeight).arg(list->height())));
  QCOMPARE(row->mapTo(window_, QPoint(0, row->height())).y(), window_->height());
  for (const Declared& field : kDeclared) CheckWhole(window_->findChild<QWidget*>(field.name));
  // Below the list, inside its frame.
  QVERIFY(Widget<QWidget>("cmdASA")->geometry().top() >= list->geometry().bottom());
  QVERIFY(window_->grab().save(Shot("window_resized_Audio")));
  ShowPage(kPageVideo);
  QTest::qWait(20);
  QVERIFY(window_->grab().save(Shot("window_resized_Video")));
  // Smaller than its own size it does not go: nothing would show whole.
  window_->resize(start / 2);
  QTRY_COMPARE(window_->size(), start);
  ShowPage(kPageAudio);  // a page hidden behind another is laid out when it shows
  QTRY_COMPARE(list->height(), listHeight);
  ShowPage(kPageVideo);
}

void QtWindowTest::accessKeysAndShortcuts() {
  Activate();
  ShowPage(kPageVideo);
  QTest::keyClick(window_, Qt::Key_G, Qt::AltModifier);
  QCOMPARE(QApplication::focusWidget(), Widget<QWidget>("txtAngle"));
  // Ctrl+Tab moves to the next page, where a frame's key reaches the frame's first control.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
  QCOMPARE(Widget<QTabWidget>("tabMain")->currentIndex(), int(kPageAudio));
  QTest::keyClick(window_, Qt::Key_L, Qt::AltModifier);
  QCOMPARE(QApplication::focusWidget(), Widget<QWidget>("lstAL"));
  // A button's key clicks it: Select none clears the ticks made before.
  QVERIFY(app_.settings.lstAL.IsChecked(0));
  QTest::keyClick(window_, Qt::Key_N, Qt::AltModifier);
  // A button shows itself pressed for a moment before its click.
  QTRY_VERIFY(!app_.settings.lstAL.IsChecked(0) && !app_.settings.lstAL.IsChecked(2));
  // An option's key selects it, and its handler runs: OGG has its own qualities.
  ShowPage(kPagePreferences);
  QTest::keyClick(window_, Qt::Key_G, Qt::AltModifier);
  QTRY_VERIFY(app_.settings.optAud_OGG.IsSet() && !app_.settings.optAud_MP3.IsSet());
  QVERIFY(Widget<QAbstractButton>("optAud_OGG")->isChecked());
  // Menu shortcuts: a check mark toggles; Save As asks for a folder (cancelled here).
  QTest::keyClick(window_, Qt::Key_D, Qt::ControlModifier);
  QVERIFY(!app_.settings.chkDelTemp.IsSet());
  QVERIFY(!Widget<QAction>("chkDelTemp")->isChecked());
  DialogAnswers answers;
  answers.Add([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
  QTest::keyClick(window_, Qt::Key_F7);
  QTRY_VERIFY(answers.Done());
  QCOMPARE(answers.Seen(), QStringList{"dlgFolder"});
  // Options > Set author asks in an input box, which starts with the current text.
  answers.Add([](QWidget* dialog) {
    auto* input = qobject_cast<QInputDialog*>(dialog);
    QVERIFY(input);
    QCOMPARE(input->textValue(), QString(kHostName));
    input->setTextValue(kCompanyHostName);
    input->accept();
  });
  Widget<QAction>("mnuSetAuthor")->trigger();
  QTRY_VERIFY(answers.Done());
  QCOMPARE(app_.globals.AuthorText, std::string(kCompanyHostName));
  // Alt+F opens the File menu.
  Activate();
  QTest::keyClick(window_, Qt::Key_F, Qt::AltModifier);
  QTRY_VERIFY(Widget<QMenu>("mnuFile")->isVisible());
  Widget<QMenu>("mnuFile")->hide();
}

void QtWindowTest::openTakesADiscFolder() {
  // The folder above VIDEO_TS is chosen, not entered; the open handler gets its path and
  // takes the title set of the disc's main feature.
  const QString disc = Env("RAVLO_DISCS") + "/disc_a";
  DialogAnswers answers;
  answers.Add([disc](QWidget* dialog) { Type(qobject_cast<QFileDialog*>(dialog), disc); });
  // Whatever the analysis says of it is answered too.
  answers.Add([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  Activate();
  QTest::keyClick(window_, Qt::Key_F5);
  QTRY_COMPARE(app_.globals.IfoPath, disc.toStdString() + "/VIDEO_TS/VTS_01_0.IFO");
  QTest::qWait(200);
}

void QtWindowTest::OpenByDialog(const QString& path, const DialogAnswers::Answer& answer) {
  DialogAnswers answers;
  answers.Add([path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(files);
    // The filter chosen at the start shows IFO files and ISO images (folders show always).
    QVERIFY2(files->selectedNameFilter().contains("*.ifo") && files->selectedNameFilter().contains("*.iso"),
             qPrintable(files->selectedNameFilter()));
    Type(files, path);
  });
  if (answer) answers.Add(answer);
  Activate();
  QTest::keyClick(window_, Qt::Key_F5);
  QTRY_VERIFY2(answers.Done(), qPrintable(answers.Seen().join(' ')));
  QTest::qWait(50);
}

// The keys of the Linux window: Ctrl+S saves (the folder is asked for), F8 too after another
// disc was opened; shutting down has no key, and from the menu it asks first.
void QtWindowTest::linuxKeys_data() {
  QTest::addColumn<QKeySequence>("key");
  QTest::addColumn<QString>("action");  // triggered instead of a key when set
  QTest::addColumn<QString>("answer");  // Yes or No to a question, else the dialog is cancelled
  QTest::addColumn<QStringList>("dialogs");
  QTest::addColumn<bool>("shutDown");
  QTest::newRow("Ctrl+S") << QKeySequence(QKeySequence::Save) << "" << "" << QStringList{"dlgFolder"} << false;
  QTest::newRow("F6") << QKeySequence("F6") << "" << "" << QStringList{"dlgFolder"} << false;
  QTest::newRow("F8 after another disc") << QKeySequence("F8") << "" << "" << QStringList{"dlgFolder"} << false;
  QTest::newRow("shut down, no") << QKeySequence() << "chkShutDown" << "No" << QStringList{"dlgConfirm"} << false;
  QTest::newRow("shut down, yes") << QKeySequence() << "chkShutDown" << "Yes" << QStringList{"dlgConfirm"} << true;
}

void QtWindowTest::linuxKeys() {
  QFETCH(QKeySequence, key);
  QFETCH(QString, action);
  QFETCH(QString, answer);
  QFETCH(QStringList, dialogs);
  QFETCH(bool, shutDown);
  OpenByDialog(ifo_);  // a disc opened anew: its first save asks for the folder
  app_.settings.chkShutDown.SetValue(false);
  QVERIFY(Widget<QAction>("chkShutDown")->shortcut().isEmpty());
  DialogAnswers answers;
  const QString shot = Shot(QString("confirm_shutdown_") + QTest::currentDataTag()).replace(' ', '_');
  answers.Add([answer, shot](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (!box) return static_cast<QDialog*>(dialog)->reject();
    QVERIFY(dialog->grab().save(shot));
    QVERIFY(box->text().contains("systemctl poweroff"));
    box->button(answer == "Yes" ? QMessageBox::Yes : QMessageBox::No)->click();
  });
  Activate();
  if (action.isEmpty()) {
    QTest::keySequence(window_, key);
  } else {
    Widget<QAction>(qPrintable(action))->trigger();
  }
  QTRY_VERIFY2(answers.Done(), qPrintable(answers.Seen().join(' ')));
  QCOMPARE(answers.Seen(), dialogs);
  QCOMPARE(app_.settings.chkShutDown.IsSet(), shutDown);
  QCOMPARE(Widget<QAction>("chkShutDown")->isChecked(), shutDown);
  app_.settings.chkShutDown.SetValue(false);
}

// The media size takes typed numbers as typed, whatever the list suggests, when the user
// leaves the box by Tab or confirms it with Enter.
void QtWindowTest::typedSizeStaysAsTyped_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("key");
  for (const char* typed : {"20", "1", "7", "69", "4478", "700.5"}) {
    QTest::newRow(qPrintable(QString(typed) + " Tab")) << typed << int(Qt::Key_Tab);
    QTest::newRow(qPrintable(QString(typed) + " Enter")) << typed << int(Qt::Key_Return);
  }
}

void QtWindowTest::typedSizeStaysAsTyped() {
  QFETCH(QString, typed);
  QFETCH(int, key);
  Activate();
  ShowPage(kPagePreferences);
  auto* combo = Widget<QComboBox>("cmbMS");
  combo->setFocus();
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), typed);
  QTest::keyClick(combo->lineEdit(), Qt::Key(key));
  QTest::qWait(20);
  QCOMPARE(QString::fromStdString(app_.settings.cmbMS.Text()), typed);
  QCOMPARE(combo->currentText(), typed);
}

// A disc just opened has the first audio stream of the desktop's language checked, else its
// first (disc a: 0x80 English, 0xA0 French, 0x81 German).
void QtWindowTest::openChecksTheDesktopsLanguage_data() {
  QTest::addColumn<QByteArray>("language");
  QTest::addColumn<QString>("checked");
  QTest::newRow("de") << QByteArray("de_DE.UTF-8") << "0x81o.ac3";
  QTest::newRow("fr") << QByteArray("fr_FR.UTF-8") << "0xA0o.wav";
  QTest::newRow("ja") << QByteArray("ja_JP.UTF-8") << "0x80o.ac3";
  QTest::newRow("C") << QByteArray("C") << "0x80o.ac3";
}

void QtWindowTest::openChecksTheDesktopsLanguage() {
  QFETCH(QByteArray, language);
  QFETCH(QString, checked);
  const QByteArray saved = qgetenv("LC_ALL");
  qputenv("LC_ALL", language);
  OpenByDialog(ifo_);
  saved.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", saved);
  QCOMPARE(app_.settings.lstAO_code.Items(), std::vector<std::string>{checked.toStdString()});
  auto* list = Widget<QListWidget>("lstAL");
  int shown = 0;
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->checkState() == Qt::Checked) {
      ++shown;
      QVERIFY(list->item(i)->text().startsWith(checked.left(4)));
    }
  }
  QCOMPARE(shown, 1);
}

// Save against the title (the main feature of disc a: 7 s, PAL 16:9 resized, MP3 at 128 kbit/s): a
// medium it cannot fit into is refused naming the smallest that works; one it cannot fill to
// 90% is asked about, saying the fill to expect, and saved only on yes.
void QtWindowTest::sizesAgainstTheTitle_data() {
  QTest::addColumn<QString>("size");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QStringList>("dialogs");
  QTest::addColumn<QString>("said");
  QTest::addColumn<bool>("saved");
  QTest::newRow("too small") << "0.1" << "" << QStringList{"dlgMessage"}
                             << "the smallest medium that works is 0.22 MB" << false;
  QTest::newRow("low fill, no") << "700" << "No" << QStringList{"dlgConfirm"} << "Expect a fill of 1% at most" << false;
  QTest::newRow("low fill, yes") << "700" << "Yes" << QStringList{"dlgConfirm", "dlgMessage"}
                                 << "Expect a fill of 1% at most" << true;
  QTest::newRow("fills") << "6" << "" << QStringList{"dlgMessage"} << "Project saved" << true;
}

void QtWindowTest::sizesAgainstTheTitle() {
  QFETCH(QString, size);
  QFETCH(QString, answer);
  QFETCH(QStringList, dialogs);
  QFETCH(QString, said);
  QFETCH(bool, saved);
  OpenByDialog(ifo_);
  app_.settings.optAud_MP3.SetValue(true);
  app_.settings.cmbAudQual.SetText("128");
  const QString folder = work_.filePath(QString("sizes_") + QTest::currentDataTag()).replace(' ', '_');
  QVERIFY(QDir().mkpath(folder));
  app_.globals.ProjectFolder = folder.toStdString() + "/";
  app_.settings.cmbMS.SetText(size.toStdString());
  QString text;
  const QString shot = Shot(QString("size_") + QTest::currentDataTag()).replace(' ', '_');
  DialogAnswers answers;
  answers.Add([&text, answer, shot](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    QVERIFY(box);
    text = box->text();
    QVERIFY(dialog->grab().save(shot));
    if (answer.isEmpty()) return box->accept();
    box->button(answer == "Yes" ? QMessageBox::Yes : QMessageBox::No)->click();
  });
  if (dialogs.size() > 1) answers.Add([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  Activate();
  QTest::keyClick(window_, Qt::Key_F6);
  QTRY_VERIFY2(answers.Done(), qPrintable(answers.Seen().join(' ')));
  QCOMPARE(answers.Seen(), dialogs);
  QVERIFY2(text.contains(said), qPrintable(text));
  QCOMPARE(QFile::exists(folder + "/project.sh"), saved);
}

// An open that fails leaves the disc that was loaded as it was.
void QtWindowTest::failedOpenKeepsTheDisc_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("said");
  QTest::newRow("not an IFO") << "junk/VTS_01_0.IFO" << "wrote no report";
  QTest::newRow("an empty VIDEO_TS") << "empty/VIDEO_TS" << "wrote no report";
}

void QtWindowTest::failedOpenKeepsTheDisc() {
  QFETCH(QString, path);
  QFETCH(QString, said);
  QVERIFY(QDir().mkpath(work_.filePath("junk")) && QDir().mkpath(work_.filePath("empty/VIDEO_TS")));
  QFile junk(work_.filePath("junk/VTS_01_0.IFO"));
  QVERIFY(junk.open(QIODevice::WriteOnly));
  junk.write("not a title set");
  junk.close();
  OpenByDialog(ifo_);
  app_.settings.cmbMS.SetText("700");
  app_.settings.txtTitle.SetText("2");
  const QString before = Dump();
  QString text;
  OpenByDialog(work_.filePath(path), [&text](QWidget* dialog) {
    text = static_cast<QMessageBox*>(dialog)->text();
    static_cast<QDialog*>(dialog)->accept();
  });
  QVERIFY2(text.contains(said), qPrintable(text));
  QCOMPARE(Dump(), before);
  QCOMPARE(Widget<QListWidget>("lstAL")->count(), 3);
  QCOMPARE(Widget<QLineEdit>("txtTitle")->text(), QString("2"));
  QVERIFY(Widget<QAction>("mnuSave")->isEnabled());
}

// The first save of a disc asks for the folder. The picker makes new folders, takes a typed
// path on Enter (a new name too: the save makes it), and a folder holding a project's files
// is named before they are replaced.
void QtWindowTest::folderIsChosen_data() {
  QTest::addColumn<QString>("typed");     // relative to the work folder, typed key by key
  QTest::addColumn<QStringList>("present");
  QTest::addColumn<QString>("answer");    // to the question on the files, if any
  QTest::addColumn<bool>("saved");
  QTest::newRow("a new folder") << "new_one" << QStringList{} << "" << true;
  QTest::newRow("an empty folder") << "empty_one" << QStringList{""} << "" << true;
  QTest::newRow("a project, no") << "old_one" << QStringList{"project.sh", "movie.sh"} << "No" << false;
  QTest::newRow("a project, yes") << "old_two" << QStringList{"project.sh", "movie.sh"} << "Yes" << true;
}

void QtWindowTest::folderIsChosen() {
  QFETCH(QString, typed);
  QFETCH(QStringList, present);
  QFETCH(QString, answer);
  QFETCH(bool, saved);
  OpenByDialog(ifo_);
  app_.settings.cmbMS.SetText("6");
  const QString folder = work_.filePath(typed);
  for (const QString& name : present) {
    QVERIFY(QDir().mkpath(folder));
    if (name.isEmpty()) continue;
    QFile file(QDir(folder).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("earlier");
  }
  const QString work = work_.path();
  QString question;
  const QString shot = Shot(QString("folder_") + QTest::currentDataTag()).replace(' ', '_');
  DialogAnswers answers;
  answers.Add([work, typed](QWidget* dialog) {
    auto* folders = qobject_cast<QFileDialog*>(dialog);
    QVERIFY(folders);
    auto* newFolder = folders->findChild<QAbstractButton*>("newFolderButton");
    QVERIFY(newFolder && newFolder->isVisibleTo(folders) && newFolder->isEnabled());
    folders->setDirectory(work);
    auto* name = folders->findChild<QLineEdit*>("fileNameEdit");
    // Typed as into a dialog that has the focus (the offscreen platform gives it none itself).
    QApplication::setActiveWindow(folders);
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    QTest::keyClicks(name, typed);
    QTest::keyClick(name, Qt::Key_Return);
  });
  if (!answer.isEmpty()) {
    answers.Add([&question, answer, shot](QWidget* dialog) {
      auto* box = qobject_cast<QMessageBox*>(dialog);
      QVERIFY(box);
      question = box->text();
      QVERIFY(dialog->grab().save(shot));
      box->button(answer == "Yes" ? QMessageBox::Yes : QMessageBox::No)->click();
    });
  }
  if (saved) answers.Add([](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  Activate();
  QTest::keyClick(window_, Qt::Key_F6);
  QTRY_VERIFY2(answers.Done(), qPrintable(answers.Seen().join(' ')));
  QTest::qWait(50);
  QCOMPARE(QString::fromStdString(app_.globals.ProjectFolder), saved ? folder + "/" : QString());
  QCOMPARE(QFile::exists(folder + "/project.sh") && QFile(folder + "/project.sh").size() > 100, saved);
  if (!answer.isEmpty()) {
    QVERIFY2(question.contains(folder + "/ holds files of a project") && question.contains("\n  project.sh") &&
                 question.contains("\n  movie.sh"),
             qPrintable(question));
  }
}

// The Video page shows frames of the chosen chain as the job scales them, the crop AutoCrop
// finds drawn on them, and the chain's chapters; a chain that cannot be read says why.
void QtWindowTest::videoPageShowsThePicture_data() {
  QTest::addColumn<QString>("chain");
  QTest::addColumn<bool>("autoCrop");
  QTest::addColumn<QSize>("picture");    // empty: no picture
  QTest::addColumn<QString>("said");     // in the crop line, or in the note where no picture is
  QTest::addColumn<QStringList>("chapters");
  const QStringList three = {"Chapter 1   0:00:00", "Chapter 2   0:00:16", "Chapter 3   0:00:32"};
  QTest::newRow("chain 1, AutoCrop") << "1" << true << QSize(640, 360) << "AutoCrop keeps 640x360 from 0,0" << three;
  QTest::newRow("AutoCrop off") << "1" << false << QSize(640, 360) << "AutoCrop is off" << three;
  QTest::newRow("no such chain") << "7" << true << QSize() << "chain 7 does not exist" << QStringList{};
}

void QtWindowTest::videoPageShowsThePicture() {
  QFETCH(QString, chain);
  QFETCH(bool, autoCrop);
  QFETCH(QSize, picture);
  QFETCH(QString, said);
  QFETCH(QStringList, chapters);
  const QString disc = Env("RAVLO_DISCS") + "/disc_r/VIDEO_TS/VTS_01_0.IFO";
  if (app_.globals.IfoPath != disc.toStdString()) OpenByDialog(disc);
  QTRY_COMPARE(app_.globals.IfoPath, disc.toStdString());
  ShowPage(kPageVideo);
  app_.settings.chkAC.SetValue(autoCrop);
  app_.settings.txtTitle.SetText(chain.toStdString());
  auto* frame = Widget<QWidget>("picFrame");
  auto* place = Widget<QLabel>("lblPlace");
  auto* crop = Widget<QLabel>("lblCrop");
  auto* list = Widget<QListWidget>("lstChapters");
  QVERIFY(frame && place && crop && list);
  // The frames are read in the background: the line of the place shows when they are in.
  if (picture.isEmpty()) {
    QTRY_VERIFY_WITH_TIMEOUT(frame->accessibleDescription().contains(said), 20000);
    QVERIFY2(place->text().isEmpty(), qPrintable(place->text()));
    QCOMPARE(list->count(), 0);
    return;
  }
  QTRY_VERIFY2_WITH_TIMEOUT(place->text().startsWith("3 of 5") && crop->text().contains(said),
                            qPrintable(place->text() + " | " + crop->text() + " | " + frame->accessibleDescription()),
                            20000);
  QCOMPARE(frame->property("pictureSize").toSize(), picture);
  QStringList listed;
  for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
  QCOMPARE(listed, chapters);
  // Stepping: to the last place and back to the first, the buttons ending where the places do.
  auto* later = Widget<QPushButton>("cmdLater");
  auto* earlier = Widget<QPushButton>("cmdEarlier");
  QTest::mouseClick(later, Qt::LeftButton);
  QTest::mouseClick(later, Qt::LeftButton);
  QVERIFY2(place->text().startsWith("5 of 5"), qPrintable(place->text()));
  QVERIFY(!later->isEnabled());
  for (int i = 0; i < 4; ++i) QTest::mouseClick(earlier, Qt::LeftButton);
  QVERIFY2(place->text().startsWith("1 of 5"), qPrintable(place->text()));
  QVERIFY(!earlier->isEnabled() && later->isEnabled());
  if (autoCrop) QVERIFY(window_->grab().save(Shot("window_Video_picture")));
}

QTEST_MAIN(QtWindowTest)
#include "qt_window_test.moc"
