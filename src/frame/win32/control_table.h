#pragma once
// Every control of the main window in one table: which field it shows, what kind of Win32
// control it is, on which tab page and where. The window creates its controls from this table
// in order, so the order is also the Tab-key order within each page.

#include <span>

namespace ravlo {

enum class ControlType {
  Frame,        // group box (a container; no field)
  Label,        // static text; with a field name it is that field's label
  Edit,         // text field
  Combo,        // editable combo box
  Option,       // option button
  Check,        // check box
  Button,       // push button
  List,         // plain list box
  CheckedList,  // list view with check boxes
  Picture,      // icon from the resources
};

// The row under the tabs lives on the main window itself, not on a page.
inline constexpr int kRowPage = -1;

struct ControlRow {
  const char* field;  // the field shown (or labelled); for frames the frame's own name
  ControlType type;
  int page;           // TabPage, or kRowPage
  int id;             // ControlId; 0 for labels
  short x, y, cx, cy; // dialog units, relative to the page (the row: to the main window)
  const char* text;   // frames and free labels; otherwise the field's caption is shown
  char accessKey;     // letter of the caption to underline; 0 for none
  int icon;           // Picture: icon resource id
};

std::span<const ControlRow> ControlTable();

// Size of every tab page's content and of the whole client area, in dialog units.
inline constexpr short kPageWidth = 284, kPageHeight = 164;
inline constexpr short kMargin = 4;
inline constexpr short kRowHeight = 22;

// Page names in tab order.
const char* PageTitle(int page);

}  // namespace ravlo
