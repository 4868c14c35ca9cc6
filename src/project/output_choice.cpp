#include "project/output_choice.h"

namespace ravlo {
namespace {

bool Listed(const Field& field) {
  for (int i = 0; i < field.ItemCount(); ++i) {
    if (field.Item(i) == field.Text()) return true;
  }
  return false;
}

}  // namespace

// A text that is no item of the list (being typed) changes nothing: the save names it.
void cmbVideo_Change(AppState& app) {
  ProjectSettings& s = app.settings;
  if (!Listed(s.cmbVideo)) return;
  const bool xvid = s.cmbVideo.Text() == "XviD";
  const bool avi = s.cmbContainer.Text() == "AVI";
  if (xvid && !avi) s.cmbContainer.SetText("AVI");
  if (!xvid && avi) s.cmbContainer.SetText("MKV");
}

void cmbContainer_Change(AppState& app) {
  ProjectSettings& s = app.settings;
  if (!Listed(s.cmbContainer)) return;
  const bool xvid = s.cmbVideo.Text() == "XviD";
  const bool avi = s.cmbContainer.Text() == "AVI";
  if (avi && !xvid) s.cmbVideo.SetText("XviD");
  if (!avi && xvid) s.cmbVideo.SetText("H.264");
}

}  // namespace ravlo
