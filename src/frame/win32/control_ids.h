#pragma once
// Control and menu command ids of the main window, one per field, named after the field so
// that a reader (or the GUI test) finds a control by the name the rest of the program uses.

namespace ravlo {

enum ControlId : int {
  // Tab "Video"
  ID_txtTitle = 1001,
  ID_txtAngle,
  ID_cmbPGC,
  ID_picInfo_on,
  ID_picInfo_off,
  ID_optPAL,
  ID_optNTSC,
  ID_opt16_9,
  ID_opt4_3,
  ID_txtFra,
  ID_txtMin,
  ID_txtSec,
  // Tab "Audio"
  ID_lstAL,
  ID_cmdASA,
  ID_cmdASN,
  ID_lstAO_code,
  ID_lstAO_name,
  // Tab "Subtitles"
  ID_lstSL,
  ID_cmdSSA,
  ID_cmdSSN,
  ID_lstSO_code,
  ID_lstSO_name,
  // Tab "Preferences"
  ID_optSub_VOBSUB,
  ID_optSub_SRT,
  ID_optAud_AC3,
  ID_optAud_OGG,
  ID_optAud_MP3,
  ID_cmbAudQual,
  ID_chkOrig,
  ID_chk51,
  ID_cmbMS,
  // Tab "Advanced"
  ID_cmbBS_DC,
  ID_cmbBS_CM,
  ID_chkAC,
  ID_txtAC_Threshold,
  ID_txtAC_Samples,
  ID_chkResize,
  ID_cmbResize,
  ID_chkForceFilm,
  ID_chkDeinterlace,
  ID_chkIVTC,
  ID_cmdCfgCodec,
  // Row under the tabs
  ID_txtVB,
  ID_txtAB,
  ID_cmdJO,

  // Containers
  ID_tabMain = 1101,
  ID_fraInfo,
  ID_fraType,
  ID_fraAR,
  ID_fraLength,
  ID_fraAL,
  ID_fraAO,
  ID_fraSL,
  ID_fraSO,
  ID_fraSub,
  ID_fraAud,
  ID_fraMS,
  ID_fraAdAud,
  ID_fraAdVid,
  ID_fraAC,
  ID_fraResize,
  ID_fraMisc,

  // Menu commands (also the accelerator commands)
  ID_mnuNew = 1201,
  ID_mnuOpen,
  ID_mnuSave,
  ID_mnuSaveAs,
  ID_mnuSaveRun,
  ID_mnuExit,
  ID_chkDelTemp,
  ID_chkDelLogs,
  ID_chkShutDown,
  ID_mnuSetAuthor,
  ID_mnuHelp,
  ID_mnuAbout,
};

// Tab pages of tabMain, in tab order.
enum TabPage : int { kPageVideo, kPageAudio, kPageSubtitles, kPagePreferences, kPageAdvanced,
                     kPageCount };

}  // namespace ravlo
