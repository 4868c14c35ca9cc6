#include "analysis/connect_analysis.h"

#include "analysis/analyse_ifo.h"
#include "analysis/reset_title_info.h"
#include "analysis/title_sync.h"

namespace ravlo {

void ConnectAnalysisHandlers(AppState& app) {
  ProjectSettings& s = app.settings;
  s.mnuOpen.OnClick([&app] { mnuOpen_Click(app); });
  s.mnuNew.OnClick([&app] { mnuNew_Click(app); });
  s.cmbPGC.OnClick([&app] { cmbPGC_Click(app); });
  s.txtTitle.OnChange([&app] { txtTitle_Change(app); });
}

}  // namespace ravlo
