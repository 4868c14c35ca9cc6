#include "frame/win32/binding.h"

#include <string>

namespace ravlo {
namespace {

std::string WindowText(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(length + 1, '\0');
  const int copied = GetWindowTextA(control, text.data(), length + 1);
  text.resize(copied > 0 ? copied : 0);
  return text;
}

void ShowText(HWND control, const std::string& text) {
  if (WindowText(control) != text) SetWindowTextA(control, text.c_str());
}

void ShowFlags(HWND window, bool enabled, bool visible) {
  if (!window) return;
  if (!IsWindowEnabled(window) != !enabled) EnableWindow(window, enabled);
  const bool shown = (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != visible) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

std::string ComboItem(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::string text(length + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

std::string ListItem(HWND list, int index) {
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::string text(length + 1, '\0');
  SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

std::string ListViewItem(HWND view, int index) {
  char buffer[512] = "";
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(view, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

// Items are rebuilt only when they differ, so that a repaint keeps scroll position and focus.
void ShowComboItems(HWND combo, const Field& field) {
  const int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  bool same = count == field.ItemCount();
  for (int i = 0; same && i < count; ++i) same = ComboItem(combo, i) == field.Item(i);
  if (same) return;
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : field.Items()) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
}

// The widest item decides: a list scrolls sideways rather than cut an item short.
void FitListExtent(HWND list) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const std::string text = ListItem(list, i);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx > widest) widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  // The item text starts a few pixels in from the left edge.
  SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + 2 * GetSystemMetrics(SM_CXEDGE), 0);
}

// The column is as wide as the longest item, and never narrower than the view.
void FitCheckedListColumn(HWND view) {
  SendMessageA(view, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
  RECT client;
  GetClientRect(view, &client);
  const int least = client.right - GetSystemMetrics(SM_CXVSCROLL);
  if (SendMessageA(view, LVM_GETCOLUMNWIDTH, 0, 0) < least) {
    SendMessageA(view, LVM_SETCOLUMNWIDTH, 0, least);
  }
}

void ShowListItems(HWND list, const Field& field) {
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  bool same = count == field.ItemCount();
  for (int i = 0; same && i < count; ++i) same = ListItem(list, i) == field.Item(i);
  if (same) return;
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : field.Items()) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  FitListExtent(list);
}

void ShowCheckedItems(HWND view, const Field& field) {
  const int count = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
  bool same = count == field.ItemCount();
  for (int i = 0; same && i < count; ++i) same = ListViewItem(view, i) == field.Item(i);
  if (!same) {
    SendMessageA(view, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < field.ItemCount(); ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      item.pszText = const_cast<char*>(field.Item(i).c_str());
      SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    FitCheckedListColumn(view);
  }
  for (int i = 0; i < field.ItemCount(); ++i) {
    if (ListView_GetCheckState(view, i) != static_cast<UINT>(field.IsChecked(i))) {
      ListView_SetCheckState(view, i, field.IsChecked(i));
    }
  }
}

void ShowCheck(HWND button, bool checked) {
  const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(SendMessageA(button, BM_GETCHECK, 0, 0)) != state) {
    SendMessageA(button, BM_SETCHECK, state, 0);
  }
}

void Repaint(Binding& binding, const BoundControl& bound) {
  if (!binding.alive) return;
  const Field& field = *bound.field;
  HWND control = bound.control;
  ++binding.repainting;
  switch (bound.type) {
    case ControlType::Edit:
      ShowText(control, field.Text());
      break;
    case ControlType::Combo:
      ShowComboItems(control, field);
      if (field.Selected() >= 0 &&
          SendMessageA(control, CB_GETCURSEL, 0, 0) != field.Selected()) {
        SendMessageA(control, CB_SETCURSEL, field.Selected(), 0);
      }
      ShowText(control, field.Text());
      break;
    case ControlType::Option:
    case ControlType::Check:
      ShowCheck(control, field.IsSet());
      break;
    case ControlType::List:
      ShowListItems(control, field);
      break;
    case ControlType::CheckedList:
      ShowCheckedItems(control, field);
      break;
    case ControlType::Button:
    case ControlType::Picture:
    case ControlType::Frame:
    case ControlType::Label:
      break;
  }
  ShowFlags(control, field.Enabled(), field.Visible());
  ShowFlags(bound.label, field.Enabled(), field.Visible());
  --binding.repainting;
}

const BoundControl* Find(const Binding& binding, HWND control) {
  for (const BoundControl& bound : binding.controls) {
    if (bound.control == control) return &bound;
  }
  return nullptr;
}

}  // namespace

void BindControl(const std::shared_ptr<Binding>& binding, Field& field, HWND control, HWND label,
                 ControlType type) {
  const size_t index = binding->controls.size();
  binding->controls.push_back({&field, control, label, type});
  field.Watch([binding, index](const Field&) { Repaint(*binding, binding->controls[index]); });
  Repaint(*binding, binding->controls[index]);
}

bool ForwardCommand(Binding& binding, HWND control, int code) {
  const BoundControl* bound = Find(binding, control);
  if (!bound) return false;
  if (binding.repainting > 0) return true;
  Field& field = *bound->field;
  switch (bound->type) {
    case ControlType::Edit:
      if (code != EN_CHANGE) return true;  // EN_UPDATE and the like come before the change
      field.SetText(WindowText(control));
      break;
    case ControlType::Combo:
      if (code == CBN_EDITCHANGE) {
        field.SetText(WindowText(control));
      } else if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
        if (index >= 0) field.Select(index);
      } else {
        return true;
      }
      break;
    case ControlType::Option:
      // A click on an option makes it the one of its group; the field clears the others.
      if (code != BN_CLICKED) return true;
      if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) field.SetValue(true);
      break;
    case ControlType::Check:
      if (code != BN_CLICKED) return true;
      field.SetValue(SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
      break;
    case ControlType::Button:
      if (code == BN_CLICKED && field.Enabled()) field.Click();
      return true;
    default:
      return true;
  }
  // A handler may have refused the change, leaving the field as it was: show what it holds.
  if (binding.alive) Repaint(binding, *bound);
  return true;
}

bool ForwardNotify(Binding& binding, const NMHDR& header) {
  const BoundControl* bound = Find(binding, header.hwndFrom);
  if (!bound) return false;
  if (binding.repainting > 0 || bound->type != ControlType::CheckedList) return true;
  if (header.code != LVN_ITEMCHANGED) return true;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return true;
  // State image 1 is the empty box, 2 the checked one; 0 means no box yet (item just added).
  const UINT oldImage = (change.uOldState & LVIS_STATEIMAGEMASK) >> 12;
  const UINT newImage = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
  if (oldImage == 0 || newImage == 0 || oldImage == newImage) return true;
  bound->field->SetChecked(change.iItem, newImage == 2);
  if (binding.alive) Repaint(binding, *bound);
  return true;
}

void ReleaseBinding(Binding& binding) { binding.alive = false; }

}  // namespace ravlo
