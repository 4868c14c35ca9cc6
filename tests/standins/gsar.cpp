// Test double of gsar: -sSEARCH -rREPLACE -o FILESPEC... replaces every occurrence of SEARCH
// in each file in place. The command interpreter passes wildcards on unexpanded, so "*.mp3"
// is expanded here. Both texts are taken literally (gsar's ':' escapes are not needed by the
// batch, whose texts are host names).
#include <windows.h>

#include <string>
#include <vector>

#include "standin_io.h"

namespace {

std::vector<std::string> Expand(const std::string& pattern) {
  if (pattern.find_first_of("*?") == std::string::npos) return {pattern};
  std::vector<std::string> files;
  const std::size_t slash = pattern.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

// Number of replacements made in the file; it is rewritten only when something changed.
int ReplaceInFile(const std::string& path, const std::string& search, const std::string& replace) {
  auto content = standin::ReadWholeFile(path);
  if (!content) return 0;
  int count = 0;
  for (std::size_t pos = content->find(search); pos != std::string::npos;
       pos = content->find(search, pos + replace.size())) {
    content->replace(pos, search.size(), replace);
    ++count;
  }
  if (count > 0) standin::WriteWholeFile(path, *content);
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  standin::LogCall("gsar.exe", standin::ArgumentText());
  std::string search, replace;
  bool overwrite = false;
  std::vector<std::string> patterns;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("-s", 0) == 0) search = arg.substr(2);
    else if (arg.rfind("-r", 0) == 0) replace = arg.substr(2);
    else if (arg == "-o") overwrite = true;
    else patterns.push_back(arg);
  }
  if (search.empty() || !overwrite) return 2;
  for (const std::string& pattern : patterns) {
    for (const std::string& file : Expand(pattern)) ReplaceInFile(file, search, replace);
  }
  return 0;
}
