#pragma once
// ProjectSettings: every value of the main window, one field per control, named like it.
// The logic reads and writes these fields; the window only shows them and forwards edits.

#include <string_view>
#include <vector>

#include "frame/field.h"

namespace ravlo {

class ProjectSettings {
 public:
  ProjectSettings();
  ProjectSettings(const ProjectSettings&) = delete;
  ProjectSettings& operator=(const ProjectSettings&) = delete;

  // Every field in table order (tabs left to right, the row under the tabs, then the menus).
  const std::vector<Field*>& All() const { return all_; }
  // nullptr when no field has that name.
  Field* Find(std::string_view name) const;

  // Tab "Video", frame "Info"
  Field txtTitle{"txtTitle", FieldKind::Text, "Title:"};
  Field txtAngle{"txtAngle", FieldKind::Text, "Angle:"};
  Field cmbPGC{"cmbPGC", FieldKind::Combo, "PGC:"};
  Field picInfo_on{"picInfo_on", FieldKind::Picture};
  Field picInfo_off{"picInfo_off", FieldKind::Picture};
  // Tab "Video", frames "Type", "Aspect Ratio", "Length"
  Field optPAL{"optPAL", FieldKind::Option, "PAL"};
  Field optNTSC{"optNTSC", FieldKind::Option, "NTSC"};
  Field opt16_9{"opt16_9", FieldKind::Option, "16:9"};
  Field opt4_3{"opt4_3", FieldKind::Option, "4:3"};
  Field txtFra{"txtFra", FieldKind::Text, "frames"};
  Field txtMin{"txtMin", FieldKind::Text, "minutes"};
  Field txtSec{"txtSec", FieldKind::Text, "seconds"};
  // Tab "Audio"
  Field lstAL{"lstAL", FieldKind::CheckedList};
  Field cmdASA{"cmdASA", FieldKind::Button, "Select all"};
  Field cmdASN{"cmdASN", FieldKind::Button, "Select none"};
  Field lstAO_code{"lstAO_code", FieldKind::List};
  Field lstAO_name{"lstAO_name", FieldKind::List};
  // Tab "Subtitles"
  Field lstSL{"lstSL", FieldKind::CheckedList};
  Field cmdSSA{"cmdSSA", FieldKind::Button, "Select all"};
  Field cmdSSN{"cmdSSN", FieldKind::Button, "Select none"};
  Field lstSO_code{"lstSO_code", FieldKind::List};
  Field lstSO_name{"lstSO_name", FieldKind::List};
  // Tab "Preferences"
  Field optSub_VOBSUB{"optSub_VOBSUB", FieldKind::Option, "VOBSUB"};
  Field optSub_SRT{"optSub_SRT", FieldKind::Option, "SRT"};
  Field optAud_AC3{"optAud_AC3", FieldKind::Option, "AC3"};
  Field optAud_OGG{"optAud_OGG", FieldKind::Option, "OGG"};
  Field optAud_MP3{"optAud_MP3", FieldKind::Option, "MP3"};
  Field cmbAudQual{"cmbAudQual", FieldKind::Combo, "Quality:"};
  Field chkOrig{"chkOrig", FieldKind::Check, "Original"};
  Field chk51{"chk51", FieldKind::Check, "5.1 (6ch)"};
  Field cmbMS{"cmbMS", FieldKind::Combo, "MB"};
  // Tab "Advanced", frame "Audio"
  Field cmbBS_DC{"cmbBS_DC", FieldKind::Combo, "Dynamic Compression:"};
  Field cmbBS_CM{"cmbBS_CM", FieldKind::Combo, "Channels mode:"};
  // Tab "Advanced", frame "Video"
  Field chkAC{"chkAC", FieldKind::Check, "Enabled"};
  Field txtAC_Threshold{"txtAC_Threshold", FieldKind::Text, "Threshold:"};
  Field txtAC_Samples{"txtAC_Samples", FieldKind::Text, "Samples:"};
  Field chkResize{"chkResize", FieldKind::Check, "Enabled"};
  Field cmbResize{"cmbResize", FieldKind::Combo};
  Field chkForceFilm{"chkForceFilm", FieldKind::Check, "Force Film"};
  Field chkDeinterlace{"chkDeinterlace", FieldKind::Check, "Deinterlace"};
  Field chkIVTC{"chkIVTC", FieldKind::Check, "IVTC"};
  Field cmdCfgCodec{"cmdCfgCodec", FieldKind::Button, "Configure"};
  // Row under the tabs
  Field txtVB{"txtVB", FieldKind::Text, "Video:"};
  Field txtAB{"txtAB", FieldKind::Text, "Audio:"};
  Field cmdJO{"cmdJO", FieldKind::Button};
  // Menus
  Field mnuFile{"mnuFile", FieldKind::Menu, "&File"};
  Field mnuNew{"mnuNew", FieldKind::Menu, "&New"};
  Field mnuOpen{"mnuOpen", FieldKind::Menu, "&Open IFO"};
  Field mnuSave{"mnuSave", FieldKind::Menu, "&Save"};
  Field mnuSaveAs{"mnuSaveAs", FieldKind::Menu, "Save &As"};
  Field mnuSaveRun{"mnuSaveRun", FieldKind::Menu, "Save && &Run"};
  Field mnuExit{"mnuExit", FieldKind::Menu, "E&xit"};
  Field mnuOptions{"mnuOptions", FieldKind::Menu, "&Options"};
  Field chkDelTemp{"chkDelTemp", FieldKind::MenuCheck, "&Delete temporary files"};
  Field chkDelLogs{"chkDelLogs", FieldKind::MenuCheck, "Delete &logs"};
  Field chkShutDown{"chkShutDown", FieldKind::MenuCheck, "&Shut down computer"};
  Field mnuSetAuthor{"mnuSetAuthor", FieldKind::Menu, "Set author..."};
  Field mnuHA{"mnuHA", FieldKind::Menu, "?"};
  Field mnuHelp{"mnuHelp", FieldKind::Menu, "Help"};
  Field mnuAbout{"mnuAbout", FieldKind::Menu, "&About..."};

 private:
  std::vector<Field*> all_;
  std::vector<Field*> groupType_, groupAspect_, groupSub_, groupAud_;
};

}  // namespace ravlo
