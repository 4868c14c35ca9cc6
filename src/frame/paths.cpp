#include "frame/paths.h"

#include "frame/cmd_text.h"

namespace ravlo {

char PathSeparator(ProjectRoad road) { return road == ProjectRoad::Shell ? '/' : '\\'; }

std::string AddSeparator(const std::string& path, char separator) {
  if (!path.empty() && path.back() == separator) return path;
  return path + separator;
}

std::string FileNameOf(const std::string& path, char separator) {
  const auto slash = path.rfind(separator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path, char separator) {
  const auto slash = path.rfind(separator);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> PathProblemOnRoad(ProjectRoad road, std::string_view path,
                                             std::size_t room) {
  if (road == ProjectRoad::Batch) {
    return PathProblem(path, room < kMaxPathChars ? kMaxPathChars - room : 0);
  }
  if (path.find('\0') != std::string_view::npos) return std::string("it holds a NUL character");
  return std::nullopt;
}

}  // namespace ravlo
