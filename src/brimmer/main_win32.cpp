// brimmer: a GUI-subsystem program that never opens a window, so the batch shows no flash
// of a console; its whole work runs at start and it ends.
#include <windows.h>

#include <cstdlib>

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

// brimmer throws nothing and catches nothing; should the runtime ever end it, a plain abort
// does. The library's default handler would print a demangled type name to a console the
// program does not have, and it brings the whole demangler along (about a sixth of the file).
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
