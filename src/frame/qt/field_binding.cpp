#include "frame/qt/field_binding.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QSignalBlocker>

namespace ravlo {
namespace {

QString Q(const std::string& text) { return QString::fromLocal8Bit(text.data(), qsizetype(text.size())); }
std::string S(const QString& text) { return text.toLocal8Bit().toStdString(); }

bool SameItems(const QStringList& shown, const Field& field) {
  if (shown.size() != field.ItemCount()) return false;
  for (int i = 0; i < field.ItemCount(); ++i) {
    if (shown[i] != Q(field.Item(i))) return false;
  }
  return true;
}

QStringList ListItems(const QListWidget& list) {
  QStringList items;
  for (int i = 0; i < list.count(); ++i) items << list.item(i)->text();
  return items;
}

void ShowList(QListWidget& list, const Field& field, bool checks) {
  // Items are rebuilt only when they differ, so that a repaint keeps scroll and selection.
  if (!SameItems(ListItems(list), field)) {
    list.clear();
    for (const std::string& text : field.Items()) list.addItem(Q(text));
  }
  if (!checks) return;
  for (int i = 0; i < list.count(); ++i) {
    QListWidgetItem* item = list.item(i);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    const Qt::CheckState state = field.IsChecked(i) ? Qt::Checked : Qt::Unchecked;
    if (item->checkState() != state || !item->data(Qt::CheckStateRole).isValid()) {
      item->setCheckState(state);
    }
  }
}

void ShowCombo(QComboBox& combo, const Field& field) {
  QStringList shown;
  for (int i = 0; i < combo.count(); ++i) shown << combo.itemText(i);
  if (!SameItems(shown, field)) {
    combo.clear();
    for (const std::string& text : field.Items()) combo.addItem(Q(text));
  }
  if (field.Selected() >= 0 && combo.currentIndex() != field.Selected()) {
    combo.setCurrentIndex(field.Selected());
  }
  if (combo.currentText() != Q(field.Text())) combo.setEditText(Q(field.Text()));
}

void ShowCheck(QAbstractButton& button, bool checked) {
  if (button.isChecked() == checked) return;
  // An exclusive group refuses to have none checked; the record may clear them all.
  QButtonGroup* group = button.group();
  const bool exclusive = group && group->exclusive();
  if (exclusive && !checked) group->setExclusive(false);
  button.setChecked(checked);
  if (exclusive && !checked) group->setExclusive(true);
}

void Show(const Field& field, QWidget* control, QWidget* label, ControlType type) {
  const QSignalBlocker blocker(control);
  switch (type) {
    case ControlType::Edit: {
      auto* edit = static_cast<QLineEdit*>(control);
      if (edit->text() != Q(field.Text())) edit->setText(Q(field.Text()));
      break;
    }
    case ControlType::Combo:
      ShowCombo(*static_cast<QComboBox*>(control), field);
      break;
    case ControlType::Option:
    case ControlType::Check:
      ShowCheck(*static_cast<QAbstractButton*>(control), field.IsSet());
      break;
    case ControlType::List:
    case ControlType::CheckedList:
      ShowList(*static_cast<QListWidget*>(control), field, type == ControlType::CheckedList);
      break;
    default:
      break;
  }
  for (QWidget* widget : {control, label}) {
    if (!widget) continue;
    widget->setEnabled(field.Enabled());
    // Hidden until the window itself is shown; only the field's own flag counts.
    widget->setVisible(field.Visible());
  }
}

void ForwardEdits(Field& field, QWidget* control, ControlType type,
                  const std::function<void()>& repaint) {
  switch (type) {
    case ControlType::Edit:
      QObject::connect(static_cast<QLineEdit*>(control), &QLineEdit::textEdited, control,
                       [&field, repaint](const QString& text) {
                         field.SetText(S(text));
                         repaint();  // a handler may have refused the change
                       });
      break;
    case ControlType::Combo: {
      auto* combo = static_cast<QComboBox*>(control);
      QObject::connect(combo, &QComboBox::activated, control, [&field, repaint](int index) {
        // Like the Win32 combo, picking the item already chosen changes nothing.
        if (index >= 0 && index != field.Selected()) field.Select(index);
        repaint();
      });
      QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, control,
                       [&field, repaint](const QString& text) {
                         field.SetText(S(text));
                         repaint();
                       });
      break;
    }
    case ControlType::Option:
      QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, control,
                       [&field, repaint](bool checked) {
                         if (checked) field.SetValue(true);
                         repaint();
                       });
      break;
    case ControlType::Check:
      QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, control,
                       [&field, repaint](bool checked) {
                         field.SetValue(checked);
                         repaint();
                       });
      break;
    case ControlType::Button:
      QObject::connect(static_cast<QAbstractButton*>(control), &QAbstractButton::clicked, control,
                       [&field] {
                         if (field.Enabled()) field.Click();
                       });
      break;
    case ControlType::CheckedList:
      QObject::connect(static_cast<QListWidget*>(control), &QListWidget::itemChanged, control,
                       [&field, control, repaint](QListWidgetItem* item) {
                         const int index = static_cast<QListWidget*>(control)->row(item);
                         if (index < 0 || index >= field.ItemCount()) return;
                         field.SetChecked(index, item->checkState() == Qt::Checked);
                         repaint();
                       });
      break;
    default:
      break;
  }
}

}  // namespace

void BindWidget(Field& field, QWidget* control, QWidget* label, ControlType type) {
  // The field outlives the window: its watcher checks that the widgets are still there.
  QPointer<QWidget> shown = control, caption = label;
  auto repaint = [&field, shown, caption, type] {
    if (shown) Show(field, shown, caption, type);
  };
  field.Watch([repaint](const Field&) { repaint(); });
  ForwardEdits(field, control, type, repaint);
  repaint();
}

void BindAction(Field& field, QAction* action) {
  QPointer<QAction> shown = action;
  auto repaint = [&field, shown] {
    if (!shown) return;
    shown->setEnabled(field.Enabled());
    if (field.Kind() == FieldKind::MenuCheck) shown->setChecked(field.IsSet());
  };
  field.Watch([repaint](const Field&) { repaint(); });
  // The handler decides: a check-mark command toggles its field, which repaints the mark.
  QObject::connect(action, &QAction::triggered, action, [&field, repaint] {
    if (field.Enabled()) field.Click();
    repaint();
  });
  repaint();
}

void BindPopup(Field& field, QMenu* popup) {
  QPointer<QMenu> shown = popup;
  auto repaint = [&field, shown] {
    if (shown) shown->menuAction()->setEnabled(field.Enabled());
  };
  field.Watch([repaint](const Field&) { repaint(); });
  repaint();
}

}  // namespace ravlo
