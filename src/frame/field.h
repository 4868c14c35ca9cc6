#pragma once
// One field of the settings record: the value of one control of the main window.
//
// A write through these setters behaves like the same change made by the user: it raises the
// control's event. A write that leaves the value as it was raises nothing, which is what keeps
// handlers that update each other (txtTitle <-> cmbPGC) from calling each other without end.
// Adding or clearing items and changing the enabled/visible flags raise no event; they only
// notify watchers (the window repaints from those).

#include <functional>
#include <string>
#include <vector>

namespace ravlo {

enum class FieldKind {
  Text,         // single-line text; readOnly ones are written by the program only
  Option,       // option button in a group; at most one of the group is true
  Check,        // check box, 0 or 1
  Combo,        // editable text plus items and a selected index
  List,         // plain list of strings
  CheckedList,  // list of (text, checked) pairs
  Menu,         // menu item: enabled; clicked by the user
  MenuCheck,    // menu item with a check mark (value 0/1)
  Button,       // push button: clicked by the user
  Picture,      // picture: visible flag only
};

const char* KindName(FieldKind kind);

struct CheckedItem {
  std::string text;
  bool checked = false;
};

class Field {
 public:
  using Handler = std::function<void()>;
  using IndexHandler = std::function<void(int)>;
  using Watcher = std::function<void(const Field&)>;

  Field(std::string name, FieldKind kind, std::string caption = {});
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  const std::string& Name() const { return name_; }
  FieldKind Kind() const { return kind_; }
  // Caption or label as the window shows it ("&" marks access keys in menus).
  const std::string& Caption() const { return caption_; }

  // --- text (Text, Combo) -------------------------------------------------------------
  const std::string& Text() const { return text_; }
  // Raises Change when the text differs. For a combo a typed text that is not the selected
  // item leaves no item selected, as a real combo box does.
  void SetText(const std::string& text);

  // --- value (Option, Check, MenuCheck) -------------------------------------------------
  bool IsSet() const { return value_; }
  int Value() const { return value_ ? 1 : 0; }
  // Check: raises Click when the value changes.
  // Option: true clears the rest of its group and raises Click; false raises nothing.
  // MenuCheck: changes the check mark; raises nothing (the menu command is the click).
  void SetValue(bool value);

  // --- items (Combo, List, CheckedList) ---------------------------------------------------
  int ItemCount() const;
  const std::string& Item(int index) const;
  const std::vector<std::string>& Items() const { return items_; }
  void AddItem(const std::string& text);   // silent; checked-list items are added unchecked
  void RemoveItem(int index);              // silent
  void ClearItems();                       // silent; a combo also loses its text

  // Combo: makes item `index` the selection (the text becomes that item) and raises Click.
  // Index -1 leaves no item selected and clears the text without an event.
  int Selected() const { return selected_; }
  void Select(int index);

  // CheckedList: raises ItemCheck(index) when the mark changes.
  bool IsChecked(int index) const;
  void SetChecked(int index, bool checked);

  // --- flags ----------------------------------------------------------------------------
  bool Enabled() const { return enabled_; }
  bool Visible() const { return visible_; }
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);
  bool ReadOnly() const { return readOnly_; }

  // --- user actions ---------------------------------------------------------------------
  // A click on a button, menu item or menu check: raises Click. (Check boxes and options
  // are clicked through SetValue, as the window does after the user's click.)
  void Click();

  // --- events -----------------------------------------------------------------------------
  void OnChange(Handler handler) { onChange_.push_back(std::move(handler)); }
  void OnClick(Handler handler) { onClick_.push_back(std::move(handler)); }
  void OnItemCheck(IndexHandler handler) { onItemCheck_.push_back(std::move(handler)); }
  // Called after any change of value, items or flags, events or not.
  void Watch(Watcher watcher) { watchers_.push_back(std::move(watcher)); }

  // --- set-up by ProjectSettings ------------------------------------------------------------
  void MakeReadOnly() { readOnly_ = true; }
  void JoinGroup(std::vector<Field*>* group) { group_ = group; }
  const std::vector<Field*>* Group() const { return group_; }
  void InitText(std::string text) { text_ = std::move(text); }
  void InitValue(bool value) { value_ = value; }
  void InitEnabled(bool enabled) { enabled_ = enabled; }
  void InitVisible(bool visible) { visible_ = visible; }

 private:
  void RaiseChange();
  void RaiseClick();
  void Notify();

  std::string name_;
  FieldKind kind_;
  std::string caption_;
  std::string text_;
  bool value_ = false;
  std::vector<std::string> items_;
  std::vector<bool> checks_;
  int selected_ = -1;
  bool enabled_ = true;
  bool visible_ = true;
  bool readOnly_ = false;
  std::vector<Field*>* group_ = nullptr;

  std::vector<Handler> onChange_;
  std::vector<Handler> onClick_;
  std::vector<IndexHandler> onItemCheck_;
  std::vector<Watcher> watchers_;
};

}  // namespace ravlo
