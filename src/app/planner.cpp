#include "app/planner.h"

#include "analysis/connect_analysis.h"
#include "frame/connect_frame.h"
#include "frame/startup.h"
#include "planning/connect_planning.h"
#include "project/connect_project.h"
#include "streams/audio_format.h"
#include "streams/connect_streams.h"

namespace ravlo {

void ConnectHandlers(AppState& app) {
  ConnectFrameHandlers(app);
  ConnectPlanningHandlers(app);
  ConnectAnalysisHandlers(app);
  ConnectStreamsHandlers(app);
  ConnectProjectHandlers(app);
}

void LoadMainForm(AppState& app) {
  Form_Load(app, [&app] { ApplyAudioFormat(app); });
}

void StartPlanner(AppState& app) {
  ConnectHandlers(app);
  LoadMainForm(app);
}

}  // namespace ravlo
