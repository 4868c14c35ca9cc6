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

void ConsoleWriter::write(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == '\n') pending_ += '\r';  // Windows text: CR LF line ends
    pending_ += text[i];
  }
  if (pending_.size() >= 4096) flush();
}

void ConsoleWriter::flush() {
  HANDLE handle = GetStdHandle(stdHandle_);
  if (!pending_.empty() && Usable(handle)) {
    DWORD written = 0;
    WriteFile(handle, pending_.data(), static_cast<DWORD>(pending_.size()), &written, nullptr);
  }
  pending_.clear();
}

}  // namespace ravlo
