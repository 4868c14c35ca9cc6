#pragma once
// The Linux main window, built from the control table (frame/field_list.h): the same tabs,
// frames, captions, access keys, menus and shortcuts as the Win32 window, placed in dialog
// units of the desktop's font, bound to the record. Every widget is named like its field.

#include <functional>

#include "frame/app_state.h"

class QFont;
class QMainWindow;

namespace ravlo {

class QtPlatform;

// Pixels per dialog unit of a font, as Windows measures them: 4 units across the average
// letter, 8 units down a line.
struct DialogUnits {
  int baseX = 0, baseY = 0;
  int X(int units) const { return (units * baseX + 2) / 4; }
  int Y(int units) const { return (units * baseY + 4) / 8; }
};
DialogUnits MeasureDialogUnits(const QFont& font);

// The window, not yet shown; the caller owns it.
QMainWindow* CreateMainWindow(AppState& app);

// Creates the window, runs start-up (formLoad) before showing it, and runs until it closes.
// A QApplication must exist.
int RunMainWindow(AppState& app, QtPlatform& platform, const std::function<void()>& formLoad);

}  // namespace ravlo
