#include "frame/win32/menus.h"

#include <string>

#include "frame/win32/control_ids.h"

namespace ravlo {
namespace {

enum class Row { Popup, Item, Separator };

struct MenuRow {
  Row row;
  const char* field;
  int id;
  WORD key;       // virtual key of the shortcut, 0 for none
  bool ctrl;      // shortcut needs Ctrl
  const char* keyText;
};

// Menu order; the separators are where the user expects groups of commands.
constexpr MenuRow kMenus[] = {
    {Row::Popup, "mnuFile", 0, 0, false, nullptr},
    {Row::Item, "mnuNew", ID_mnuNew, 0, false, nullptr},
    {Row::Item, "mnuOpen", ID_mnuOpen, VK_F5, false, "F5"},
    {Row::Separator, nullptr, 0, 0, false, nullptr},
    {Row::Item, "mnuSave", ID_mnuSave, VK_F6, false, "F6"},
    {Row::Item, "mnuSaveAs", ID_mnuSaveAs, VK_F7, false, "F7"},
    {Row::Separator, nullptr, 0, 0, false, nullptr},
    {Row::Item, "mnuSaveRun", ID_mnuSaveRun, VK_F8, false, "F8"},
    {Row::Separator, nullptr, 0, 0, false, nullptr},
    {Row::Item, "mnuExit", ID_mnuExit, 0, false, nullptr},
    {Row::Popup, "mnuOptions", 0, 0, false, nullptr},
    {Row::Item, "chkDelTemp", ID_chkDelTemp, 'D', true, "Ctrl+D"},
    {Row::Item, "chkDelLogs", ID_chkDelLogs, 'L', true, "Ctrl+L"},
    {Row::Item, "chkShutDown", ID_chkShutDown, 'S', true, "Ctrl+S"},
    {Row::Separator, nullptr, 0, 0, false, nullptr},
    {Row::Item, "mnuSetAuthor", ID_mnuSetAuthor, 0, false, nullptr},
    {Row::Popup, "mnuHA", 0, 0, false, nullptr},
    {Row::Item, "mnuHelp", ID_mnuHelp, VK_F1, false, "F1"},
    {Row::Item, "mnuAbout", ID_mnuAbout, 0, false, nullptr},
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
    Field* field = settings.Find(entry.field);
    if (!field) continue;
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
    Field* field = settings.Find(entry.field);
    if (field && field->Enabled()) field->Click();
    return true;
  }
  return false;
}

}  // namespace ravlo
