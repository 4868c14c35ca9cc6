#include "frame/project_settings.h"

#include "frame/constants.h"

namespace ravlo {
namespace {

void AddItems(Field& field, std::initializer_list<const char*> items) {
  for (const char* item : items) field.AddItem(item);
}

}  // namespace

ProjectSettings::ProjectSettings()
    : cmdJO{"cmdJO", FieldKind::Button, kHostName} {
  all_ = {&txtTitle,   &txtAngle,     &cmbPGC,      &picInfo_on,     &picInfo_off,
          &optPAL,     &optNTSC,      &opt16_9,     &opt4_3,         &txtFra,
          &txtMin,     &txtSec,       &lstAL,       &cmdASA,         &cmdASN,
          &lstAO_code, &lstAO_name,   &lstSL,       &cmdSSA,         &cmdSSN,
          &lstSO_code, &lstSO_name,   &optSub_VOBSUB, &optSub_SRT,   &optAud_AC3,
          &optAud_OGG, &optAud_MP3,   &cmbAudQual,  &chkOrig,        &chk51,
          &cmbMS,      &cmbBS_DC,     &cmbBS_CM,    &chkAC,          &txtAC_Threshold,
          &txtAC_Samples, &chkResize, &cmbResize,   &chkForceFilm,   &chkDeinterlace,
          &chkIVTC,    &cmdCfgCodec,  &txtVB,       &txtAB,          &cmdJO,
          &mnuFile,    &mnuNew,       &mnuOpen,     &mnuSave,        &mnuSaveAs,
          &mnuSaveRun, &mnuExit,      &mnuOptions,  &chkDelTemp,     &chkDelLogs,
          &chkShutDown, &mnuSetAuthor, &mnuHA,      &mnuHelp,        &mnuAbout};

  groupType_ = {&optPAL, &optNTSC};
  groupAspect_ = {&opt16_9, &opt4_3};
  groupSub_ = {&optSub_VOBSUB, &optSub_SRT};
  groupAud_ = {&optAud_AC3, &optAud_OGG, &optAud_MP3};
  for (Field* f : groupType_) f->JoinGroup(&groupType_);
  for (Field* f : groupAspect_) f->JoinGroup(&groupAspect_);
  for (Field* f : groupSub_) f->JoinGroup(&groupSub_);
  for (Field* f : groupAud_) f->JoinGroup(&groupAud_);

  for (Field* f : {&txtFra, &txtMin, &txtSec, &txtVB, &txtAB}) f->MakeReadOnly();

  picInfo_on.InitVisible(false);

  optSub_VOBSUB.InitValue(true);
  optAud_MP3.InitValue(true);
  chkOrig.InitVisible(false);
  chk51.InitEnabled(false);

  AddItems(cmbMS, {"349", "699", "746", "896", "1120", "1493", "2048", "4478"});
  cmbMS.InitText("699");
  AddItems(cmbBS_DC, {"none", "light", "normal", "heavy"});
  cmbBS_DC.InitText("normal");
  AddItems(cmbBS_CM, {"stereo", "surround", "surround2"});
  cmbBS_CM.InitText("surround2");

  chkAC.InitValue(true);
  txtAC_Threshold.InitText("20");
  txtAC_Samples.InitText("10");
  chkResize.InitValue(true);
  AddItems(cmbResize, {"Lanczos", "Bicubic", "Bilinear"});
  cmbResize.InitText("Lanczos");

  mnuSave.InitEnabled(false);
  mnuSaveAs.InitEnabled(false);
  mnuSaveRun.InitEnabled(false);
  chkDelTemp.InitValue(true);
  chkDelLogs.InitValue(true);
}

Field* ProjectSettings::Find(std::string_view name) const {
  for (Field* field : all_) {
    if (field->Name() == name) return field;
  }
  return nullptr;
}

}  // namespace ravlo
