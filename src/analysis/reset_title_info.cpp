#include "analysis/reset_title_info.h"

namespace ravlo {

void ResetTitleInfo(AppState& app) {
  ProjectSettings& s = app.settings;
  s.picInfo_on.SetVisible(false);
  s.picInfo_off.SetVisible(true);
  // The combo goes first: the title number cleared below then finds nothing to select.
  s.cmbPGC.ClearItems();
  s.cmbPGC.SetText("");
  for (Field* text : {&s.txtSec, &s.txtMin, &s.txtFra, &s.txtTitle, &s.txtAngle}) text->SetText("");
  for (Field* option : {&s.opt16_9, &s.opt4_3, &s.optPAL, &s.optNTSC}) option->SetValue(false);
  for (Field* list : {&s.lstAL, &s.lstAO_code, &s.lstAO_name, &s.lstSL, &s.lstSO_code, &s.lstSO_name, &s.lstTitles}) {
    list->ClearItems();
  }
  s.txtVB.SetText("");
  s.txtAB.SetText("");
  for (Field* command : {&s.mnuSave, &s.mnuSaveAs, &s.mnuSaveRun}) command->SetEnabled(false);
}

void mnuNew_Click(AppState& app) { ResetTitleInfo(app); }

}  // namespace ravlo
