// A small modal input box: a prompt, one edit line, OK and Cancel. Windows has no such
// dialog, so the template is built in memory (no resource file needed by its callers).

#include "platform/win32_input_box.h"

#include <string>
#include <vector>

namespace ravlo {
namespace {

enum : WORD { kPromptId = 100, kEditId = 101 };

struct InputBoxData {
  const std::string* prompt;
  const std::string* title;
  const std::string* defaultAnswer;
  std::string answer;
};

class TemplateWriter {
 public:
  void Align(std::size_t bytes) {
    while (data_.size() % bytes) data_.push_back(0);
  }
  void Word(WORD value) {
    data_.push_back(static_cast<BYTE>(value & 0xFF));
    data_.push_back(static_cast<BYTE>(value >> 8));
  }
  void Dword(DWORD value) {
    Word(static_cast<WORD>(value & 0xFFFF));
    Word(static_cast<WORD>(value >> 16));
  }
  void Text(const char* text) {  // template strings are UTF-16; ours are plain ASCII here
    for (; *text; ++text) Word(static_cast<BYTE>(*text));
    Word(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom) {
    Align(4);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(x), Word(y), Word(cx), Word(cy), Word(id);
    Word(0xFFFF), Word(classAtom);
    Word(0);  // no title: texts are set at WM_INITDIALOG, in the ANSI code page
    Word(0);  // no creation data
  }
  const BYTE* Data() {
    Align(4);
    return data_.data();
  }

 private:
  std::vector<BYTE> data_;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* data = reinterpret_cast<InputBoxData*>(lParam);
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      SetWindowTextA(dialog, data->title->c_str());
      SetDlgItemTextA(dialog, kPromptId, data->prompt->c_str());
      SetDlgItemTextA(dialog, kEditId, data->defaultAnswer->c_str());
      SetDlgItemTextA(dialog, IDOK, "OK");
      SetDlgItemTextA(dialog, IDCANCEL, "Cancel");
      SendDlgItemMessageA(dialog, kEditId, EM_SETSEL, 0, -1);
      SetFocus(GetDlgItem(dialog, kEditId));
      return FALSE;  // focus set by us
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* data = reinterpret_cast<InputBoxData*>(GetWindowLongPtrA(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, kEditId);
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
        text.resize(GetWindowTextA(edit, text.data(), static_cast<int>(text.size())));
        data->answer = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> ShowInputBox(HWND owner, const std::string& prompt,
                                        const std::string& title,
                                        const std::string& defaultAnswer) {
  TemplateWriter t;
  // Dialog units: a prompt of several lines on the left, the buttons on the right.
  t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(0);
  t.Word(4);  // items
  t.Word(0), t.Word(0), t.Word(260), t.Word(92);
  t.Word(0);  // no menu
  t.Word(0);  // standard dialog class
  t.Word(0);  // title set at WM_INITDIALOG
  t.Word(8);
  t.Text("MS Shell Dlg");
  t.Item(SS_LEFT, 7, 7, 190, 56, kPromptId, 0x0082);                           // static
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 203, 7, 50, 14, IDOK, 0x0080);         // button
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 203, 25, 50, 14, IDCANCEL, 0x0080);       // button
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 70, 246, 14, kEditId, 0x0081);  // edit

  InputBoxData data{&prompt, &title, &defaultAnswer, {}};
  const INT_PTR result = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.Data()), owner, InputBoxProc,
      reinterpret_cast<LPARAM>(&data));
  if (result != IDOK) return std::nullopt;
  return data.answer;
}

}  // namespace ravlo
