// Drives the real main window as a user would, in the window's own process (under Wine another
// process cannot read a window's menus, tab items or list views). Prints one line per check
// and exits with the number of failed checks.
//
//   gui_driver SHOTS_FOLDER            the window test; screenshots as BMP files in the folder
//   gui_driver --outside RAVLO3_EXE    starts the program, waits for its window, closes it

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/planner.h"
#include "fake_platform.h"
#include "frame/constants.h"
#include "frame/control_ids.h"
#include "frame/win32/main_window.h"
#include "gui_input.h"

using namespace ravlo;
using namespace ravlo::gui;

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s - %s\n", ok ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

void CheckText(const std::string& seen, const std::string& expected, const std::string& what) {
  Check(seen == expected, what + " (\"" + seen + "\", expected \"" + expected + "\")");
}

bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string MenuText(HMENU menu, int position) {
  char text[128] = "";
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

UINT MenuState(HWND window, int id) { return GetMenuState(GetMenu(window), id, MF_BYCOMMAND); }

std::string ListViewText(HWND view, int index) {
  char text[256] = "";
  LVITEMA item{};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(view, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

RECT ItemRect(HWND list, int index, int part) {
  RECT rect{};
  rect.left = part;
  SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
  return rect;
}

BOOL CALLBACK CountShown(HWND window, LPARAM count) {
  if (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Controls of the window (on every page) whose own visible style is set.
int ShownControls(HWND window) {
  int count = 0;
  EnumChildWindows(window, CountShown, reinterpret_cast<LPARAM>(&count));
  return count;
}

// Menu captions as the menu bar shows them, without their shortcut texts.
void MenuCaptions(HMENU menu, std::vector<std::string>& captions) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const std::string text = MenuText(menu, i);
    captions.push_back(text.substr(0, text.find('\t')));
    if (HMENU popup = GetSubMenu(menu, i)) MenuCaptions(popup, captions);
  }
}

std::string ListBoxText(HWND list, int index) {
  char text[256] = "";
  if (SendMessageA(list, LB_GETTEXTLEN, index, 0) < 255) {
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
  }
  return text;
}

// True when the list box scrolls far enough sideways to show every item whole.
bool ListBoxShowsItemsWhole(HWND list) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
  const int extent = static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
  RECT client;
  GetClientRect(list, &client);
  bool whole = true;
  for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    const std::string text = ListBoxText(list, i);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    whole = whole && (size.cx <= extent || size.cx < client.right);
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return whole;
}

struct MenuShot {
  HWND window;
  std::string path;
  bool opened = false, saved = false;
};

// Runs while the main thread sits in the menu loop: waits for the popup, photographs it and
// closes the menu with Escape (twice: the popup, then the menu bar).
DWORD WINAPI PhotographMenu(void* data) {
  auto* job = static_cast<MenuShot*>(data);
  for (int i = 0; i < 100 && !job->opened; ++i) {
    Sleep(50);
    HWND popup = FindWindowA("#32768", nullptr);
    job->opened = popup && IsWindowVisible(popup);
  }
  Sleep(300);
  if (job->opened) job->saved = SaveScreenArea(WindowWithMenus(job->window), job->path);
  PressKeys({VK_ESCAPE});
  Sleep(100);
  PressKeys({VK_ESCAPE});
  return 0;
}

DWORD WINAPI Watchdog(void*) {
  Sleep(15000);
  std::printf("FAIL - the message loop did not end after Alt+F4\n");
  std::fflush(stdout);
  ExitProcess(99);
}

class Driver {
 public:
  explicit Driver(std::string shots) : shots_(std::move(shots)) {}

  int Run() {
    ConnectHandlers(app_);
    window_ = CreateMainWindow(app_);
    Check(window_ != nullptr, "frmMain is created");
    if (!window_) return failures;
    LoadMainForm(app_);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    Pump(window_, 500);

    CheckLayout();
    CheckVideoPage();
    CheckPreferencesPage();
    CheckAdvancedPage();
    CheckAudioPage();
    CheckSubtitlesPage();
    CheckMenus();
    CheckClosing();
    return failures;
  }

 private:
  HWND Ctl(int id) { return FindControl(window_, id); }

  void Shot(const std::string& name) {
    Pump(window_, 200);
    const std::string path = shots_ + "\\" + name + ".bmp";
    Check(SaveScreenArea(WindowWithMenus(window_), path), "screenshot " + name);
  }

  void ShowTab(int page) {
    HWND tab = Ctl(ID_tabMain);
    RECT item;
    SendMessageA(tab, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&item));
    ClickClient(tab, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    Pump(window_);
    Check(CurrentPage(window_) == page, "a click on tab " + std::to_string(page) + " brings it to the front");
  }

  void CheckLayout() {
    CheckText(TextOf(window_), kWindowCaption, "window caption");
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    Check(!(style & WS_THICKFRAME) && !(style & WS_MAXIMIZEBOX), "the window has a fixed size");
    HWND tab = Ctl(ID_tabMain);
    Check(tab && SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) == 5, "tabMain has five tabs");
    const char* titles[] = {"Video", "Audio", "Subtitles", "Preferences", "Advanced"};
    for (int i = 0; i < 5; ++i) {
      char text[64] = "";
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
      CheckText(text, titles[i], "tab " + std::to_string(i));
    }
    Check(CurrentPage(window_) == kPageVideo && IsWindowVisible(Ctl(ID_txtTitle)) &&
              !IsWindowVisible(Ctl(ID_lstAL)),
          "the window opens with Video in front");
    const std::pair<int, const char*> frames[] = {
        {ID_fraInfo, "Info"}, {ID_fraType, "Type"}, {ID_fraAR, "Aspect Ratio"},
        {ID_fraLength, "Length"}, {ID_fraAL, "Audio streams &list"},
        {ID_fraAO, "Audio streams order"}, {ID_fraSL, "Subtitles &list"},
        {ID_fraSO, "Subtitles order"}, {ID_fraSub, "Subtitles"}, {ID_fraAud, "Audio"},
        {ID_fraMS, "Media &size"}, {ID_fraAdAud, "Audio"}, {ID_fraAdVid, "Video"},
        {ID_fraAC, "AutoCrop"}, {ID_fraResize, "&Resize"}, {ID_fraMisc, "XviD"}};
    for (const auto& [id, caption] : frames) CheckText(TextOf(Ctl(id)), caption, "frame caption");
    // Every field of the record that is a control has one, found by its id.
    int missing = 0;
    for (int id = ID_txtTitle; id <= ID_cmdJO; ++id) missing += Ctl(id) ? 0 : 1;
    Check(missing == 0, "every field control exists (" + std::to_string(missing) + " missing)");
    // Every field of the record shows in the window: a menu field as a menu caption, any other
    // field in controls that follow its visible flag.
    std::vector<std::string> captions;
    MenuCaptions(GetMenu(window_), captions);
    std::string unseen;
    for (Field* field : s_.All()) {
      bool seen;
      if (field->Kind() == FieldKind::Menu || field->Kind() == FieldKind::MenuCheck) {
        seen = std::find(captions.begin(), captions.end(), field->Caption()) != captions.end();
      } else {
        const bool visible = field->Visible();
        const int before = ShownControls(window_);
        field->SetVisible(!visible);
        seen = ShownControls(window_) != before;
        field->SetVisible(visible);
      }
      if (!seen) unseen += " " + field->Name();
    }
    Check(unseen.empty(), "every field of the record shows in the window (not shown:" + unseen + ")");
    CheckText(TextOf(Ctl(ID_cmdJO)), kHostName, "the web button shows the host name");
    CheckText(TextOf(Ctl(ID_txtVB)), "0", "txtVB after start-up");
    CheckText(TextOf(Ctl(ID_txtAB)), "128", "txtAB after start-up");
    Check(GetWindowLongA(Ctl(ID_txtVB), GWL_STYLE) & ES_READONLY, "txtVB is read-only");
    HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window_, GCLP_HICON));
    Check(icon != nullptr, "the window class has the application icon");
  }

  void CheckVideoPage() {
    Check(!IsWindowVisible(Ctl(ID_picInfo_on)) && IsWindowVisible(Ctl(ID_picInfo_off)),
          "the unlit picture shows while no title is loaded");
    Shot("tab_video");
    s_.picInfo_on.SetVisible(true);
    s_.picInfo_off.SetVisible(false);
    Check(IsWindowVisible(Ctl(ID_picInfo_on)) && !IsWindowVisible(Ctl(ID_picInfo_off)),
          "the pictures follow their visible flags");
    Shot("tab_video_loaded");
    s_.picInfo_on.SetVisible(false);
    s_.picInfo_off.SetVisible(true);

    s_.txtAngle.SetText("1");
    CheckText(TextOf(Ctl(ID_txtAngle)), "1", "a program write shows in txtAngle");
    int changes = 0;
    s_.txtAngle.OnChange([&changes] { ++changes; });
    ClickWindow(Ctl(ID_txtAngle));
    Pump(window_);
    PressKeys({VK_END});
    TypeText("23");
    Pump(window_);
    CheckText(s_.txtAngle.Text(), "123", "typing writes txtAngle");
    Check(changes == 2, "one change event per keystroke (" + std::to_string(changes) + ")");

    // A read-only text cannot be typed into.
    ClickWindow(Ctl(ID_txtVB));
    Pump(window_);
    TypeText("77");
    Pump(window_);
    CheckText(s_.txtVB.Text(), "0", "typing into read-only txtVB changes nothing");
    CheckText(TextOf(Ctl(ID_txtVB)), "0", "txtVB still shows 0");

    ClickWindow(Ctl(ID_optNTSC));
    Pump(window_);
    Check(s_.optNTSC.IsSet() && !s_.optPAL.IsSet() && Checked(Ctl(ID_optNTSC)),
          "a click on NTSC sets it");
    s_.optPAL.SetValue(true);
    Check(Checked(Ctl(ID_optPAL)) && !Checked(Ctl(ID_optNTSC)),
          "setting PAL in the record moves the mark");
    ClickWindow(Ctl(ID_opt4_3));
    Pump(window_);
    Check(s_.opt4_3.IsSet() && s_.optPAL.IsSet(), "the aspect group is separate from the type group");
  }

  void CheckPreferencesPage() {
    ShowTab(kPagePreferences);
    Check(!IsWindowVisible(Ctl(ID_txtTitle)) && IsWindowVisible(Ctl(ID_cmbMS)),
          "only the controls of the page in front show");
    int changes = 0;
    s_.cmbMS.OnChange([&changes] { ++changes; });
    ClickWindow(Ctl(ID_cmbMS));
    Pump(window_);
    PressKeys({VK_END});
    PressKeys({VK_SHIFT, VK_HOME});
    TypeText("800");
    Pump(window_);
    CheckText(s_.cmbMS.Text(), "800", "typing a media size that is no item");
    CheckText(TextOf(Ctl(ID_cmbMS)), "800", "cmbMS shows 800");
    Check(changes == 3, "cmbMS change events (" + std::to_string(changes) + ")");

    ClickWindow(Ctl(ID_optAud_AC3));
    Pump(window_);
    Check(s_.optAud_AC3.IsSet() && !s_.optAud_MP3.IsSet(), "a click on AC3 selects it in the record");
    Check(Checked(Ctl(ID_optAud_AC3)) && !Checked(Ctl(ID_optAud_MP3)), "the window shows AC3 only");
    Check(IsWindowVisible(Ctl(ID_chkOrig)) == s_.chkOrig.Visible(), "chkOrig follows its visible flag");
    Check(!IsWindowEnabled(Ctl(ID_chk51)) == !s_.chk51.Enabled(), "chk51 follows its enabled flag");
    HWND quality = Ctl(ID_cmbAudQual);
    const int count = static_cast<int>(SendMessageA(quality, CB_GETCOUNT, 0, 0));
    Check(count == s_.cmbAudQual.ItemCount(), "cmbAudQual shows the AC3 quality items");
    CheckText(TextOf(quality), s_.cmbAudQual.Text(), "cmbAudQual text");
    Shot("tab_preferences");

    // AC3 keeps the original audio by default; a click converts it instead.
    Check(s_.chkOrig.IsSet() && Checked(Ctl(ID_chkOrig)), "AC3 checks Original");
    ClickWindow(Ctl(ID_chkOrig));
    Pump(window_);
    Check(!s_.chkOrig.IsSet() && !Checked(Ctl(ID_chkOrig)), "a click clears Original");
    Check(IsWindowEnabled(quality) == s_.cmbAudQual.Enabled(), "cmbAudQual follows its enabled flag");
    s_.optAud_MP3.SetValue(true);
    Check(Checked(Ctl(ID_optAud_MP3)) && !Checked(Ctl(ID_optAud_AC3)),
          "setting MP3 in the record shows in the window");
  }

  void CheckAdvancedPage() {
    PressKeys({VK_CONTROL, VK_TAB});
    Pump(window_);
    Check(CurrentPage(window_) == kPageAdvanced, "Ctrl+Tab goes to the next tab");
    int clicks = 0;
    s_.cmbResize.OnClick([&clicks] { ++clicks; });
    HWND resize = Ctl(ID_cmbResize);
    RECT rect;
    GetClientRect(resize, &rect);
    ClickClient(resize, POINT{rect.right - 6, rect.bottom / 2});  // the drop-down arrow
    Pump(window_, 300);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(resize, &info);
    RECT itemRect{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&itemRect));
    ClickClient(info.hwndList, POINT{(itemRect.left + itemRect.right) / 2,
                                     (itemRect.top + itemRect.bottom) / 2});
    Pump(window_, 300);
    CheckText(s_.cmbResize.Text(), "Bicubic", "picking Bicubic from the list");
    Check(clicks == 1, "one item event for the pick (" + std::to_string(clicks) + ")");
    CheckText(TextOf(resize), "Bicubic", "cmbResize shows Bicubic");

    ClickWindow(Ctl(ID_chkIVTC));
    Pump(window_);
    Check(s_.chkIVTC.Value() == 1 && Checked(Ctl(ID_chkIVTC)), "a click checks IVTC");
    PressKeys({VK_SPACE});
    Pump(window_);
    Check(s_.chkIVTC.Value() == 0 && !Checked(Ctl(ID_chkIVTC)), "space unchecks IVTC again");
    ClickWindow(Ctl(ID_chkAC));
    Pump(window_);
    Check(s_.chkAC.Value() == 0 && !Checked(Ctl(ID_chkAC)), "a click clears AutoCrop");
    s_.chkAC.SetValue(true);
    Check(Checked(Ctl(ID_chkAC)), "setting chkAC in the record checks the box");
    // Tab moves through the page in table order: the threshold text comes after the check box.
    SetFocus(Ctl(ID_chkAC));
    PressKeys({VK_TAB});
    Pump(window_);
    Check(GetFocus() == Ctl(ID_txtAC_Threshold), "Tab goes from Enabled to Threshold");
    PressKeys({VK_MENU, 'S'});  // access key of "Samples:"
    Pump(window_);
    Check(GetFocus() == Ctl(ID_txtAC_Samples), "Alt+S moves to Samples");
    Shot("tab_advanced");
  }

  void CheckAudioPage() {
    ShowTab(kPageAudio);
    for (const char* item : {"0x80. English (AC3, 6ch, 48kHz) ", "0x81. Deutsch (AC3, 2ch, 48kHz) ",
                             "0xA0. Francais (LPCM, 2ch, 48kHz) "}) {
      s_.lstAL.AddItem(item);
    }
    HWND list = Ctl(ID_lstAL);
    Check(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3 &&
              ListViewText(list, 1) == s_.lstAL.Item(1),
          "items added to lstAL show");
    for (int i = 0; i < 3; ++i) {
      const RECT text = ItemRect(list, i, LVIR_LABEL);
      const int needed = static_cast<int>(SendMessageA(
          list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(s_.lstAL.Item(i).c_str())));
      Check(text.right - text.left >= needed,
            "lstAL item " + std::to_string(i) + " has room for its whole text");
    }
    std::vector<int> events;
    s_.lstAL.OnItemCheck([&events](int index) { events.push_back(index); });

    // Keyboard: focus the first item by clicking its text, then space.
    RECT label = ItemRect(list, 0, LVIR_LABEL);
    ClickClient(list, POINT{label.left + 20, (label.top + label.bottom) / 2});
    Pump(window_);
    Check(events.empty(), "selecting an item checks nothing");
    PressKeys({VK_SPACE});
    Pump(window_);
    Check(s_.lstAL.IsChecked(0) && events == std::vector<int>{0}, "space checks item 0 once");
    PressKeys({VK_DOWN});
    PressKeys({VK_SPACE});
    Pump(window_);
    Check(s_.lstAL.IsChecked(1) && events == (std::vector<int>{0, 1}), "down, space checks item 1 once");

    // Mouse: the check box left of the third item's text.
    label = ItemRect(list, 2, LVIR_LABEL);
    const RECT bounds = ItemRect(list, 2, LVIR_BOUNDS);
    ClickClient(list, POINT{(bounds.left + label.left) / 2, (label.top + label.bottom) / 2});
    Pump(window_);
    Check(s_.lstAL.IsChecked(2) && events == (std::vector<int>{0, 1, 2}), "a click on the box checks item 2 once");
    HWND codes = Ctl(ID_lstAO_code);
    Check(SendMessageA(codes, LB_GETCOUNT, 0, 0) == 3 && ListBoxText(codes, 0) == "0x80o.ac3",
          "the audio order list shows the chosen streams");
    Check(ListBoxShowsItemsWhole(codes) && ListBoxShowsItemsWhole(Ctl(ID_lstAO_name)),
          "the audio order lists show their items whole");

    // Program: one event per changed mark, and the window follows.
    s_.lstAL.SetChecked(0, false);
    Check(events.size() == 4 && !ListView_GetCheckState(list, 0), "a program uncheck raises once and shows");
    ClickWindow(Ctl(ID_cmdASN));
    Pump(window_);
    Check(events.size() == 6, "Select none unchecks the two others (" + std::to_string(events.size()) + " events)");
    Check(!ListView_GetCheckState(list, 1) && !ListView_GetCheckState(list, 2) &&
              SendMessageA(codes, LB_GETCOUNT, 0, 0) == 0,
          "the window shows no check and an empty order");
    ClickWindow(Ctl(ID_cmdASA));
    Pump(window_);
    Check(events.size() == 9 && ListView_GetCheckState(list, 0) && ListView_GetCheckState(list, 2),
          "Select all checks all three");
    Shot("tab_audio");
  }

  void CheckSubtitlesPage() {
    ShowTab(kPageSubtitles);
    s_.lstSL.AddItem("0x20. English ");
    s_.lstSL.AddItem("0x21. Deutsch ");
    int events = 0;
    s_.lstSL.OnItemCheck([&events](int) { ++events; });
    HWND list = Ctl(ID_lstSL);
    const RECT label = ItemRect(list, 1, LVIR_LABEL);
    ClickClient(list, POINT{label.left + 20, (label.top + label.bottom) / 2});
    PressKeys({VK_SPACE});
    Pump(window_);
    Check(s_.lstSL.IsChecked(1) && events == 1, "space checks a subtitle once");
    Check(SendMessageA(Ctl(ID_lstSO_code), LB_GETCOUNT, 0, 0) == 1, "the subtitle order shows it");
    Shot("tab_subtitles");
  }

  void CheckMenus() {
    HMENU bar = GetMenu(window_);
    Check(GetMenuItemCount(bar) == 3, "three menus");
    CheckText(MenuText(bar, 0), "&File", "menu 0");
    CheckText(MenuText(bar, 1), "&Options", "menu 1");
    CheckText(MenuText(bar, 2), "?", "menu 2");
    const std::vector<std::vector<std::string>> items = {
        {"&New", "&Open IFO\tF5", "", "&Save\tF6", "Save &As\tF7", "", "Save && &Run\tF8", "",
         "E&xit"},
        {"&Delete temporary files\tCtrl+D", "Delete &logs\tCtrl+L", "&Shut down computer\tCtrl+S",
         "", "Set author..."},
        {"Help\tF1", "&About..."}};
    for (int m = 0; m < 3; ++m) {
      HMENU popup = GetSubMenu(bar, m);
      bool same = GetMenuItemCount(popup) == static_cast<int>(items[m].size());
      for (int i = 0; same && i < GetMenuItemCount(popup); ++i) {
        const bool separator = GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR;
        same = separator ? items[m][i].empty() : MenuText(popup, i) == items[m][i];
      }
      std::string what = "items of menu ";
      what += std::to_string(m);
      Check(same, what);
    }
    Check(MenuState(window_, ID_mnuSave) & MF_GRAYED, "Save starts disabled");
    Check(MenuState(window_, ID_chkDelTemp) & MF_CHECKED, "Delete temporary files starts checked");
    Check(!(MenuState(window_, ID_chkShutDown) & MF_CHECKED), "Shut down starts unchecked");

    PressKeys({VK_CONTROL, 'D'});
    PressKeys({VK_CONTROL, 'L'});
    PressKeys({VK_CONTROL, 'S'});
    Pump(window_);
    Check(!s_.chkDelTemp.IsSet() && !(MenuState(window_, ID_chkDelTemp) & MF_CHECKED), "Ctrl+D unchecks");
    Check(!s_.chkDelLogs.IsSet() && !(MenuState(window_, ID_chkDelLogs) & MF_CHECKED), "Ctrl+L unchecks");
    Check(s_.chkShutDown.IsSet() && (MenuState(window_, ID_chkShutDown) & MF_CHECKED), "Ctrl+S checks Shut down");
    int saves = 0;
    s_.mnuSave.OnClick([&saves] { ++saves; });
    s_.mnuSaveRun.OnClick([&saves] { ++saves; });
    Check(saves == 0 && platform_.CountCalls("BrowseForFolder") == 0, "Ctrl+S saves nothing");
    PressKeys({VK_F6});
    PressKeys({VK_F8});
    Pump(window_);
    Check(saves == 0, "F6 and F8 do nothing while the save commands are disabled");
    s_.mnuSave.SetEnabled(true);
    Check(!(MenuState(window_, ID_mnuSave) & MF_GRAYED), "enabling mnuSave shows in the menu");
    platform_.QueueCancel();  // the folder picker that Save opens
    PressKeys({VK_F6});
    Pump(window_);
    Check(saves == 1, "F6 saves once it is enabled");
    s_.mnuSave.SetEnabled(false);
    const int helpPages = platform_.CountCalls("ShellOpen OPEN|help.htm");
    PressKeys({VK_F1});
    Pump(window_);
    Check(platform_.CountCalls("ShellOpen OPEN|help.htm") == helpPages + 1, "F1 opens the help page");

    const char* names[] = {"menu_file", "menu_options", "menu_help"};
    for (int m = 0; m < 3; ++m) ShootMenu(m, names[m]);
  }

  // Opens menu m with a click on the menu bar, photographs it from a second thread while this
  // one sits in the menu loop, and closes it with Escape.
  void ShootMenu(int m, const std::string& name) {
    MenuShot job{window_, shots_ + "\\" + name + ".bmp"};
    HANDLE thread = CreateThread(nullptr, 0, PhotographMenu, &job, 0, nullptr);
    RECT item;
    GetMenuItemRect(window_, GetMenu(window_), m, &item);
    ClickAt(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    Pump(window_, 1500);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    Check(job.opened && job.saved, "menu " + name + " opens and is photographed");
    Pump(window_, 200);
  }

  void CheckClosing() {
    SetForegroundWindow(window_);
    Pump(window_);
    // A watchdog ends the test if Alt+F4 does not end the message loop.
    HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    PressKeys({VK_MENU, VK_F4});
    const int exitCode = RunMessageLoop(window_);
    TerminateThread(watchdog, 0);
    CloseHandle(watchdog);
    Check(exitCode == 0 && !IsWindow(window_), "Alt+F4 closes the window and ends the loop");
  }

  std::string shots_;
  test::FakePlatform platform_;
  AppState app_{platform_};
  ProjectSettings& s_ = app_.settings;
  HWND window_ = nullptr;
};

struct Found {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == found->process && IsWindowVisible(window) && TextOf(window) == kWindowCaption) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

// The program as the user starts it: without arguments it shows its window, and closing the
// window ends the process.
int CheckOutside(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + program + "\"";
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    Check(false, "start " + program);
    return failures;
  }
  Found found{process.dwProcessId, nullptr};
  for (int i = 0; i < 300 && !found.window; ++i) {
    Sleep(100);
    EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&found));
  }
  Check(found.window != nullptr, "Ravlo3.exe shows the window \"Ravlo v3.0\"");
  if (found.window) PostMessageA(found.window, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  Check(ended && exitCode == 0, "WM_CLOSE ends the process with exit code 0");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--outside") return CheckOutside(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: gui_driver SHOTS_FOLDER | --outside RAVLO3_EXE\n");
    return 2;
  }
  return Driver(argv[1]).Run();
}
