#include "platform/win32_system_function.h"
#include "frame/win32/main_window.h"

#include <commctrl.h>

#include <memory>

#include "frame/constants.h"
#include "frame/win32/binding.h"
#include "frame/control_ids.h"
#include "frame/control_table.h"
#include "frame/win32/controls.h"
#include "frame/win32/menus.h"
#include "frame/win32/resource_ids.h"
#include "platform/win32_platform.h"

namespace ravlo {
namespace {

constexpr char kClassName[] = "RavloMainWindow";

// What the window needs to find its parts again; the values live in the record.
struct MainWindow {
  AppState* app = nullptr;
  HWND tab = nullptr;
  HWND pages[kPageCount] = {};
  HFONT font = nullptr;
  HACCEL shortcuts = nullptr;
  std::shared_ptr<Binding> binding = std::make_shared<Binding>();
  HWND lastFocus = nullptr;  // restored when the window is activated again
};

MainWindow* DataOf(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void ShowPage(MainWindow& data, int page) {
  HWND focus = GetFocus();
  for (int i = 0; i < kPageCount; ++i) {
    if (i == page) continue;
    if (focus && IsChild(data.pages[i], focus)) SetFocus(data.tab);
    ShowWindow(data.pages[i], SW_HIDE);
  }
  ShowWindow(data.pages[page], SW_SHOW);
}

void SelectPage(MainWindow& data, int page) {
  SendMessageA(data.tab, TCM_SETCURSEL, page, 0);
  ShowPage(data, page);
}

void MoveFocus(HWND window, HWND next) {
  if (!next) return;
  SetFocus(next);
  // Like a dialog: an edit reached by the keyboard has its text selected.
  if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageA(next, EM_SETSEL, 0, -1);
  }
  (void)window;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* data = DataOf(window);
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_COMMAND:
      if (!data) break;
      if (lParam == 0) {  // a menu item or a shortcut
        RunMenuCommand(data->app->settings, LOWORD(wParam));
      } else {
        ForwardCommand(*data->binding, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      }
      return 0;
    case WM_NOTIFY: {
      if (!data) break;
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.hwndFrom == data->tab) {
        if (header.code == TCN_SELCHANGE) {
          ShowPage(*data, static_cast<int>(SendMessageA(data->tab, TCM_GETCURSEL, 0, 0)));
        }
        return 0;
      }
      ForwardNotify(*data->binding, header);
      return 0;
    }
    case WM_NEXTDLGCTL:
      // Sent by IsDialogMessage for Tab and access keys; a plain window has to answer it.
      MoveFocus(window, lParam ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(window, GetFocus(), wParam != 0));
      return 0;
    case WM_ACTIVATE:
      if (!data) break;
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) data->lastFocus = focus;
      } else {
        HWND focus = data->lastFocus && IsWindow(data->lastFocus) &&
                             IsWindowVisible(data->lastFocus)
                         ? data->lastFocus
                         : data->tab;
        SetFocus(focus);
      }
      return 0;
    case WM_DESTROY:
      if (data) {
        ReleaseBinding(*data->binding);
        if (data->shortcuts) DestroyAcceleratorTable(data->shortcuts);
        data->shortcuts = nullptr;
      }
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      if (data) {
        if (data->font) DeleteObject(data->font);
        delete data;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(instance, kClassName, &windowClass)) return true;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_RAVLO3), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_RAVLO3), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  return RegisterClassExA(&windowClass) != 0;
}

