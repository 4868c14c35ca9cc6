#pragma once
// ProjectSettings: every value of the main window, one field per control, named like it.
// The logic reads and writes these fields; the window only shows them and forwards edits.
// The fields, their captions and start values come from frame/field_list.h.

#include <map>
#include <string_view>
#include <vector>

#include "frame/constants.h"
#include "frame/field.h"

namespace ravlo {

// How a field looks after start-up, as field_list.h declares it.
struct FieldStart {
  const char* group = nullptr;  // option group: at most one of its options is set
  bool readOnly = false;        // written by the program only
  const char* text = nullptr;
  const char* items = nullptr;  // items separated by '|'
  bool value = false;
  bool enabled = true;
  bool visible = true;
};

class ProjectSettings {
 public:
  ProjectSettings();
  ProjectSettings(const ProjectSettings&) = delete;
  ProjectSettings& operator=(const ProjectSettings&) = delete;

  // Every field in table order (tabs left to right, the row under the tabs, then the menus).
  const std::vector<Field*>& All() const { return all_; }
  // nullptr when no field has that name.
  Field* Find(std::string_view name) const;

#define RAVLO_FIELD(name, kind, caption, ...) Field name{#name, FieldKind::kind, caption};
#define RAVLO_PICTURE(name, ...) Field name{#name, FieldKind::Picture};
#define RAVLO_POPUP(name, caption) Field name{#name, FieldKind::Menu, caption};
#define RAVLO_MENU(name, kind, caption, ...) Field name{#name, FieldKind::kind, caption};
// The Linux road's fields exist in every build, so the plan reads them alike; the Windows
// program neither starts nor lists them, and they stay empty there.
#define RAVLO_FIELD_MEMBERS
#include "frame/field_list.h"
#undef RAVLO_FIELD_MEMBERS

 private:
  void Start(Field& field, const FieldStart& start);

  std::vector<Field*> all_;
  std::map<std::string_view, std::vector<Field*>> groups_;  // nodes stay put: fields point in
};

}  // namespace ravlo
