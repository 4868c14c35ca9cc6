#include "fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/wildcard.h"

namespace ravlo::test {
namespace fs = std::filesystem;
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

const char* IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return "Information";
    case MessageIcon::Warning: return "Warning";
    case MessageIcon::Critical: return "Critical";
  }
  return "?";
}

}  // namespace

const char* StyleName(WindowStyle style) {
  switch (style) {
    case WindowStyle::Hidden: return "Hidden";
    case WindowStyle::Normal: return "Normal";
    case WindowStyle::NormalFocus: return "NormalFocus";
    case WindowStyle::Maximized: return "Maximized";
  }
  return "?";
}

FakePlatform::FakePlatform() {
  std::string base = (fs::temp_directory_path() / "ravlo-fake-XXXXXX").string();
  std::vector<char> buffer(base.begin(), base.end());
  buffer.push_back('\0');
#ifdef _WIN32
  // No mkdtemp on Windows: a name from the process id and a counter is unique enough here.
  static int counter = 0;
  root_ = fs::temp_directory_path() /
          ("ravlo-fake-" + std::to_string(std::rand()) + "-" + std::to_string(++counter));
  fs::create_directories(root_);
#else
  if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  root_ = buffer.data();
#endif
}

FakePlatform::~FakePlatform() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

fs::path FakePlatform::HostPath(const std::string& windowsPath) const {
  fs::path result = root_;
  std::string rest = windowsPath;
  if (rest.size() >= 2 && rest[1] == ':') {
    result /= std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
    rest = rest.substr(2);
  }
  std::string part;
  for (char c : rest) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) result /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) result /= part;
  return result;
}

void FakePlatform::Lock(const std::string& windowsPath) { locked_.insert(Lower(windowsPath)); }

bool FakePlatform::IsLocked(const std::string& windowsPath) const {
  return locked_.count(Lower(windowsPath)) > 0;
}

void FakePlatform::PutFile(const std::string& windowsPath, const std::string& content) {
  const fs::path path = HostPath(windowsPath);
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

std::string FakePlatform::GetFile(const std::string& windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int FakePlatform::CountCalls(const std::string& prefix) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
    return call.rfind(prefix, 0) == 0;
  }));
}

std::optional<std::string> FakePlatform::NextAnswer() {
  if (answers_.empty()) return std::nullopt;  // an unanswered dialog counts as cancelled
  auto answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::string FakePlatform::ProgramFolder() { return programFolder; }

bool FakePlatform::StartProcess(const std::string& commandLine, WindowStyle style) {
  calls.push_back("StartProcess " + commandLine + "|" + StyleName(style));
  return true;
}

void FakePlatform::SetEnvironmentValue(const std::string& name, const std::string& value) {
  environment[name] = value;
}

RunOutcome FakePlatform::RunAndWait(const std::string& commandLine, WindowStyle style,
                                    std::chrono::milliseconds limit) {
  calls.push_back("RunAndWait " + commandLine + "|" + StyleName(style));
  lastRunLimit = limit;
  if (!onRunAndWait || !onRunAndWait(commandLine)) return RunOutcome::NotStarted;
  return processHangs ? RunOutcome::TimedOut : RunOutcome::Finished;
}

bool FakePlatform::ShellOpen(const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             WindowStyle style) {
  calls.push_back("ShellOpen " + verb + "|" + file + "|" + parameters + "|" + folder + "|" +
                  StyleName(style));
  return true;
}

void FakePlatform::CloseMainWindow() {
  calls.push_back("CloseMainWindow");
  ++closeCount;
}

std::string FakePlatform::OpenFileDialog(const std::string& filter) {
  calls.push_back("OpenFileDialog " + filter);
  return NextAnswer().value_or("");
}

std::string FakePlatform::BrowseForFolder(const std::string& title, unsigned flags) {
  calls.push_back("BrowseForFolder " + title + "|" + std::to_string(flags));
  return NextAnswer().value_or("");
}

void FakePlatform::ShowMessage(const std::string& text, MessageIcon icon,
                              const std::string& caption) {
  calls.push_back(std::string("ShowMessage ") + IconName(icon) + "|" + caption);
  messages.push_back({text, icon, caption});
}

std::optional<std::string> FakePlatform::InputBox(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& defaultAnswer) {
  calls.push_back("InputBox " + title);
  inputBoxes.push_back({prompt, title, defaultAnswer});
  return NextAnswer();
}

bool FakePlatform::Confirm(const std::string& text, const std::string& question,
                           const std::string& caption) {
  calls.push_back("Confirm " + caption);
  questions.push_back({text, question});
  return NextAnswer().value_or("") == "yes";
}

std::string FakePlatform::EnvironmentValue(const std::string& name) {
  const auto it = environment.find(name);
  return it == environment.end() ? std::string() : it->second;
}

std::string FakePlatform::ReadSetting(const std::string& app, const std::string& section,
                                      const std::string& key) {
  auto it = settingsStore.find(app + "\\" + section + "\\" + key);
  return it == settingsStore.end() ? std::string() : it->second;
}

void FakePlatform::WriteSetting(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& value) {
  calls.push_back("WriteSetting " + app + "\\" + section + "\\" + key + "=" + value);
  settingsStore[app + "\\" + section + "\\" + key] = value;
}

bool FakePlatform::FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(HostPath(path), ec);
}

