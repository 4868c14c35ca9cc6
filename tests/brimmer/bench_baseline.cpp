// Does nothing: the benchmark measures brimmer's start and work against this program's start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
