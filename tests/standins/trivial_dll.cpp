// Test double of a DLL the batch only copies and deletes (frame-server plug-ins, BeSweet's
// codec libraries): it only has to exist and load.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
