#include "platform/posix_platform.h"
#include "platform/wildcard.h"

#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <thread>

extern char** environ;

namespace ravlo {
namespace fs = std::filesystem;
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "X.bat" names its POSIX shell twin "X.sh"; other names stay as they are.
std::string ShellTwin(const std::string& path) {
  const std::string lower = Lower(path);
  if (lower.size() > 4 && (lower.ends_with(".bat") || lower.ends_with(".cmd"))) {
    return path.substr(0, path.size() - 4) + ".sh";
  }
  return path;
}

bool IsShellScript(const std::string& path) { return Lower(path).ends_with(".sh"); }

// Starts the words as a process (a shell script through /bin/sh, so that it needs no execute
// permission) in `folder` (empty: ours), in a process group of its own so that everything it
// starts can be ended with it. The process id, or nothing when it could not start.
std::optional<pid_t> Spawn(std::vector<std::string> words, const std::string& folder) {
  if (words.empty()) return std::nullopt;
  words[0] = ShellTwin(words[0]);
  if (IsShellScript(words[0])) {
    if (!fs::is_regular_file(words[0])) return std::nullopt;
    words.insert(words.begin(), "/bin/sh");
  }
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const int result = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) return std::nullopt;
  return pid;
}

// Waits for the process, at most `limit`; past it ends its whole group.
RunOutcome WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + limit;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return RunOutcome::Finished;
    if (Clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return RunOutcome::TimedOut;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

std::string ErrorText(const std::error_code& code) { return code.message(); }

std::string ErrnoText() { return std::strerror(errno); }

// The settings store: one INI-like file, sections "[App\Section]", lines "key=value".
using SettingsMap = std::map<std::string, std::map<std::string, std::string>>;

std::string SettingsFile() { return SettingsFolder() + "/settings.ini"; }

SettingsMap LoadSettings() {
  SettingsMap settings;
  std::ifstream in(SettingsFile(), std::ios::binary);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const auto equals = line.find('='); equals != std::string::npos) {
      settings[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return settings;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, inWord = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string DataFolderFor(const std::string& programPath) {
  const fs::path folder = fs::path(programPath).parent_path();
  const fs::path shared = folder.parent_path() / "share" / "ravlo3";
  std::error_code code;
  if (folder.filename() == "bin" && fs::is_directory(shared, code)) return shared.string();
  return folder.string();
}

namespace {

// $VARIABLE/ravlo3 when the variable holds an absolute path (as the XDG rules ask), else
// ~/FALLBACK/ravlo3.
std::string UserFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value == '/') return std::string(value) + "/ravlo3";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/" + fallback + "/ravlo3";
}

}  // namespace

std::string SettingsFolder() { return UserFolder("XDG_CONFIG_HOME", ".config"); }

std::string CacheFolder() { return UserFolder("XDG_CACHE_HOME", ".cache"); }

PosixPlatform::PosixPlatform(std::string programPath, std::ostream& out, std::ostream& err)
    : programPath_(std::move(programPath)), out_(out), err_(err) {}

std::string PosixPlatform::ProgramFolder() { return DataFolderFor(programPath_); }

bool PosixPlatform::StartProcess(const std::string& commandLine, WindowStyle) {
  return Spawn(SplitCommandLine(commandLine), "").has_value();
}

RunOutcome PosixPlatform::RunAndWait(const std::string& commandLine, WindowStyle,
                                     std::chrono::milliseconds limit) {
  const auto pid = Spawn(SplitCommandLine(commandLine), "");
  return pid ? WaitFor(*pid, limit) : RunOutcome::NotStarted;
}

void PosixPlatform::SetEnvironmentValue(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

bool PosixPlatform::ShellOpen(const std::string&, const std::string& file,
                              const std::string& parameters, const std::string& folder,
                              WindowStyle) {
  std::string path = ShellTwin(file);
  if (!folder.empty() && path.front() != '/') path = (fs::path(folder) / path).string();
  if (!IsShellScript(path)) return false;
  std::vector<std::string> words{path};
  for (std::string& word : SplitCommandLine(parameters)) words.push_back(std::move(word));
  const auto pid = Spawn(words, folder);
  return pid && WaitFor(*pid, std::chrono::hours(24 * 365)) == RunOutcome::Finished;
}

std::string PosixPlatform::PowerOffPermission() {
  // The answer is one D-Bus string: s "yes". No bus (a container, a bare X server) says nothing.
  FILE* pipe = ::popen("busctl call --system org.freedesktop.login1 /org/freedesktop/login1 "
                       "org.freedesktop.login1.Manager CanPowerOff 2>/dev/null", "r");
  if (!pipe) return {};
  std::string said;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) said += buffer;
  const int status = ::pclose(pipe);
  const std::size_t open = said.find('"'), close = said.rfind('"');
  if (status != 0 || open == std::string::npos || close <= open) return {};
  return said.substr(open + 1, close - open - 1);
}

void PosixPlatform::ShowMessage(const std::string& text, MessageIcon icon, const std::string&) {
  std::ostream& stream = icon == MessageIcon::Information ? out_ : err_;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    stream << text[i];
  }
  if (text.empty() || text.back() != '\n') stream << '\n';
  stream.flush();
}

