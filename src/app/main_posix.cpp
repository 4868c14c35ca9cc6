// ravlo3: the planner on Linux and other POSIX systems: its window when started without
// arguments on a desktop, else the command line. The same record,
// handlers and scripted actions as Ravlo3.exe, plus named options for the common choices;
// its Save writes project.sh and movie.sh.

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/analyse_ifo.h"
#include "app/episodes_option.h"
#include "app/named_options.h"
#include "app/scripted_mode.h"
#include "platform/posix_platform.h"

#ifdef RAVLO_HAVE_QT
#include <QApplication>
#include <QTimer>

#include "app/planner.h"
#include "app/window_check.h"
#include "frame/qt/main_window.h"
#include "frame/qt/qt_platform.h"
#endif

namespace {

// The record keeps absolute paths; the user may type relative ones. Nothing else changes: a
// backslash stays a character of a name, and ".." is left for the system, which resolves it
// through symbolic links as the user's shell does.
std::string AbsolutePath(const std::string& typed) {
  if (typed.empty() || typed.front() == '/') return typed;
  std::error_code code;
  const std::filesystem::path here = std::filesystem::current_path(code);
  return code ? typed : (here / typed).string();
}

void ToAbsolutePaths(std::vector<std::string>& actions) {
  for (std::size_t i = 0; i + 1 < actions.size(); ++i) {
    if (actions[i] == "--open" || actions[i] == "--save") {
      actions[i + 1] = AbsolutePath(actions[i + 1]);
      ++i;
    } else if (actions[i] != "--cancel" && actions[i] != "--dump") {
      ++i;  // a value, even one that looks like "--open"
    }
  }
}

std::string ProgramPath(const char* argv0) {
  std::error_code code;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", code);
  if (!code) return self.string();
  return std::filesystem::absolute(argv0, code).string();
}

// --list PATH: the IFO reader beside this program prints the disc's chains; its exit code is
// this run's.
int ListChains(const std::string& programPath, const std::string& disc) {
  const std::string reader = (std::filesystem::path(programPath).parent_path() / "ifoscan").string();
  const char* args[] = {reader.c_str(), "--list", disc.c_str(), nullptr};
  execv(reader.c_str(), const_cast<char* const*>(args));
  std::cerr << "ravlo3: cannot start " << reader << ": " << std::strerror(errno) << "\n";
  return ravlo::kScriptFailed;
}

// A desktop to show a window on; Qt's own platform choice counts as one (offscreen, vnc).
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

#ifdef RAVLO_HAVE_QT
// `disc`: a disc to open once the window shows (as File > Open would), or "".
int RunWindow(int argc, char** argv, const std::string& disc) {
  QApplication application(argc, argv);
  ravlo::QtPlatform platform(ProgramPath(argv[0]), std::cout, std::cerr);
  ravlo::AppState app(platform);
  app.road = ravlo::ProjectRoad::Shell;
  ravlo::ConnectHandlers(app);
  return ravlo::RunMainWindow(app, platform, [&app, disc] {
    ravlo::LoadMainForm(app);
    if (disc.empty()) return;
    // Once the window is there, so that what the analysis says stands over it.
    QTimer::singleShot(0, [&app, disc] {
      app.globals.IfoPath = disc;
      ravlo::AnalyseIfo(app);
    });
  });
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // "ravlo3 PATH", as a file manager or the desktop entry starts it: the disc in the window,
  // or without a desktop its chains as --list prints them.
  const bool discOnly = args.size() == 1 && !args[0].empty() && args[0][0] != '-';
#ifdef RAVLO_HAVE_QT
  if ((args.empty() || discOnly) && HasDisplay()) {
    const std::string why = ravlo::WhyNoWindow(argc, argv);
    if (why.empty()) return RunWindow(argc, argv, discOnly ? AbsolutePath(args[0]) : std::string());
    if (!discOnly) std::cout << ravlo::NativeUsage();
    std::cerr << "ravlo3: the window cannot open: " << why << "\n";
    if (!discOnly) return ravlo::kScriptUsageError;
  }
#endif
  if (discOnly) return ListChains(ProgramPath(argv[0]), args[0]);
  if (args.empty() || (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))) {
    std::cout << ravlo::NativeUsage();
    return args.empty() ? ravlo::kScriptUsageError : 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "ravlo3 " RAVLO_VERSION "\n";
    return 0;
  }
  if (args[0] == "--list") {
    if (args.size() == 2) return ListChains(ProgramPath(argv[0]), args[1]);
    std::cerr << "ravlo3: --list takes one disc path and nothing else (ravlo3 --help lists the options)\n";
    return ravlo::kScriptUsageError;
  }
  std::vector<std::string> named = args;
  const std::string reader = (std::filesystem::path(ProgramPath(argv[0])).parent_path() / "ifoscan").string();
  if (const std::string error = ravlo::ResolveEpisodes(reader, named); !error.empty()) {
    std::cerr << "ravlo3: " << error << "\n";
    return ravlo::kScriptFailed;
  }
  ravlo::ExpandedArguments expanded = ravlo::ExpandNamedOptions(named);
  if (!expanded.error.empty()) {
    std::cerr << "ravlo3: " << expanded.error << " (ravlo3 --help lists the options)\n";
    return ravlo::kScriptUsageError;
  }
  ToAbsolutePaths(expanded.actions);

  ravlo::PosixPlatform system(ProgramPath(argv[0]), std::cout, std::cerr);
  system.SetEnvironmentValue(ravlo::kParserTitleSetVariable, expanded.titleSet);
  ravlo::ScriptedPlatform platform(system, std::cout, std::cerr);
  ravlo::AppState app(platform);
  app.road = ravlo::ProjectRoad::Shell;
  if (!expanded.nodes.empty()) {
    if (access(expanded.nodes.c_str(), R_OK) != 0) {
      std::cerr << "ravlo3: --nodes: the login file " << expanded.nodes << " cannot be read\n";
      return ravlo::kScriptUsageError;
    }
    app.globals.NodesFile = AbsolutePath(expanded.nodes);
  }
  return ravlo::RunScript(app, platform, expanded.actions, std::cout, std::cerr, "ravlo3", expanded.saidAs);
}
