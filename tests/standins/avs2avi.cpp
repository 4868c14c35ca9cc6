// Test double of avs2avi with the XviD codec: "SCRIPT.avs OUT.avi -w -c XVID". It reads the
// codec settings from HKCU\Software\GNU\XviD as the codec would:
//   mode 1 (first pass): OUT.avi of 16 KB, a placeholder the second pass replaces;
//   mode 2 (second pass): OUT.avi of exactly desired_size KB, as a codec that hits its target;
//   anything else, a missing script or a desired_size of 2^31 KB or more: nothing, exit 2.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "standin_io.h"

namespace {

std::optional<DWORD> CodecDword(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\GNU\\XviD", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

// An AVI header followed by a zero-filled body up to length; sparse on the host, so even a
// movie-sized file costs no disk time.
bool WriteAvi(const std::string& path, std::uint64_t length) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string header("RIFF\0\0\0\0AVI LIST", 16);
  header.resize(static_cast<std::size_t>(std::min<std::uint64_t>(header.size(), length)));
  DWORD written = 0;
  bool ok = WriteFile(file, header.data(), static_cast<DWORD>(header.size()), &written, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(length);
  ok = ok && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  return CloseHandle(file) && ok;
}

}  // namespace

int main(int argc, char** argv) {
  standin::LogCall("avs2avi.exe", standin::ArgumentText());
  if (argc < 3) return 2;
  const std::string script = argv[1], output = argv[2];
  bool xvid = false;
  for (int i = 3; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "-c" && std::string(argv[i + 1]) == "XVID") xvid = true;
  }
  const auto mode = CodecDword("mode");
  if (!xvid || !standin::FileExists(script) || !mode) return 2;
  if (*mode == 1) return WriteAvi(output, 16 * 1024) ? 0 : 1;
  const auto desired = CodecDword("desired_size");
  if (*mode != 2 || !desired || *desired >= 0x80000000u) return 2;
  return WriteAvi(output, static_cast<std::uint64_t>(*desired) * 1024) ? 0 : 1;
}
