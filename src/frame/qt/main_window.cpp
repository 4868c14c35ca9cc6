#include "frame/qt/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "frame/access_key.h"
#include "frame/constants.h"
#include "frame/control_ids.h"
#include "frame/qt/field_binding.h"
#include "frame/qt/jobs_on_close.h"
#include "frame/qt/page_stretch.h"
#include "frame/qt/picture_pane.h"
#include "frame/qt/qt_platform.h"
#include "frame/win32/resource_ids.h"

namespace ravlo {
namespace {

struct MenuEntry {
  enum class Row { Popup, Item, Separator } row;
  Field ProjectSettings::*field;
  const char* keyText;  // the shortcut as Windows writes it, which Qt reads too
};

constexpr MenuEntry kMenus[] = {
#define KEY(key, text) text
#define CTRL_KEY(key, text) text
#define NO_KEY nullptr
#define RAVLO_POPUP(name, caption) {MenuEntry::Row::Popup, &ProjectSettings::name, nullptr},
#define RAVLO_MENU(name, kind, caption, shortcut, start) \
  {MenuEntry::Row::Item, &ProjectSettings::name, shortcut},
#define RAVLO_SEPARATOR() {MenuEntry::Row::Separator, nullptr, nullptr},
#include "frame/field_list.h"
#undef KEY
#undef CTRL_KEY
#undef NO_KEY
};

QString Q(const std::string& text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }

QRect Pixels(const DialogUnits& units, const Box& box) {
  return {units.X(box.x), units.Y(box.y), units.X(box.cx), units.Y(box.cy)};
}

bool Contains(const Box& outer, const Box& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
         inner.y + inner.cy <= outer.y + outer.cy;
}

// Builds the controls of one page (or the row) from the table. A control lies in the
// innermost frame around it, so that the frame's access key reaches its first control.
class PageBuilder {
 public:
  PageBuilder(QWidget* page, int pageNo, const DialogUnits& units, ProjectSettings& settings)
      : page_(page), pageNo_(pageNo), units_(units), settings_(settings) {}

  void Build() {
    for (const ControlRow& row : ControlTable()) {
      if (row.page != pageNo_) continue;
      if (!row.field) {
        AddFree(row);
        continue;
      }
      Field& field = settings_.*row.field;
      const bool hasLabel = row.label.cx > 0;
      const QString caption = Q(CaptionWithKey(field.Caption(), row.accessKey));
      // A label left of its control comes first, in the Tab order as on Windows.
      QLabel* label = nullptr;
      if (hasLabel && row.label.x < row.box.x) label = AddLabel(field, row.label, caption);
      QWidget* control = MakeControl(row, field, hasLabel ? QString() : caption);
      Place(control, row.box, row.type);
      if (hasLabel && !label) label = AddLabel(field, row.label, caption);
      if (label) {
        label->setBuddy(control);
        // A label beside a taller control sits on the control's middle line, as it reads.
        const QRect text = label->geometry(), box = control->geometry();
        if (label->parentWidget() == control->parentWidget() && text.top() < box.bottom() &&
            box.top() < text.bottom()) {
          label->move(text.left(), box.center().y() - text.height() / 2);
        }
      }
      BindWidget(field, control, label, row.type);
      control->setToolTip(Q(row.tip));
      if (label) label->setToolTip(Q(row.tip));
    }
  }

 private:
  QWidget* ParentOf(const Box& box, Box& origin) const {
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it) {
      if (Contains(it->first, box)) {
        origin = it->first;
        return it->second;
      }
    }
    origin = Box{};
    return page_;
  }

  // Frames and labels of no field.
  void AddFree(const ControlRow& row) {
    Box origin;
    QWidget* parent = ParentOf(row.box, origin);
    const QString text = Q(CaptionWithKey(row.text, row.accessKey));
    QWidget* widget = row.type == ControlType::Frame ? static_cast<QWidget*>(new QGroupBox(text, parent))
                                                      : new QLabel(text, parent);
    widget->setGeometry(Pixels(units_, Offset(row.box, origin)));
    if (row.type == ControlType::Frame) {
      frames_.emplace_back(row.box, widget);
      widget->setObjectName(FrameName(row));
    }
  }

