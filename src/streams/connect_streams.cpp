#include "streams/connect_streams.h"

#include "streams/audio_format.h"
#include "streams/audio_selection.h"
#include "streams/subtitle_selection.h"

namespace ravlo {

void ConnectStreamsHandlers(AppState& app) {
  ProjectSettings& s = app.settings;
  s.lstAL.OnItemCheck([&app](int index) { lstAL_ItemCheck(app, index); });
  s.cmdASA.OnClick([&app] { cmdASA_Click(app); });
  s.cmdASN.OnClick([&app] { cmdASN_Click(app); });
  s.lstSL.OnItemCheck([&app](int index) { lstSL_ItemCheck(app, index); });
  s.cmdSSA.OnClick([&app] { cmdSSA_Click(app); });
  s.cmdSSN.OnClick([&app] { cmdSSN_Click(app); });
  for (Field* format : {&s.optAud_AC3, &s.optAud_OGG, &s.optAud_MP3, &s.optAud_AAC, &s.optAud_OPUS}) {
    format->OnClick([&app] { ApplyAudioFormat(app); });
  }
  s.chkOrig.OnClick([&app] { chkOrig_Click(app); });
  s.chk51.OnClick([&app] { chk51_Click(app); });
}

}  // namespace ravlo
