#pragma once
// Keeps the Qt widgets in step with the fields of the record, as the Win32 binding does:
// a user's edit writes the field (which raises its event); any change of the field, whoever
// made it, is shown again. The widgets hold nothing the field does not.

#include "frame/control_table.h"

class QAction;
class QMenu;
class QWidget;

namespace ravlo {

// `label`: the field's caption beside the control, or null.
void BindWidget(Field& field, QWidget* control, QWidget* label, ControlType type);
void BindAction(Field& field, QAction* action);
void BindPopup(Field& field, QMenu* popup);

}  // namespace ravlo
