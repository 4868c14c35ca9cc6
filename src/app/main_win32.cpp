// Ravlo3.exe: the planner. With arguments it runs them in scripted mode and exits; without,
// it shows the main window.

#include <windows.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "app/console_output.h"
#include "app/planner.h"
#include "app/scripted_mode.h"
#include "platform/win32_platform.h"
#include "frame/win32/main_window.h"

namespace {

// Arguments as the user typed them, split by the runtime's usual rules, in the ANSI code page.
std::vector<std::string> Arguments() { return {__argv + 1, __argv + __argc}; }

int RunScripted(const std::vector<std::string>& args) {
  ravlo::ConnectToParentConsole();
  ravlo::ConsoleWriter out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
  ravlo::Win32Platform system;
  ravlo::ScriptedPlatform platform(system, out, err);
  ravlo::AppState app(platform);
  return ravlo::RunScript(app, platform, args, out, err);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  const std::vector<std::string> args = Arguments();
  int exitCode = 0;
  if (!args.empty()) {
    exitCode = RunScripted(args);
  } else {
    ravlo::Win32Platform platform;
    ravlo::AppState app(platform);
    ravlo::ConnectHandlers(app);
    exitCode = ravlo::RunMainWindow(app, platform, [&app] { ravlo::LoadMainForm(app); },
                                    showCommand);
  }
  return exitCode;
}
