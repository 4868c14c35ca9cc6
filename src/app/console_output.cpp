#include "app/console_output.h"

#include <string>

namespace ravlo {
namespace {

bool Usable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void ConnectToParentConsole() {
  if (Usable(GetStdHandle(STD_OUTPUT_HANDLE)) && Usable(GetStdHandle(STD_ERROR_HANDLE))) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer: nowhere to print
  HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  if (console == INVALID_HANDLE_VALUE) return;
  if (!Usable(GetStdHandle(STD_OUTPUT_HANDLE))) SetStdHandle(STD_OUTPUT_HANDLE, console);
  if (!Usable(GetStdHandle(STD_ERROR_HANDLE))) SetStdHandle(STD_ERROR_HANDLE, console);
}

int HandleStreamBuf::overflow(int c) {
  if (c == traits_type::eof()) return traits_type::not_eof(c);
  if (c == '\n') pending_ += '\r';  // Windows text: CR LF line ends
  pending_ += static_cast<char>(c);
  if (pending_.size() >= 4096) Flush();
  return c;
}

int HandleStreamBuf::sync() {
  Flush();
  return 0;
}

void HandleStreamBuf::Flush() {
  HANDLE handle = GetStdHandle(stdHandle_);
  if (!pending_.empty() && Usable(handle)) {
    DWORD written = 0;
    WriteFile(handle, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
  }
  pending_.clear();
}

}  // namespace ravlo