  static QString FrameName(const ControlRow& row) {
    static const std::map<int, const char*> names = {
#define RAVLO_FRAME(name, page, box, text, key) {ID_##name, #name},
#include "frame/field_list.h"
    };
    const auto found = names.find(row.id);
    return found == names.end() ? QString() : found->second;
  }

  static Box Offset(const Box& box, const Box& origin) {
    return Box{short(box.x - origin.x), short(box.y - origin.y), box.cx, box.cy};
  }

  QLabel* AddLabel(const Field& field, const Box& box, const QString& caption) {
    Box origin;
    QWidget* parent = ParentOf(box, origin);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(Q(field.Name()) + "_label");
    Place(label, box, ControlType::Label);
    return label;
  }

  QWidget* MakeControl(const ControlRow& row, Field& field, const QString& caption) {
    Box origin;
    QWidget* parent = ParentOf(row.box, origin);
    QWidget* control = nullptr;
    switch (row.type) {
      case ControlType::Edit: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(field.ReadOnly());
        control = edit;
        break;
      }
      case ControlType::Combo: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The list only suggests: a typed "20" stays 20, never completed to an item (2048).
        combo->setCompleter(nullptr);
        control = combo;
        break;
      }
      case ControlType::Option: {
        auto* option = new QRadioButton(caption, parent);
        if (field.Group()) {
          QButtonGroup*& group = groups_[field.Group()];
          if (!group) group = new QButtonGroup(page_);
          group->addButton(option);
        }
        control = option;
        break;
      }
      case ControlType::Check: control = new QCheckBox(caption, parent); break;
      case ControlType::Button: control = new QPushButton(caption, parent); break;
      case ControlType::List:
      case ControlType::CheckedList: {
        auto* list = new QListWidget(parent);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        list->setUniformItemSizes(true);
        control = list;
        break;
      }
      case ControlType::Picture: {
        auto* picture = new QLabel(parent);
        const int side = std::min(units_.X(row.box.cx), units_.Y(row.box.cy));
        const QIcon icon = picture->style()->standardIcon(QStyle::SP_MessageBoxInformation);
        picture->setPixmap(icon.pixmap(QSize(side, side), row.icon == IDI_INFO_OFF
                                                              ? QIcon::Disabled : QIcon::Normal));
        picture->setAlignment(Qt::AlignCenter);
        control = picture;
        break;
      }
      default: control = new QWidget(parent); break;
    }
    control->setObjectName(Q(field.Name()));
    return control;
  }

  // One-line controls get at least the height their style needs, centred on their place, and
  // captions the width their text needs, so that nothing is cut at any font or scale. Lists
  // and pictures take their place exactly; a combo's place includes its drop-down list.
  void Place(QWidget* widget, const Box& box, ControlType type) {
    Box origin;
    ParentOf(box, origin);
    QRect rect = Pixels(units_, Offset(box, origin));
    const QSize need = widget->sizeHint();
    switch (type) {
      case ControlType::List:
      case ControlType::CheckedList:
      case ControlType::Picture:
        break;
      case ControlType::Combo:
        rect.setHeight(need.height());
        break;
      case ControlType::Label:
      case ControlType::Option:
      case ControlType::Check:
        rect.setWidth(std::max(rect.width(), need.width()));
        [[fallthrough]];
      default:
        if (need.height() > rect.height()) {
          rect.translate(0, -(need.height() - rect.height()) / 2);
          rect.setHeight(need.height());
        }
    }
    widget->setGeometry(rect);
  }

  QWidget* page_;
  int pageNo_;
  DialogUnits units_;
  ProjectSettings& settings_;
  std::vector<std::pair<Box, QWidget*>> frames_;
  std::map<const std::vector<Field*>*, QButtonGroup*> groups_;
};

// The keys of this window where the Windows program's would hurt a Linux user: Ctrl+S saves,
// as in every program of the desktop, and shutting the computer down has no key at all.
QList<QKeySequence> Shortcuts(const ProjectSettings& settings, const Field& field, const char* keyText) {
  QList<QKeySequence> keys;
  if (&field == &settings.chkShutDown) return keys;
  if (keyText) keys << QKeySequence(keyText);
  if (&field == &settings.mnuSave) keys << QKeySequence(QKeySequence::Save);
  return keys;
}

