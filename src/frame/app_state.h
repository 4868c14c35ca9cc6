#pragma once
// What every handler works on: the window's values, the process-wide strings and the system.

#include "frame/app_globals.h"
#include "frame/project_road.h"
#include "frame/project_settings.h"
#include "platform/platform.h"

namespace ravlo {

struct AppState {
  explicit AppState(Platform& platform) : platform(platform) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  ProjectSettings settings;
  AppGlobals globals;
  Platform& platform;
  ProjectRoad road = ProjectRoad::Batch;  // the native planner's composition root picks Shell
};

}  // namespace ravlo
