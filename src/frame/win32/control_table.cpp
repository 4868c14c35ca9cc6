#include "frame/win32/control_table.h"

#include "frame/win32/control_ids.h"
#include "frame/win32/resource_ids.h"

namespace ravlo {
namespace {

using T = ControlType;

// Positions in dialog units, so that the layout follows the dialog font and the DPI.
constexpr ControlRow kControls[] = {
    // ---- Video --------------------------------------------------------------------------
    {"fraInfo", T::Frame, kPageVideo, ID_fraInfo, 4, 2, 276, 66, "Info", 0, 0},
    {"txtTitle", T::Label, kPageVideo, 0, 12, 16, 34, 8, nullptr, 'T', 0},
    {"txtTitle", T::Edit, kPageVideo, ID_txtTitle, 48, 14, 40, 12, nullptr, 0, 0},
    {"txtAngle", T::Label, kPageVideo, 0, 12, 32, 34, 8, nullptr, 'g', 0},
    {"txtAngle", T::Edit, kPageVideo, ID_txtAngle, 48, 30, 40, 12, nullptr, 0, 0},
    {"cmbPGC", T::Label, kPageVideo, 0, 12, 48, 34, 8, nullptr, 'P', 0},
    {"cmbPGC", T::Combo, kPageVideo, ID_cmbPGC, 48, 46, 150, 120, nullptr, 0, 0},
    // The two pictures share one place; the record decides which one is visible.
    {"picInfo_on", T::Picture, kPageVideo, ID_picInfo_on, 240, 24, 24, 24, nullptr, 0, IDI_INFO_ON},
    {"picInfo_off", T::Picture, kPageVideo, ID_picInfo_off, 240, 24, 24, 24, nullptr, 0, IDI_INFO_OFF},
    {"fraType", T::Frame, kPageVideo, ID_fraType, 4, 72, 84, 62, "Type", 0, 0},
    {"optPAL", T::Option, kPageVideo, ID_optPAL, 14, 88, 64, 10, nullptr, 'A', 0},
    {"optNTSC", T::Option, kPageVideo, ID_optNTSC, 14, 106, 64, 10, nullptr, 'N', 0},
    {"fraAR", T::Frame, kPageVideo, ID_fraAR, 96, 72, 84, 62, "Aspect Ratio", 0, 0},
    {"opt16_9", T::Option, kPageVideo, ID_opt16_9, 106, 88, 64, 10, nullptr, '1', 0},
    {"opt4_3", T::Option, kPageVideo, ID_opt4_3, 106, 106, 64, 10, nullptr, '4', 0},
    {"fraLength", T::Frame, kPageVideo, ID_fraLength, 188, 72, 92, 62, "Length", 0, 0},
    {"txtFra", T::Edit, kPageVideo, ID_txtFra, 196, 84, 40, 12, nullptr, 0, 0},
    {"txtFra", T::Label, kPageVideo, 0, 240, 86, 36, 8, nullptr, 0, 0},
    {"txtMin", T::Edit, kPageVideo, ID_txtMin, 196, 100, 40, 12, nullptr, 0, 0},
    {"txtMin", T::Label, kPageVideo, 0, 240, 102, 36, 8, nullptr, 0, 0},
    {"txtSec", T::Edit, kPageVideo, ID_txtSec, 196, 116, 40, 12, nullptr, 0, 0},
    {"txtSec", T::Label, kPageVideo, 0, 240, 118, 36, 8, nullptr, 0, 0},

    // ---- Audio --------------------------------------------------------------------------
    {"fraAL", T::Frame, kPageAudio, ID_fraAL, 4, 2, 158, 160, "Audio streams list", 'l', 0},
    {"lstAL", T::CheckedList, kPageAudio, ID_lstAL, 12, 14, 142, 124, nullptr, 0, 0},
    {"cmdASA", T::Button, kPageAudio, ID_cmdASA, 12, 142, 66, 14, nullptr, 'a', 0},
    {"cmdASN", T::Button, kPageAudio, ID_cmdASN, 88, 142, 66, 14, nullptr, 'n', 0},
    {"fraAO", T::Frame, kPageAudio, ID_fraAO, 168, 2, 112, 160, "Audio streams order", 0, 0},
    {"lstAO_code", T::List, kPageAudio, ID_lstAO_code, 176, 14, 42, 142, nullptr, 0, 0},
    {"lstAO_name", T::List, kPageAudio, ID_lstAO_name, 220, 14, 54, 142, nullptr, 0, 0},

    // ---- Subtitles ----------------------------------------------------------------------
    {"fraSL", T::Frame, kPageSubtitles, ID_fraSL, 4, 2, 158, 160, "Subtitles list", 'l', 0},
    {"lstSL", T::CheckedList, kPageSubtitles, ID_lstSL, 12, 14, 142, 124, nullptr, 0, 0},
    {"cmdSSA", T::Button, kPageSubtitles, ID_cmdSSA, 12, 142, 66, 14, nullptr, 'a', 0},
    {"cmdSSN", T::Button, kPageSubtitles, ID_cmdSSN, 88, 142, 66, 14, nullptr, 'n', 0},
    {"fraSO", T::Frame, kPageSubtitles, ID_fraSO, 168, 2, 112, 160, "Subtitles order", 0, 0},
    {"lstSO_code", T::List, kPageSubtitles, ID_lstSO_code, 176, 14, 42, 142, nullptr, 0, 0},
    {"lstSO_name", T::List, kPageSubtitles, ID_lstSO_name, 220, 14, 54, 142, nullptr, 0, 0},

    // ---- Preferences --------------------------------------------------------------------
    {"fraSub", T::Frame, kPagePreferences, ID_fraSub, 4, 2, 276, 32, "Subtitles", 0, 0},
    {nullptr, T::Label, kPagePreferences, 0, 12, 17, 34, 8, "Format:", 0, 0},
    {"optSub_VOBSUB", T::Option, kPagePreferences, ID_optSub_VOBSUB, 50, 16, 56, 10, nullptr, 'V', 0},
    {"optSub_SRT", T::Option, kPagePreferences, ID_optSub_SRT, 110, 16, 44, 10, nullptr, 'R', 0},
    {"fraAud", T::Frame, kPagePreferences, ID_fraAud, 4, 38, 276, 70, "Audio", 0, 0},
    {nullptr, T::Label, kPagePreferences, 0, 12, 53, 34, 8, "Format:", 0, 0},
    {"optAud_AC3", T::Option, kPagePreferences, ID_optAud_AC3, 50, 52, 40, 10, nullptr, 'C', 0},
    {"optAud_OGG", T::Option, kPagePreferences, ID_optAud_OGG, 94, 52, 40, 10, nullptr, 'G', 0},
    {"optAud_MP3", T::Option, kPagePreferences, ID_optAud_MP3, 138, 52, 40, 10, nullptr, 'M', 0},
    {"cmbAudQual", T::Label, kPagePreferences, 0, 12, 74, 34, 8, nullptr, 'Q', 0},
    {"cmbAudQual", T::Combo, kPagePreferences, ID_cmbAudQual, 50, 72, 64, 120, nullptr, 0, 0},
    {"chkOrig", T::Check, kPagePreferences, ID_chkOrig, 126, 73, 56, 10, nullptr, 'i', 0},
    {"chk51", T::Check, kPagePreferences, ID_chk51, 188, 73, 64, 10, nullptr, '5', 0},
    {"fraMS", T::Frame, kPagePreferences, ID_fraMS, 4, 112, 276, 32, "Media size", 's', 0},
    {"cmbMS", T::Combo, kPagePreferences, ID_cmbMS, 12, 125, 64, 120, nullptr, 0, 0},
    {"cmbMS", T::Label, kPagePreferences, 0, 80, 127, 24, 8, nullptr, 0, 0},

    // ---- Advanced -----------------------------------------------------------------------
    {"fraAdAud", T::Frame, kPageAdvanced, ID_fraAdAud, 4, 2, 276, 48, "Audio", 0, 0},
    {"cmbBS_DC", T::Label, kPageAdvanced, 0, 12, 16, 84, 8, nullptr, 'D', 0},
    {"cmbBS_DC", T::Combo, kPageAdvanced, ID_cmbBS_DC, 100, 14, 76, 100, nullptr, 0, 0},
    {"cmbBS_CM", T::Label, kPageAdvanced, 0, 12, 32, 84, 8, nullptr, 'C', 0},
    {"cmbBS_CM", T::Combo, kPageAdvanced, ID_cmbBS_CM, 100, 30, 76, 100, nullptr, 0, 0},
    {"fraAdVid", T::Frame, kPageAdvanced, ID_fraAdVid, 4, 54, 276, 108, "Video", 0, 0},
    {"fraAC", T::Frame, kPageAdvanced, ID_fraAC, 10, 66, 84, 90, "AutoCrop", 0, 0},
    {"chkAC", T::Check, kPageAdvanced, ID_chkAC, 18, 80, 68, 10, nullptr, 'E', 0},
    {"txtAC_Threshold", T::Label, kPageAdvanced, 0, 18, 98, 38, 8, nullptr, 'T', 0},
    {"txtAC_Threshold", T::Edit, kPageAdvanced, ID_txtAC_Threshold, 58, 96, 28, 12, nullptr, 0, 0},
    {"txtAC_Samples", T::Label, kPageAdvanced, 0, 18, 114, 38, 8, nullptr, 'S', 0},
    {"txtAC_Samples", T::Edit, kPageAdvanced, ID_txtAC_Samples, 58, 112, 28, 12, nullptr, 0, 0},
    {"fraResize", T::Frame, kPageAdvanced, ID_fraResize, 100, 66, 84, 90, "Resize", 'R', 0},
    {"chkResize", T::Check, kPageAdvanced, ID_chkResize, 108, 80, 68, 10, nullptr, 'b', 0},
    {"cmbResize", T::Combo, kPageAdvanced, ID_cmbResize, 108, 96, 68, 100, nullptr, 0, 0},
    {"fraMisc", T::Frame, kPageAdvanced, ID_fraMisc, 190, 66, 84, 90, "XviD", 0, 0},
    {"chkForceFilm", T::Check, kPageAdvanced, ID_chkForceFilm, 198, 80, 70, 10, nullptr, 'i', 0},
    {"chkDeinterlace", T::Check, kPageAdvanced, ID_chkDeinterlace, 198, 94, 70, 10, nullptr, 'n', 0},
    {"chkIVTC", T::Check, kPageAdvanced, ID_chkIVTC, 198, 108, 70, 10, nullptr, 'V', 0},
    {"cmdCfgCodec", T::Button, kPageAdvanced, ID_cmdCfgCodec, 198, 134, 64, 14, nullptr, 'g', 0},

    // ---- Row under the tabs (relative to the row's top left corner) ---------------------
    {"txtVB", T::Label, kRowPage, 0, 4, 6, 24, 8, nullptr, 0, 0},
    {"txtVB", T::Edit, kRowPage, ID_txtVB, 30, 4, 40, 12, nullptr, 0, 0},
    {"txtAB", T::Label, kRowPage, 0, 80, 6, 24, 8, nullptr, 0, 0},
    {"txtAB", T::Edit, kRowPage, ID_txtAB, 106, 4, 40, 12, nullptr, 0, 0},
    {"cmdJO", T::Button, kRowPage, ID_cmdJO, 200, 3, 92, 14, nullptr, 0, 0},
};

constexpr const char* kPageTitles[kPageCount] = {"Video", "Audio", "Subtitles", "Preferences",
                                                 "Advanced"};

}  // namespace

std::span<const ControlRow> ControlTable() { return kControls; }

const char* PageTitle(int page) {
  return page >= 0 && page < kPageCount ? kPageTitles[page] : "";
}

}  // namespace ravlo
