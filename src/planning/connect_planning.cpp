#include "planning/connect_planning.h"

#include "planning/bitrate_calculator.h"

namespace ravlo {

// The other callers (program-chain pick, audio stream check, end of an analysis) call the
// calculator themselves.
void ConnectPlanningHandlers(AppState& app) {
  ProjectSettings& s = app.settings;
  const auto recalculate = [&app] { RecalculateBitrates(app); };
  s.cmbMS.OnChange(recalculate);
  s.cmbMS.OnClick(recalculate);
  s.cmbAudQual.OnChange(recalculate);
  s.cmbAudQual.OnClick(recalculate);
  s.optPAL.OnClick(recalculate);
  s.optNTSC.OnClick(recalculate);
}

}  // namespace ravlo