// Builds the tab control, the pages and the row, and sizes the window around them.
void BuildContent(HWND window, MainWindow& data) {
  const DialogUnits units = MeasureDialogUnits(window, data.font);
  const int margin = ToPixelsX(units, kMargin);
  HINSTANCE instance = GetModuleHandleA(nullptr);

  data.tab = CreateWindowExA(0, WC_TABCONTROLA, "",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_GROUP,
                             margin, margin, 100, 100, window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_tabMain)), instance,
                             nullptr);
  SendMessageA(data.tab, WM_SETFONT, reinterpret_cast<WPARAM>(data.font), FALSE);
  for (int page = 0; page < kPageCount; ++page) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(PageTitle(page));
    SendMessageA(data.tab, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
  }
  // The tab control is as large as its pages need, whatever the font and DPI.
  RECT tabRect{margin, margin, margin + ToPixelsX(units, kPageWidth),
               margin + ToPixelsY(units, kPageHeight)};
  SendMessageA(data.tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tabRect));
  OffsetRect(&tabRect, margin - tabRect.left, margin - tabRect.top);
  SetWindowPos(data.tab, nullptr, tabRect.left, tabRect.top, tabRect.right - tabRect.left,
               tabRect.bottom - tabRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT pageRect = tabRect;
  SendMessageA(data.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&pageRect));

  ProjectSettings& settings = data.app->settings;
  for (int page = 0; page < kPageCount; ++page) {
    data.pages[page] = CreatePage(window, pageRect);
    CreateControls(data.pages[page], page, POINT{0, 0}, units, data.font, settings,
                   data.binding);
  }
  CreateControls(window, kPageRow, POINT{margin - ToPixelsX(units, kMargin), tabRect.bottom},
                 units, data.font, settings, data.binding);

  RECT frame{0, 0, tabRect.right + margin, tabRect.bottom + ToPixelsY(units, kRowHeight)};
  AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), TRUE,
                     GetWindowLongA(window, GWL_EXSTYLE));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowPage(data, kPageVideo);
}

}  // namespace

HWND CreateMainWindow(AppState& app) {
  INITCOMMONCONTROLSEX classes{sizeof classes,
                               ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  // Bound here rather than imported, so that scripted runs never load the control library.
  static auto* initCommonControls =
      SystemFunction<decltype(InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
  if (initCommonControls) initCommonControls(&classes);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterMainWindowClass(instance)) return nullptr;

  auto* data = new MainWindow;
  data->app = &app;
  // Fixed size: no sizing border, no maximise box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, kWindowCaption, style,
                                CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr,
                                instance, data);
  if (!window) {
    delete data;
    return nullptr;
  }
  data->font = CreateDialogFont();
  SetMenu(window, CreateMenuBar(app.settings, data->binding, window));
  data->shortcuts = CreateShortcuts();
  BuildContent(window, *data);
  data->lastFocus = data->tab;
  return window;
}

bool TranslateMainWindowMessage(HWND frmMain, MSG& message) {
  MainWindow* data = IsWindow(frmMain) ? DataOf(frmMain) : nullptr;
  if (!data) return false;
  if (data->shortcuts && TranslateAcceleratorA(frmMain, data->shortcuts, &message)) return true;
  if (message.message == WM_KEYDOWN && (GetKeyState(VK_CONTROL) & 0x8000) &&
      (message.hwnd == frmMain || IsChild(frmMain, message.hwnd))) {
    const int current = CurrentPage(frmMain);
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int next = -1;
    if (message.wParam == VK_TAB) next = shift ? current + kPageCount - 1 : current + 1;
    if (message.wParam == VK_NEXT) next = current + 1;
    if (message.wParam == VK_PRIOR) next = current + kPageCount - 1;
    if (next >= 0) {
      SelectPage(*data, next % kPageCount);
      return true;
    }
  }
  return IsDialogMessageA(frmMain, &message) != 0;
}

int RunMessageLoop(HWND frmMain) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateMainWindowMessage(frmMain, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

int CurrentPage(HWND frmMain) {
  MainWindow* data = DataOf(frmMain);
  return data ? static_cast<int>(SendMessageA(data->tab, TCM_GETCURSEL, 0, 0)) : -1;
}

int RunMainWindow(AppState& app, Win32Platform& platform, const std::function<void()>& formLoad,
                  int showCommand) {
  HWND window = CreateMainWindow(app);
  if (!window) return 1;
  platform.SetMainWindow(window);
  // Start-up runs before the window is shown, so the user never sees the empty record.
  if (formLoad) formLoad();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  const int exitCode = RunMessageLoop(window);
  platform.SetMainWindow(nullptr);
  return exitCode;
}

}  // namespace ravlo
