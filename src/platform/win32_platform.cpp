#include "platform/win32_platform.h"

#include "platform/win32_input_box.h"
#include "platform/win32_system_function.h"
#include "platform/wildcard.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace ravlo {
namespace {

int ShowCommand(WindowStyle style) {
  switch (style) {
    case WindowStyle::Hidden: return SW_HIDE;
    case WindowStyle::Normal: return SW_SHOWNORMAL;
    case WindowStyle::NormalFocus: return SW_SHOWNORMAL;
    case WindowStyle::Maximized: return SW_SHOWMAXIMIZED;
  }
  return SW_SHOWNORMAL;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// CreateProcess runs batch files only through the command interpreter; /s keeps cmd from
// guessing which quotes to strip when the script and its arguments are quoted.
std::string WithInterpreter(const std::string& commandLine) {
  std::string program = commandLine;
  if (!program.empty() && program[0] == '"') {
    program = program.substr(1, program.find('"', 1) - 1);
  } else {
    program = program.substr(0, program.find(' '));
  }
  const std::string lower = Lower(program);
  const bool isBatch = lower.size() > 4 && (lower.ends_with(".bat") || lower.ends_with(".cmd"));
  return isBatch ? "cmd.exe /s /c \"" + commandLine + "\"" : commandLine;
}

bool Start(const std::string& commandLine, WindowStyle style, DWORD extraFlags,
           PROCESS_INFORMATION& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowCommand(style));
  std::string line = WithInterpreter(commandLine);
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  const DWORD flags = (style == WindowStyle::Hidden ? CREATE_NO_WINDOW : 0) | extraFlags;
  return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                        &startup, &process) != 0;
}

bool Fail(std::string& error) {
  error = SystemErrorText(GetLastError());
  return false;
}

}  // namespace

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length ? std::string(text, length) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' ||
                             result.back() == '.')) {
    result.pop_back();
  }
  return result;
}

std::string Win32Platform::ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder = folder.substr(0, folder.rfind('\\'));
  // A program in a drive's root folder: the folder is "C:\", as the system names it.
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

bool Win32Platform::StartProcess(const std::string& commandLine, WindowStyle style) {
  PROCESS_INFORMATION process{};
  if (!Start(commandLine, style, 0, process)) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void Win32Platform::SetEnvironmentValue(const std::string& name, const std::string& value) {
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

RunOutcome Win32Platform::RunAndWait(const std::string& commandLine, WindowStyle style,
                                     std::chrono::milliseconds limit) {
  // The process starts suspended inside a job, so that everything it starts (a batch starts
  // its programs) can be ended together when it runs past the limit.
  PROCESS_INFORMATION process{};
  if (!Start(commandLine, style, CREATE_SUSPENDED, process)) return RunOutcome::NotStarted;
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, process.hProcess)) {
    CloseHandle(job);
    job = nullptr;
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  RunOutcome outcome = RunOutcome::Finished;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) == WAIT_TIMEOUT) {
    if (job) {
      TerminateJobObject(job, 1);
    } else {
      TerminateProcess(process.hProcess, 1);
    }
    WaitForSingleObject(process.hProcess, 5000);
    outcome = RunOutcome::TimedOut;
  }
  if (job) CloseHandle(job);
  CloseHandle(process.hProcess);
  return outcome;
}

