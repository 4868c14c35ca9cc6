#include "streams/audio_format.h"

#include <initializer_list>

namespace ravlo {
namespace {

void FillQualityList(Field& quality, std::initializer_list<const char*> bitrates) {
  quality.ClearItems();
  for (const char* bitrate : bitrates) quality.AddItem(bitrate);
}

// MP3 and OGG are always converted and never six-channel: no "Original", no 5.1.
void ApplyConvertedFormat(ProjectSettings& s, const char* defaultQuality) {
  s.chkOrig.SetVisible(false);
  s.chkOrig.SetValue(false);
  s.chk51.SetEnabled(false);
  s.chk51.SetValue(false);
  s.cmbAudQual.SetEnabled(true);
  FillQualityList(s.cmbAudQual, {"320", "256", "192", "128", "112", "96", "80", "64"});
  s.cmbAudQual.SetText(defaultQuality);  // its change event runs the calculator
}

}  // namespace

// Check-state changes below run the check boxes' own rules (through their click events)
// before the next step, so the end state is the same whatever the state before.
void ApplyAudioFormat(AppState& app) {
  ProjectSettings& s = app.settings;
  if (s.optAud_AC3.IsSet()) {
    // AC3 is what the disc holds: keeping the original is the default.
    s.chkOrig.SetVisible(true);
    s.chkOrig.SetValue(true);
    s.chk51.SetEnabled(false);
    s.chk51.SetValue(false);
    s.cmbAudQual.SetEnabled(false);
    FillQualityList(s.cmbAudQual, {"448", "384", "256", "192", "128"});
    s.cmbAudQual.SetText("384");
  } else if (s.optAud_MP3.IsSet()) {
    ApplyConvertedFormat(s, "128");
  } else if (s.optAud_OGG.IsSet()) {
    ApplyConvertedFormat(s, "80");
  } else if (s.optAud_AAC.IsSet() || s.optAud_OPUS.IsSet()) {
    ApplyConvertedFormat(s, s.optAud_AAC.IsSet() ? "128" : "96");
  }
}

void chkOrig_Click(AppState& app) {
  ProjectSettings& s = app.settings;
  const bool original = s.chkOrig.IsSet();
  // Unconverted audio has no bitrate to choose; converting AC3 keeps six channels by default.
  s.cmbAudQual.SetEnabled(!original);
  s.chk51.SetEnabled(!original);
  s.chk51.SetValue(!original);
}

void chk51_Click(AppState& app) {
  ProjectSettings& s = app.settings;
  // Six-channel output has no channel mode to choose.
  s.cmbBS_CM.SetEnabled(!s.chk51.IsSet());
}

}  // namespace ravlo
