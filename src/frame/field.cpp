#include "frame/field.h"

namespace ravlo {

const char* KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return "text";
    case FieldKind::Option: return "option";
    case FieldKind::Check: return "check";
    case FieldKind::Combo: return "combo";
    case FieldKind::List: return "list";
    case FieldKind::CheckedList: return "checked list";
    case FieldKind::Menu: return "menu item";
    case FieldKind::MenuCheck: return "menu check";
    case FieldKind::Button: return "button";
    case FieldKind::Picture: return "picture";
  }
  return "?";
}

Field::Field(std::string name, FieldKind kind, std::string caption)
    : name_(std::move(name)), kind_(kind), caption_(std::move(caption)) {}

void Field::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  if (kind_ == FieldKind::Combo && selected_ >= 0 && items_[selected_] != text_) selected_ = -1;
  Notify();
  RaiseChange();
}

void Field::SetValue(bool value) {
  if (value == value_) return;
  if (kind_ == FieldKind::Option && value && group_) {
    for (Field* other : *group_) {
      if (other != this && other->value_) {
        other->value_ = false;  // clearing a member raises nothing
        other->Notify();
      }
    }
  }
  value_ = value;
  Notify();
  if (kind_ == FieldKind::Check || (kind_ == FieldKind::Option && value)) RaiseClick();
}

int Field::ItemCount() const { return static_cast<int>(items_.size()); }

const std::string& Field::Item(int index) const {
  static const std::string none;
  if (index < 0 || index >= ItemCount()) return none;
  return items_[index];
}

void Field::AddItem(const std::string& text) {
  items_.push_back(text);
  checks_.push_back(false);
  Notify();
}

void Field::RemoveItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  items_.erase(items_.begin() + index);
  checks_.erase(checks_.begin() + index);
  if (selected_ == index) selected_ = -1;
  else if (selected_ > index) --selected_;
  Notify();
}

void Field::ClearItems() {
  items_.clear();
  checks_.clear();
  selected_ = -1;
  if (kind_ == FieldKind::Combo) text_.clear();
  Notify();
}

void Field::Select(int index) {
  if (index < -1 || index >= ItemCount() || index == selected_) return;
  selected_ = index;
  if (index == -1) {
    text_.clear();
    Notify();
    return;
  }
  text_ = items_[index];
  Notify();
  RaiseClick();
}

bool Field::IsChecked(int index) const {
  return index >= 0 && index < ItemCount() && checks_[index];
}

void Field::SetChecked(int index, bool checked) {
  if (index < 0 || index >= ItemCount() || checks_[index] == checked) return;
  checks_[index] = checked;
  Notify();
  auto handlers = onItemCheck_;
  for (auto& handler : handlers) handler(index);
}

void Field::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Notify();
}

void Field::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Notify();
}

void Field::Click() { RaiseClick(); }

void Field::RaiseChange() {
  auto handlers = onChange_;
  for (auto& handler : handlers) handler();
}

void Field::RaiseClick() {
  auto handlers = onClick_;
  for (auto& handler : handlers) handler();
}

void Field::Notify() {
  for (auto& watcher : watchers_) watcher(*this);
}

}  // namespace ravlo
