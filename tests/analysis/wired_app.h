#pragma once
// The planner as started, over the fake platform: every handler of analysis, planning and
// streams connected, start-up run.

#include <string>

#include "analysis/connect_analysis.h"
#include "fake_platform.h"
#include "frame/startup.h"
#include "planning/bitrate_calculator.h"
#include "planning/connect_planning.h"
#include "streams/audio_format.h"
#include "streams/connect_streams.h"

namespace ravlo::test {

inline const std::string kMisc = "C:\\Program Files\\Ravlo3\\misc\\";
inline const std::string kReport = kMisc + "ifoparse.txt";
inline const std::string kIfo = "D:\\VIDEO_TS\\VTS_01_0.IFO";

struct WiredApp {
  WiredApp() {
    ConnectPlanningHandlers(app);
    ConnectAnalysisHandlers(app);
    ConnectStreamsHandlers(app);
    Form_Load(app, [this] { ApplyAudioFormat(app); });
  }

  // "Open IFO" on kIfo, the parser writing `report` (nothing at all when `report` is null).
  void Open(const char* report) {
    platform.onRunAndWait = [this, report](const std::string&) {
      if (report) platform.PutFile(kReport, report);
      return true;
    };
    platform.QueueAnswer(kIfo);
    app.settings.mnuOpen.Click();
  }

  FakePlatform platform;
  AppState app{platform};
  ProjectSettings& s = app.settings;
};

}  // namespace ravlo::test