void BuildMenus(QMainWindow& window, ProjectSettings& settings) {
  QMenu* popup = nullptr;
  for (const MenuEntry& entry : kMenus) {
    if (entry.row == MenuEntry::Row::Separator) {
      popup->addSeparator();
      continue;
    }
    Field& field = settings.*entry.field;
    if (entry.row == MenuEntry::Row::Popup) {
      popup = window.menuBar()->addMenu(Q(field.Caption()));
      popup->setObjectName(Q(field.Name()));
      BindPopup(field, popup);
      continue;
    }
    QAction* action = popup->addAction(Q(field.Caption()));
    action->setObjectName(Q(field.Name()));
    action->setCheckable(field.Kind() == FieldKind::MenuCheck);
    action->setShortcuts(Shortcuts(settings, field, entry.keyText));
    // The shortcuts work wherever the focus is in the window, as accelerators do.
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    BindAction(field, action);
  }
}

}  // namespace

DialogUnits MeasureDialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(width / 26 + 1) / 2, metrics.height()};
}

QMainWindow* CreateMainWindow(AppState& app) {
  auto* window = new QMainWindow;
  window->setObjectName("frmMain");
  window->setWindowTitle(kWindowCaption);
  const DialogUnits units = MeasureDialogUnits(window->font());
  BuildMenus(*window, app.settings);

  auto* central = new QWidget(window);
  auto* tabs = new QTabWidget(central);
  tabs->setObjectName("tabMain");
  for (int page = 0; page < kPageCount; ++page) {
    auto* content = new QWidget;
    content->setObjectName(PageTitle(page));
    content->setMinimumSize(units.X(kPageWidth), units.Y(kPageHeight));
    PageBuilder(content, page, units, app.settings).Build();
    // The Linux road's own frames may lie below the page of the Windows program.
    for (QWidget* child : content->findChildren<QWidget*>()) {
      const int bottom = child->mapTo(content, QPoint(0, child->height())).y() + units.Y(kMargin);
      if (bottom > content->minimumHeight()) content->setMinimumHeight(bottom);
    }
    StretchListsWithPage(content);
    QWidget* tab = content;
    // On Linux the Video page also shows the chain's picture and chapters, beside its frames.
    if (page == kPageVideo && app.road == ProjectRoad::Shell) {
      tab = new QWidget;
      auto* beside = new QHBoxLayout(tab);
      beside->setContentsMargins(0, 0, units.X(kMargin), units.Y(kMargin));
      beside->addWidget(content);
      QWidget* pane = CreatePicturePane(app, tab);
      pane->setMinimumWidth(units.X(200));
      beside->addWidget(pane, 1);
    }
    tabs->addTab(tab, PageTitle(page));
  }
  auto* row = new QWidget(central);
  row->setObjectName("Row");
  row->setFixedHeight(units.Y(kRowHeight));
  PageBuilder(row, kPageRow, units, app.settings).Build();
  // The row's controls may be taller than the row in dialog units at some fonts.
  for (QWidget* child : row->findChildren<QWidget*>()) {
    row->setFixedHeight(std::max(row->height(), child->geometry().bottom() + 1));
  }

  // The row's places count from the window's corner, the pages' from the tab body's.
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* around = new QVBoxLayout;
  around->setContentsMargins(units.X(kMargin), units.Y(kMargin), units.X(kMargin), 0);
  around->addWidget(tabs);
  layout->addLayout(around);
  layout->addWidget(row);
  window->setCentralWidget(central);
  // Alt+F4 closes the window as on Windows; a desktop's window manager usually takes the key
  // first, but a bare X server or a kiosk session leaves it to the program.
  auto* close = new QAction(window);
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  QObject::connect(close, &QAction::triggered, window, &QWidget::close);
  window->addAction(close);
  tabs->setFocus();
  // Any size from the one the table was laid out for up; the pages' lists take the height.
  window->setMinimumSize(window->sizeHint());
  window->resize(window->sizeHint());
  return window;
}

int RunMainWindow(AppState& app, QtPlatform& platform, const std::function<void()>& formLoad) {
  QMainWindow* window = CreateMainWindow(app);
  platform.SetMainWindow(window);
  EndJobsOnClose(window);
  // Start-up runs before the window is shown, so the user never sees the empty record.
  if (formLoad) formLoad();
  window->show();
  const int code = QApplication::exec();
  platform.SetMainWindow(nullptr);
  delete window;
  return code;
}

}  // namespace ravlo
