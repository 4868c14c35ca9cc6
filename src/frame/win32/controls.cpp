#include "platform/win32_system_function.h"
#include "frame/win32/controls.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "frame/access_key.h"
#include "frame/control_table.h"

namespace ravlo {
namespace {

struct Style {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

Style StyleOf(ControlType type, const Field* field) {
  switch (type) {
    case ControlType::Frame: return {"BUTTON", BS_GROUPBOX, 0};
    case ControlType::Label: return {"STATIC", SS_LEFT, 0};
    case ControlType::Edit: {
      DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      if (field && field->ReadOnly()) style |= ES_READONLY;
      return {"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case ControlType::Combo:
      return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlType::Option: return {"BUTTON", BS_AUTORADIOBUTTON, 0};
    case ControlType::Check: return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlType::Button: return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlType::List:
      return {"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlType::CheckedList:
      return {WC_LISTVIEWA,
              LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case ControlType::Picture: return {"STATIC", SS_ICON | SS_CENTERIMAGE, 0};
  }
  return {"STATIC", 0, 0};
}

void SetUpCheckedList(HWND view) {
  ListView_SetExtendedListViewStyle(view, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client;
  GetClientRect(view, &client);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void SetUpPicture(HWND picture, int icon) {
  // Shared system-size icons need no clean-up and follow the DPI.
  HANDLE image = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon), IMAGE_ICON,
                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED);
  if (image) SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_COMMAND:
    case WM_NOTIFY: {
      // The main window's one procedure handles every control notification.
      const LRESULT result = SendMessageA(GetParent(page), message, wParam, lParam);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace

HFONT CreateDialogFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    if (HFONT font = CreateFontIndirectA(&metrics.lfMessageFont)) return font;
  }
  LOGFONTA fallback{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
  return CreateFontIndirectA(&fallback);
}

DialogUnits MeasureDialogUnits(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SIZE size{};
  GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return {static_cast<int>((size.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
}

int ToPixelsX(const DialogUnits& units, int x) { return MulDiv(x, units.baseX, 4); }
int ToPixelsY(const DialogUnits& units, int y) { return MulDiv(y, units.baseY, 8); }

HWND CreatePage(HWND mainWindow, const RECT& rect) {
  // An empty dialog template: the controls are created from the control table.
  struct alignas(4) PageTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
  } page{};
  page.header.style = WS_CHILD | DS_CONTROL;
  HWND window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &page.header, mainWindow,
                                           PageProc, 0);
  if (!window) return nullptr;
  // With visual styles the page takes the tab body's look instead of the plain dialog colour.
  static auto* enableThemeTexture =
      SystemFunction<decltype(EnableThemeDialogTexture)>("uxtheme.dll", "EnableThemeDialogTexture");
  if (enableThemeTexture) enableThemeTexture(window, ETDT_ENABLETAB);
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  return window;
}

void CreateControls(HWND parent, int page, POINT origin, const DialogUnits& units, HFONT font,
                    ProjectSettings& settings, const std::shared_ptr<Binding>& binding) {
  const Field* previous = nullptr;
  auto create = [&](ControlType type, const Field* field, const Box& box, int id,
                    const std::string& text, DWORD groupStyle) {
    Style style = StyleOf(type, field);
    style.style |= groupStyle;
    HWND window = CreateWindowExA(
        style.exStyle, style.className, text.c_str(), WS_CHILD | WS_VISIBLE | style.style,
        origin.x + ToPixelsX(units, box.x), origin.y + ToPixelsY(units, box.y),
        ToPixelsX(units, box.cx), ToPixelsY(units, box.cy), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id > 0 ? id : -1)),
        GetModuleHandleA(nullptr), nullptr);
    if (window) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
  };
  for (const ControlRow& row : ControlTable()) {
    if (row.page != page) continue;
    if (!row.field) {  // frames and free labels
      create(row.type, nullptr, row.box, row.id, CaptionWithKey(row.text, row.accessKey),
             WS_GROUP);
      previous = nullptr;
      continue;
    }
    Field& field = settings.*row.field;
    const bool hasLabel = row.label.cx > 0;
    // A label left of its control comes first, so that its access key reaches the control.
    const bool labelFirst = hasLabel && row.label.x < row.box.x;
    const std::string caption = CaptionWithKey(field.Caption(), row.accessKey);
    HWND label = nullptr;
    if (labelFirst) label = create(ControlType::Label, &field, row.label, 0, caption, WS_GROUP);
    // Every control starts a group except an option that continues its predecessor's group,
    // so arrow keys move within one option group only.
    const bool continuesGroup = row.type == ControlType::Option && previous &&
                                previous->Group() && previous->Group() == field.Group();
    DWORD groupStyle = continuesGroup ? 0 : WS_GROUP;
    if (row.type == ControlType::Option && !continuesGroup) groupStyle |= WS_TABSTOP;
    const bool showsCaption = !hasLabel && (row.type == ControlType::Option ||
                                            row.type == ControlType::Check ||
                                            row.type == ControlType::Button);
    HWND control = create(row.type, &field, row.box, row.id, showsCaption ? caption : "",
                          groupStyle);
    if (hasLabel && !labelFirst) {
      label = create(ControlType::Label, &field, row.label, 0, caption, WS_GROUP);
    }
    previous = row.type == ControlType::Option ? &field : nullptr;
    if (!control) continue;
    if (row.type == ControlType::CheckedList) SetUpCheckedList(control);
    if (row.type == ControlType::Picture) SetUpPicture(control, row.icon);
    BindControl(binding, field, control, label, row.type);
  }
}

}  // namespace ravlo
