#include "platform/win32_system_function.h"
#include "frame/win32/controls.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "frame/win32/control_table.h"

namespace ravlo {
namespace {

// Caption as the control shows it: literal ampersands doubled, the access key marked at the
// first word that starts with it, else at its first occurrence.
std::string CaptionWithKey(const std::string& caption, char key) {
  size_t keyAt = std::string::npos;
  for (size_t i = 0; key && i < caption.size() && keyAt == std::string::npos; ++i) {
    if (caption[i] == key && (i == 0 || caption[i - 1] == ' ')) keyAt = i;
  }
  if (key && keyAt == std::string::npos) keyAt = caption.find(key);
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (i == keyAt) shown += '&';
    if (caption[i] == '&') shown += '&';
    shown += caption[i];
  }
  return shown;
}

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
      return {"LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
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
  struct Created {
    Field* field;
    HWND window;
    ControlType type;
  };
  std::vector<Created> controls, labels;
  const Field* previous = nullptr;
  for (const ControlRow& row : ControlTable()) {
    if (row.page != page) continue;
    Field* field = row.type == ControlType::Frame ? nullptr
                   : row.field                    ? settings.Find(row.field)
                                                   : nullptr;
    std::string caption = row.text ? row.text : field ? field->Caption() : "";
    Style style = StyleOf(row.type, field);
    // Every control starts a group except an option that continues its predecessor's group,
    // so arrow keys move within one option group only.
    const bool continuesGroup = row.type == ControlType::Option && previous && field &&
                                previous->Group() && previous->Group() == field->Group();
    if (!continuesGroup) style.style |= WS_GROUP;
    if (row.type == ControlType::Option && !continuesGroup) style.style |= WS_TABSTOP;
    const bool hasText = row.type != ControlType::Picture && row.type != ControlType::Edit &&
                         row.type != ControlType::Combo && row.type != ControlType::List &&
                         row.type != ControlType::CheckedList;
    const std::string shown = hasText ? CaptionWithKey(caption, row.accessKey) : "";
    HWND window = CreateWindowExA(
        style.exStyle, style.className, shown.c_str(), WS_CHILD | WS_VISIBLE | style.style,
        origin.x + ToPixelsX(units, row.x), origin.y + ToPixelsY(units, row.y),
        ToPixelsX(units, row.cx), ToPixelsY(units, row.cy), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id > 0 ? row.id : -1)),
        GetModuleHandleA(nullptr), nullptr);
    if (!window) continue;
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (row.type == ControlType::CheckedList) SetUpCheckedList(window);
    if (row.type == ControlType::Picture) SetUpPicture(window, row.icon);
    if (!field) {
      previous = nullptr;
      continue;
    }
    if (row.type == ControlType::Label) {
      labels.push_back({field, window, row.type});
    } else {
      controls.push_back({field, window, row.type});
    }
    previous = row.type == ControlType::Option ? field : nullptr;
  }
  for (const Created& control : controls) {
    HWND label = nullptr;
    for (const Created& candidate : labels) {
      if (candidate.field == control.field) label = candidate.window;
    }
    BindControl(binding, *control.field, control.window, label, control.type);
  }
}

}  // namespace ravlo