bool FakePlatform::CanOpen(const std::string& path, std::string& error) {
  std::ifstream file(HostPath(path), std::ios::binary);
  if (file) return true;
  error = fs::exists(HostPath(path)) ? "Permission denied" : "No such file or directory";
  return false;
}

bool FakePlatform::RemoveFile(const std::string& path, std::string& error) {
  if (IsLocked(path)) {
    error = "the file is in use by another program";
    return false;
  }
  std::error_code ec;
  if (!fs::remove(HostPath(path), ec)) {
    error = ec ? ec.message() : "the file does not exist";
    return false;
  }
  return true;
}

bool FakePlatform::CopyFileTo(const std::string& from, const std::string& to, std::string& error) {
  calls.push_back("CopyFile " + from + "|" + to);
  if (IsLocked(to)) {
    error = "the file is in use by another program";
    return false;
  }
  std::error_code ec;
  if (!fs::is_regular_file(HostPath(from), ec)) {
    error = "the file does not exist";
    return false;
  }
  std::ifstream in(HostPath(from), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  // A copy makes its target like a write does: created, or replaced, within the disk's room.
  return PutBytes(to, content.str(), false, error);
}

bool FakePlatform::CreateFolder(const std::string& path, std::string& error) {
  calls.push_back("CreateFolder " + path);
  std::error_code ec;
  if (fs::create_directory(HostPath(path), ec) || fs::is_directory(HostPath(path))) return true;
  error = ec ? ec.message() : "it cannot be made";
  return false;
}

bool FakePlatform::MoveFileOver(const std::string& from, const std::string& to,
                                std::string& error) {
  calls.push_back("MoveFile " + from + "|" + to);
  if (IsLocked(to) || IsLocked(from)) {
    error = "the file is in use by another program";
    return false;
  }
  std::error_code ec;
  fs::rename(HostPath(from), HostPath(to), ec);
  if (ec) {
    error = ec.message();
    return false;
  }
  return true;
}

bool FakePlatform::PutBytes(const std::string& windowsPath, const std::string& content,
                            bool append, std::string& error) {
  std::ofstream out(HostPath(windowsPath),
                    std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  if (!out) {
    error = "the folder does not exist or cannot be written";
    return false;
  }
  std::size_t room = content.size();
  if (diskSpace) room = static_cast<std::size_t>(std::min<std::uintmax_t>(*diskSpace, room));
  out.write(content.data(), static_cast<std::streamsize>(room));
  if (diskSpace) *diskSpace -= room;
  if (room < content.size()) {
    error = "There is not enough space on the disk.";
    return false;
  }
  return static_cast<bool>(out);
}

std::optional<std::int64_t> FakePlatform::FileLength(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(HostPath(path), ec);
  if (ec) return std::nullopt;
  return static_cast<std::int64_t>(size);
}

std::vector<std::string> FakePlatform::ListFiles(const std::string& folder,
                                                 const std::string& pattern) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(HostPath(folder), ec)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && WildcardMatch(pattern, name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

bool FakePlatform::WriteWholeFile(const std::string& path, const std::string& content,
                             std::string& error) {
  if (IsLocked(path)) {
    error = "the file is in use by another program";
    return false;
  }
  return PutBytes(path, content, false, error);
}

bool FakePlatform::AppendToFile(const std::string& path, const std::string& content,
                              std::string& error) {
  if (IsLocked(path)) {
    error = "the file is in use by another program";
    return false;
  }
  return PutBytes(path, content, true, error);
}

std::optional<std::string> FakePlatform::ReadWholeFile(const std::string& path, std::string& error) {
  std::ifstream in(HostPath(path), std::ios::binary);
  if (!in) {
    error = "the file does not exist or cannot be read";
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace ravlo::test
