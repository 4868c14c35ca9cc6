// Does next to nothing, as a yardstick for start-up timings: a static Win32 program that uses
// the window library (user32) as every program with a window does, and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return GetSystemMetrics(SM_CXSCREEN) < 0; }