std::string PosixPlatform::ReadSetting(const std::string& app, const std::string& section,
                                       const std::string& key) {
  const SettingsMap settings = LoadSettings();
  const auto found = settings.find(app + "\\" + section);
  if (found == settings.end()) return {};
  const auto value = found->second.find(key);
  return value == found->second.end() ? std::string() : value->second;
}

void PosixPlatform::WriteSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) {
  SettingsMap settings = LoadSettings();
  settings[app + "\\" + section][key] = value;
  std::ostringstream text;
  for (const auto& [name, entries] : settings) {
    text << '[' << name << "]\n";
    for (const auto& [k, v] : entries) text << k << '=' << v << '\n';
  }
  std::error_code code;
  fs::create_directories(SettingsFolder(), code);
  // Through a temporary file, so that a failed write never loses the other settings.
  const std::string temporary = SettingsFile() + ".new";
  std::string error;
  if (!WriteWholeFile(temporary, text.str(), error) ||
      (fs::rename(temporary, SettingsFile(), code), code)) {
    err_ << "Ravlo3: the setting " << key << " cannot be stored in " << SettingsFile() << ": "
         << (error.empty() ? ErrorText(code) : error) << '\n';
  }
}

bool PosixPlatform::FileExists(const std::string& path) {
  std::error_code code;
  return fs::exists(path, code);
}

bool PosixPlatform::CanOpen(const std::string& path, std::string& error) {
  // Not blocking: a FIFO without a writer would hold the planner here.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    error = ErrnoText();
    return false;
  }
  ::close(descriptor);
  return true;
}

bool PosixPlatform::RemoveFile(const std::string& path, std::string& error) {
  if (::unlink(path.c_str()) == 0) return true;
  error = ErrnoText();
  return false;
}

bool PosixPlatform::CopyFileTo(const std::string& from, const std::string& to, std::string& error) {
  std::error_code code;
  if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, code)) {
    return true;
  }
  error = ErrorText(code);
  return false;
}

bool PosixPlatform::MoveFileOver(const std::string& from, const std::string& to,
                                 std::string& error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  error = ErrnoText();
  return false;
}

bool PosixPlatform::CreateFolder(const std::string& path, std::string& error) {
  if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
  error = ErrnoText();
  return false;
}

bool PosixPlatform::MakeExecutable(const std::string& path, std::string& error) {
  std::error_code code;
  fs::permissions(path,
                  fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, code);
  if (!code) return true;
  error = ErrorText(code);
  return false;
}

std::optional<std::int64_t> PosixPlatform::FileLength(const std::string& path) {
  std::error_code code;
  const auto size = fs::file_size(path, code);
  if (code) return std::nullopt;
  return static_cast<std::int64_t>(size);
}

std::vector<std::string> PosixPlatform::ListFiles(const std::string& folder,
                                                  const std::string& pattern) {
  std::vector<std::string> names;
  std::error_code code;
  const std::string where = folder.empty() ? "." : folder;
  for (fs::directory_iterator it(where, code), end; !code && it != end; it.increment(code)) {
    const std::string name = it->path().filename().string();
    if (!it->is_directory(code) && WildcardMatch(pattern, name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

namespace {

bool WriteFile(const std::string& path, const std::string& content, std::ios::openmode mode,
               std::string& error) {
  errno = 0;
  std::ofstream file(path, std::ios::binary | mode);
  if (!file) {
    error = errno ? ErrnoText() : "it cannot be opened for writing";
    return false;
  }
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  file.close();
  if (!file) {
    error = errno ? ErrnoText() : "writing failed";
    return false;
  }
  return true;
}

}  // namespace

bool PosixPlatform::WriteWholeFile(const std::string& path, const std::string& content,
                                   std::string& error) {
  return WriteFile(path, content, std::ios::trunc, error);
}

bool PosixPlatform::AppendToFile(const std::string& path, const std::string& content,
                                 std::string& error) {
  return WriteFile(path, content, std::ios::app, error);
}

std::optional<std::string> PosixPlatform::ReadWholeFile(const std::string& path,
                                                        std::string& error) {
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = errno ? ErrnoText() : "it cannot be opened";
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    error = "reading failed";
    return std::nullopt;
  }
  return text.str();
}

std::string PosixPlatform::ReportFolder(const std::string&, std::string& error) {
  const std::string folder = CacheFolder();
  std::error_code code, ignored;
  fs::create_directories(folder, code);
  if (!fs::is_directory(folder, ignored)) {
    error = folder + ": " + (code ? ErrorText(code) : std::string("it is not a folder"));
    return {};
  }
  return folder + "/";
}

}  // namespace ravlo
