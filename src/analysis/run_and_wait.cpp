#include "analysis/run_and_wait.h"

#include <thread>

namespace ravlo {

RunOutcome RunAndWait(AppState& app, const std::string& commandLine, WindowStyle style,
                      std::chrono::milliseconds limit) {
  return app.platform.RunAndWait(commandLine, style, limit);
}

bool WaitUntilGone(AppState& app, const std::string& path, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + limit;
  while (app.platform.FileExists(path)) {
    if (Clock::now() >= deadline) return false;
    // A short pause: the holder of the file needs the processor to let go of it.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace ravlo
