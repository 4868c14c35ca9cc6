#include "frame/project_settings.h"

namespace ravlo {

ProjectSettings::ProjectSettings() {
#define START(...) FieldStart{__VA_ARGS__}
#define RAVLO_FIELD(name, kind, caption, page, key, control, label, start, tip) Start(name, start);
#define RAVLO_PICTURE(name, page, control, icon, start, tip) Start(name, start);
#define RAVLO_POPUP(name, caption) Start(name, FieldStart{});
#define RAVLO_MENU(name, kind, caption, shortcut, start) Start(name, start);
#include "frame/field_list.h"
#undef START
}

void ProjectSettings::Start(Field& field, const FieldStart& start) {
  all_.push_back(&field);
  if (start.group) {
    std::vector<Field*>& group = groups_[start.group];
    group.push_back(&field);
    field.JoinGroup(&group);
  }
  if (start.readOnly) field.MakeReadOnly();
  for (std::string_view items = start.items ? start.items : ""; !items.empty();) {
    const size_t end = items.find('|');
    field.AddItem(std::string(items.substr(0, end)));
    items = end == std::string_view::npos ? std::string_view() : items.substr(end + 1);
  }
  if (start.text) field.InitText(start.text);
  field.InitValue(start.value);
  field.InitEnabled(start.enabled);
  field.InitVisible(start.visible);
}

Field* ProjectSettings::Find(std::string_view name) const {
  for (Field* field : all_) {
    if (field->Name() == name) return field;
  }
  return nullptr;
}

}  // namespace ravlo