bool Win32Platform::ShellOpen(const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& folder,
                              WindowStyle style) {
  static auto* shellExecute = SystemFunction<decltype(ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  if (!shellExecute) return false;
  const auto result = reinterpret_cast<INT_PTR>(
      shellExecute(mainWindow_, verb.c_str(), file.c_str(),
                    parameters.empty() ? nullptr : parameters.c_str(),
                    folder.empty() ? nullptr : folder.c_str(), ShowCommand(style)));
  return result > 32;
}

void Win32Platform::CloseMainWindow() {
  if (mainWindow_) PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
}

std::string Win32Platform::OpenFileDialog(const std::string& filter) {
  // "Description | pattern" pairs become the dialog's NUL-separated filter list.
  std::string filterList;
  std::size_t start = 0;
  while (start <= filter.size()) {
    std::size_t bar = filter.find('|', start);
    std::string part = filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    while (!part.empty() && part.front() == ' ') part.erase(part.begin());
    while (!part.empty() && part.back() == ' ') part.pop_back();
    filterList += part;
    filterList += '\0';
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  filterList += '\0';

  char file[MAX_PATH] = {};
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = mainWindow_;
  dialog.lpstrFilter = filterList.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  static auto* getOpenFileName =
      SystemFunction<decltype(GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
  if (!getOpenFileName || !getOpenFileName(&dialog)) return {};
  return file;
}

std::string Win32Platform::BrowseForFolder(const std::string& title, unsigned flags) {
  static auto* oleInitialize = SystemFunction<decltype(OleInitialize)>("ole32.dll", "OleInitialize");
  static auto* browse =
      SystemFunction<decltype(SHBrowseForFolderA)>("shell32.dll", "SHBrowseForFolderA");
  static auto* pathFromItems =
      SystemFunction<decltype(SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
  static auto* freeItems = SystemFunction<decltype(CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
  if (!oleInitialize || !browse || !pathFromItems || !freeItems) return {};
  // The new-style picker needs OLE on this thread; once is enough.
  static const HRESULT ole = oleInitialize(nullptr);
  (void)ole;

  char displayName[MAX_PATH] = {};
  BROWSEINFOA request{};
  request.hwndOwner = mainWindow_;
  request.pidlRoot = nullptr;
  request.pszDisplayName = displayName;
  request.lpszTitle = title.c_str();
  request.ulFlags = flags;
  LPITEMIDLIST items = browse(&request);
  if (!items) return {};
  char path[MAX_PATH] = {};
  pathFromItems(items, path);
  freeItems(items);
  return path;  // up to the first zero: empty for an item without a file-system path
}

void Win32Platform::ShowMessage(const std::string& text, MessageIcon icon,
                                const std::string& caption) {
  UINT type = MB_OK;
  switch (icon) {
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Critical: type |= MB_ICONERROR; break;
  }
  MessageBoxA(mainWindow_, text.c_str(), caption.c_str(), type);
}

std::optional<std::string> Win32Platform::InputBox(const std::string& prompt,
                                                   const std::string& title,
                                                   const std::string& defaultAnswer) {
  return ShowInputBox(mainWindow_, prompt, title, defaultAnswer);
}

std::string Win32Platform::ReadSetting(const std::string& app, const std::string& section,
                                       const std::string& key) {
  const std::string subKey = "Software\\" + app + "\\" + section;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return {};
  }
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  DWORD type = 0;
  std::string result;
  if (RegQueryValueExA(handle, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                       &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    result = value;
  }
  RegCloseKey(handle);
  return result;
}

void Win32Platform::WriteSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) {
  const std::string subKey = "Software\\" + app + "\\" + section;
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(handle, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

bool Win32Platform::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::CanOpen(const std::string& path, std::string& error) {
  // Backup semantics open a folder too.
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Fail(error);
  CloseHandle(handle);
  return true;
}

bool Win32Platform::RemoveFile(const std::string& path, std::string& error) {
  return DeleteFileA(path.c_str()) ? true : Fail(error);
}

bool Win32Platform::CopyFileTo(const std::string& from, const std::string& to,
                               std::string& error) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) ? true : Fail(error);
}

bool Win32Platform::CreateFolder(const std::string& path, std::string& error) {
  if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return true;
  return Fail(error);
}

bool Win32Platform::MoveFileOver(const std::string& from, const std::string& to,
                                 std::string& error) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? true
             : Fail(error);
}

std::optional<std::int64_t> Win32Platform::FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> Win32Platform::ListFiles(const std::string& folder,
                                                  const std::string& pattern) {
  // Match the long names ourselves: FindFirstFile would also match on 8.3 short names.
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const std::string all = (folder.empty() || folder.back() == '\\' ? folder : folder + "\\") + "*";
  HANDLE search = FindFirstFileA(all.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        WildcardMatch(pattern, found.cFileName)) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

namespace {

bool WriteAll(HANDLE file, const std::string& content, std::string& error) {
  std::size_t done = 0;
  while (done < content.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
    if (!::WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) {
      return Fail(error);
    }
    done += written;
  }
  return true;
}

}  // namespace

bool Win32Platform::WriteWholeFile(const std::string& path, const std::string& content,
                                   std::string& error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(error);
  const bool ok = WriteAll(file, content, error);
  CloseHandle(file);
  return ok;
}

bool Win32Platform::AppendToFile(const std::string& path, const std::string& content,
                                 std::string& error) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(error);
  const bool ok = WriteAll(file, content, error);
  CloseHandle(file);
  return ok;
}

std::optional<std::string> Win32Platform::ReadWholeFile(const std::string& path,
                                                        std::string& error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Fail(error);
    return std::nullopt;
  }
  std::string content;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return content;
}

}  // namespace ravlo
