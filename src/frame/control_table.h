#pragma once
// Every control of the main window, as frame/field_list.h declares it: which field it shows,
// what kind of control it is, on which tab page and where. Both windows (Win32 and Qt) create
// their controls from this table in order, so the order is also the Tab-key order within each
// page.

#include <span>

#include "frame/project_settings.h"

namespace ravlo {

enum class ControlType {
  Frame,        // group box (a container; no field)
  Label,        // static text; with a field it is that field's caption
  Edit,         // text field
  Combo,        // editable combo box
  Option,       // option button
  Check,        // check box
  Button,       // push button
  List,         // plain list box
  CheckedList,  // list view with check boxes
  Picture,      // icon from the resources
};

// A place in dialog units, relative to the page (the row under the tabs: to its corner).
struct Box {
  short x = 0, y = 0, cx = 0, cy = 0;
};

struct ControlRow {
  Field ProjectSettings::*field;  // the field shown; null for frames and free labels
  ControlType type;
  int page;           // TabPage, or kPageRow
  int id;             // ControlId; 0 for free labels
  Box box;
  Box label;          // the field's caption beside the control; cx 0 when it has none
  const char* text;   // frames and free labels; otherwise the field's caption is shown
  char accessKey;     // letter of the caption to underline (on the label if there is one)
  int icon;           // Picture: icon resource id
  const char* tip;    // what the field's control is for; "" for frames and free labels
};

std::span<const ControlRow> ControlTable();

// Size of every tab page's content and of the whole client area, in dialog units.
inline constexpr short kPageWidth = 284, kPageHeight = 164;
inline constexpr short kMargin = 4;
inline constexpr short kRowHeight = 22;

// Page names in tab order.
const char* PageTitle(int page);

}  // namespace ravlo
