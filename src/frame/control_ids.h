#pragma once
// Control and menu command ids of the main window, one per field of frame/field_list.h, named
// after the field so that a reader (or the GUI test) finds a control by the name the rest of
// the program uses.

namespace ravlo {

enum ControlId : int {
  // Controls that show a field, in window order
  kFirstControlId = 1000,
#define RAVLO_FIELD(name, ...) ID_##name,
#define RAVLO_PICTURE(name, ...) ID_##name,
#include "frame/field_list.h"
  kControlIdEnd,

  // Containers
  ID_tabMain = 1101,
#define RAVLO_FRAME(name, ...) ID_##name,
#include "frame/field_list.h"
  kFrameIdEnd,

  // Menu commands (also the accelerator commands)
  kFirstMenuId = 1200,
#define RAVLO_MENU(name, ...) ID_##name,
#include "frame/field_list.h"
  kMenuIdEnd,
};
static_assert(kControlIdEnd <= ID_tabMain && kFrameIdEnd <= kFirstMenuId,
              "the id ranges of controls, containers and menu commands overlap");

// Tab pages of tabMain, in tab order; the row under the tabs lives on the main window itself.
enum TabPage : int { kPageRow = -1, kPageVideo, kPageAudio, kPageSubtitles, kPagePreferences,
                     kPageAdvanced, kPageCount };

}  // namespace ravlo
