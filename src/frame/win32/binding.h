#pragma once
// Keeps the controls of the main window in step with the fields of the settings record.
//
// User edits go one way: a control's notification writes its field, which raises the field's
// event. Repaints go the other way: every field change, whoever wrote it, makes the window
// show the field again. The window keeps no value of its own; while it writes into a control
// from a field, the control's notifications are ignored so that nothing is written back.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "frame/field.h"
#include "frame/control_table.h"

namespace ravlo {

struct BoundControl {
  Field* field;
  HWND control;
  HWND label;  // the field's caption shown beside it, or null
  ControlType type;
};

struct Binding {
  std::vector<BoundControl> controls;
  int repainting = 0;  // > 0 while the window itself writes into controls
  bool alive = true;   // false once the window is gone (fields keep their watchers)
};

// Shows `field` in `control` now and after every later change of the field. The field's
// watcher shares ownership of the binding, because a field outlives the window.
void BindControl(const std::shared_ptr<Binding>& binding, Field& field, HWND control, HWND label,
                 ControlType type);

// A WM_COMMAND notification from a control: writes the control's field. True when handled.
bool ForwardCommand(Binding& binding, HWND control, int code);
// A WM_NOTIFY from a control (check marks of the checked lists). True when handled.
bool ForwardNotify(Binding& binding, const NMHDR& header);

// The window is going away: watchers stop touching its controls.
void ReleaseBinding(Binding& binding);

}  // namespace ravlo
