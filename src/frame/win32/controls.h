#pragma once
// Creating the main window's controls from the control table: the dialog font, dialog units,
// the tab pages and every control bound to its field.

#include <windows.h>

#include <memory>

#include "frame/project_settings.h"
#include "frame/win32/binding.h"

namespace ravlo {

// The system's message font (what dialogs use), or the stock GUI font when that fails.
HFONT CreateDialogFont();

// Pixels per dialog unit for `font`: x per 4 units, y per 8 units, as dialogs compute them.
struct DialogUnits {
  int baseX;
  int baseY;
};
DialogUnits MeasureDialogUnits(HWND window, HFONT font);
int ToPixelsX(const DialogUnits& units, int x);
int ToPixelsY(const DialogUnits& units, int y);

// A tab page: a child dialog that takes part in keyboard navigation and passes the
// notifications of its controls on to the main window.
HWND CreatePage(HWND mainWindow, const RECT& rect);

// Creates every control of `page` (TabPage or kPageRow) inside `parent`, offset by `origin`
// pixels, with the font, and binds each to its field.
void CreateControls(HWND parent, int page, POINT origin, const DialogUnits& units, HFONT font,
                    ProjectSettings& settings, const std::shared_ptr<Binding>& binding);

}  // namespace ravlo
