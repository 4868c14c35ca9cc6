#pragma once
// Real user input for the GUI test: keystrokes and mouse clicks through SendInput, message
// pumping through the window's own translation, and screenshots of what the screen shows.

#include <windows.h>

#include <initializer_list>
#include <string>

namespace ravlo::gui {

// Processes the thread's messages for `ms` milliseconds the way the program's loop does.
void Pump(HWND frmMain, int ms = 150);

// Presses the keys in order and releases them in reverse (a chord such as Ctrl+D).
void PressKeys(std::initializer_list<WORD> keys);
// Types digits and letters one key at a time.
void TypeText(const std::string& text);
// A left click at a screen point.
void ClickAt(POINT screen);
// A left click at the centre of a window, or at a point in its client area.
void ClickWindow(HWND window);
void ClickClient(HWND window, POINT client);

// The first descendant of `parent` with that control id.
HWND FindControl(HWND parent, int id);
std::string TextOf(HWND window);

// Saves the screen area as a 24-bit BMP file; false when it could not be written.
bool SaveScreenArea(const RECT& area, const std::string& path);
// The window with any open popup menu of the process.
RECT WindowWithMenus(HWND window);

}  // namespace ravlo::gui
