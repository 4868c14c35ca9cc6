// brimmer: a GUI-subsystem program that never opens a window, so the batch shows no flash
// of a console; its whole work runs at start and it ends.
#include <windows.h>

#include "brimmer/brimmer_run.h"
#include "brimmer/command_tail.h"
#include "brimmer/folder_access.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // GetCommandLineA rather than WinMain's argument: the same text, without relying on the
  // runtime's own program-name skipping.
  // A refused size is in log.txt; the exit code tells a caller that looks.
  return brimmer::RunBrimmer(brimmer::ProgramFolder(), brimmer::CommandTail(GetCommandLineA()))
                 .Ok()
             ? 0
             : 1;
}
