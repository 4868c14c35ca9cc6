#pragma once
// The menu bar and the keyboard shortcuts of the main window, built from the menu fields.
// Enabled and checked states follow the fields; a menu command clicks its field.

#include <windows.h>

#include <memory>

#include "frame/project_settings.h"
#include "frame/win32/binding.h"

namespace ravlo {

// Builds the menu bar with the fields' captions and current states, and keeps the states in
// step with the fields for as long as `binding` is alive.
HMENU CreateMenuBar(ProjectSettings& settings, const std::shared_ptr<Binding>& binding,
                    HWND window);

// F5, F6, F7, F8, Ctrl+D, Ctrl+L, Ctrl+S and F1, each sending its menu command.
HACCEL CreateShortcuts();

// A menu command or shortcut: clicks the menu field with that id unless the field is disabled
// (a disabled command ignores its shortcut too). False for ids that are no menu command.
bool RunMenuCommand(ProjectSettings& settings, int id);

}  // namespace ravlo
