#include "streams/subtitle_selection.h"

#include "streams/order_lists.h"

namespace ravlo {

// Subtitles take no share of the bitrate: their size is measured after extraction.
void lstSL_ItemCheck(AppState& app, int index) {
  ProjectSettings& s = app.settings;
  const std::string item = s.lstSL.Item(index);
  const auto code = StreamIdOf(item, "0x2", "0x3");
  if (!code) {
    s.lstSL.SetChecked(index, false);  // no stream id: nothing to extract
    return;
  }
  ToggleStream(s.lstSO_code, s.lstSO_name, *code, *code + " " + LanguageOf(item));
}

void cmdSSA_Click(AppState& app) { CheckAll(app.settings.lstSL, true); }
void cmdSSN_Click(AppState& app) { CheckAll(app.settings.lstSL, false); }

}  // namespace ravlo
