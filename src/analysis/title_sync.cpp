#include "analysis/title_sync.h"

#include "common/numbers.h"
#include "planning/bitrate_calculator.h"

namespace ravlo {

void cmbPGC_Click(AppState& app) {
  ProjectSettings& s = app.settings;
  s.txtTitle.SetText(FormatNumber(s.cmbPGC.Selected() + 1));
  RecalculateBitrates(app);
}

void txtTitle_Change(AppState& app) {
  ProjectSettings& s = app.settings;
  const auto number = ParseNumber(s.txtTitle.Text());
  if (!number) return;
  const auto index = RoundToInt32(*number - 1);
  if (!index || *index < -1 || *index >= s.cmbPGC.ItemCount()) return;
  s.cmbPGC.Select(*index);
}

}  // namespace ravlo
