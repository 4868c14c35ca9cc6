#include "frame/win32/menus.h"

#include <string>

#include "frame/control_ids.h"

namespace ravlo {
namespace {

enum class Row { Popup, Item, Separator };

struct MenuRow {
  Row row;
  Field ProjectSettings::*field;  // null for separators
  int id;
  WORD key;       // virtual key of the shortcut, 0 for none
  bool ctrl;      // shortcut needs Ctrl
  const char* keyText;
};

constexpr MenuRow kMenus[] = {
#define KEY(key, text) key, false, text
#define CTRL_KEY(key, text) key, true, text
#define NO_KEY 0, false, nullptr
#define RAVLO_POPUP(name, caption) {Row::Popup, &ProjectSettings::name, 0, NO_KEY},
#define RAVLO_MENU(name, kind, caption, shortcut, start) \
  {Row::Item, &ProjectSettings::name, ID_##name, shortcut},
#define RAVLO_SEPARATOR() {Row::Separator, nullptr, 0, NO_KEY},
#include "frame/field_list.h"
#undef KEY
#undef CTRL_KEY
#undef NO_KEY
};

void ShowItemState(HMENU menu, const Field& item, int id) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (item.Enabled() ? MF_ENABLED : MF_GRAYED));
  if (item.Kind() == FieldKind::MenuCheck) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (item.IsSet() ? MF_CHECKED : MF_UNCHECKED));
  }
}

void ShowPopupState(HMENU bar, HWND window, const Field& popup, int position) {
  EnableMenuItem(bar, position, MF_BYPOSITION | (popup.Enabled() ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(window);
}

}  // namespace

HMENU CreateMenuBar(ProjectSettings& settings, const std::shared_ptr<Binding>& binding,
                    HWND window) {
  HMENU bar = CreateMenu();
  HMENU popup = nullptr;
  int position = -1;
  for (const MenuRow& entry : kMenus) {
    if (entry.row == Row::Separator) {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    Field* field = &(settings.*entry.field);
    if (entry.row == Row::Popup) {
      popup = CreatePopupMenu();
      AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                  field->Caption().c_str());
      ++position;
      const int at = position;
      field->Watch([binding, bar, window, at](const Field& f) {
        if (binding->alive) ShowPopupState(bar, window, f, at);
      });
      if (!field->Enabled()) EnableMenuItem(bar, at, MF_BYPOSITION | MF_GRAYED);
      continue;
    }
    std::string caption = field->Caption();
    if (entry.keyText) caption = caption + "\t" + entry.keyText;
    AppendMenuA(popup, MF_STRING, entry.id, caption.c_str());
    const int id = entry.id;
    HMENU owner = popup;
    ShowItemState(owner, *field, id);
    field->Watch([binding, owner, id](const Field& f) {
      if (binding->alive) ShowItemState(owner, f, id);
    });
  }
  return bar;
}

HACCEL CreateShortcuts() {
  ACCEL keys[sizeof kMenus / sizeof kMenus[0]];
  int count = 0;
  for (const MenuRow& entry : kMenus) {
    if (entry.key == 0) continue;
    keys[count].fVirt = static_cast<BYTE>(FVIRTKEY | (entry.ctrl ? FCONTROL : 0));
    keys[count].key = entry.key;
    keys[count].cmd = static_cast<WORD>(entry.id);
    ++count;
  }
  return CreateAcceleratorTableA(keys, count);
}

bool RunMenuCommand(ProjectSettings& settings, int id) {
  for (const MenuRow& entry : kMenus) {
    if (entry.row != Row::Item || entry.id != id) continue;
    Field& field = settings.*entry.field;
    if (field.Enabled()) field.Click();
    return true;
  }
  return false;
}

}  // namespace ravlo
