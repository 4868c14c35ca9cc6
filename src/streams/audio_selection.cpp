#include "streams/audio_selection.h"

#include "planning/bitrate_calculator.h"
#include "streams/order_lists.h"

namespace ravlo {

void lstAL_ItemCheck(AppState& app, int index) {
  ProjectSettings& s = app.settings;
  const std::string item = s.lstAL.Item(index);
  const auto id = StreamIdOf(item, "0x8", "0xA");
  if (!id) {
    // Not a stream the batch could demultiplex: it cannot be chosen.
    s.lstAL.SetChecked(index, false);
    return;
  }
  // The code is also the demultiplexed file's name, so AC3 and LPCM get their own suffix.
  const std::string code = *id + (item.find("AC3") != std::string::npos ? "o.ac3" : "o.wav");
  const std::string label = code.substr(0, 4) + " " + LanguageOf(item);
  // Whether the code is already chosen decides, not the new check mark.
  ToggleStream(s.lstAO_code, s.lstAO_name, code, label);
  RecalculateBitrates(app);
}

void cmdASA_Click(AppState& app) { CheckAll(app.settings.lstAL, true); }
void cmdASN_Click(AppState& app) { CheckAll(app.settings.lstAL, false); }

}  // namespace ravlo
