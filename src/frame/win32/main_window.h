#pragma once
// frmMain, the planner's one window: a menu bar, the tab control tabMain with five pages, and
// the row with the two bitrates and the web button under it. Every control shows one field of
// the settings record; the window keeps no value of its own.

#include <windows.h>

#include <functional>

#include "frame/app_state.h"

namespace ravlo {

class Win32Platform;

// Creates frmMain hidden, runs formLoad (start-up), shows the window, runs the message loop
// until the window is closed; returns the exit code. Tells the platform the window handle.
int RunMainWindow(AppState& app, Win32Platform& platform, const std::function<void()>& formLoad,
                  int showCommand);

// The steps of RunMainWindow, for tests that drive the window in their own process.
// CreateMainWindow returns the hidden window, or null when it could not be created.
HWND CreateMainWindow(AppState& app);
// Shortcuts, tab switching (Ctrl+Tab, Ctrl+PgUp/PgDn) and keyboard navigation for one queued
// message of the thread; true when it was used and must not be dispatched.
bool TranslateMainWindowMessage(HWND frmMain, MSG& message);
// Dispatches messages until the window is destroyed; returns the WM_QUIT exit code.
int RunMessageLoop(HWND frmMain);

// The tab page in front.
int CurrentPage(HWND frmMain);

}  // namespace ravlo
