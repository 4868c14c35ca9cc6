#pragma once
// Paths as the record holds them. Their form follows the road: the Windows program's are
// Windows paths ("\" between the parts), the Linux road's are POSIX paths, where only "/"
// separates the parts and a backslash is an ordinary character of a name.

#include <optional>
#include <string>
#include <string_view>

#include "frame/project_road.h"

namespace ravlo {

// "\" on the Windows road, "/" on the Linux road.
char PathSeparator(ProjectRoad road);

// The path followed by the separator, unless it already ends with one.
std::string AddSeparator(const std::string& path, char separator);
// The characters after the last separator (the whole path when it has none).
std::string FileNameOf(const std::string& path, char separator);
// The characters up to and including the last separator (empty when it has none).
std::string FolderOf(const std::string& path, char separator);

// Why a path cannot go into a project on the road, `room` characters longer once the project
// adds its own names; nothing when it can. The Windows road takes what cmd and the tools take
// (no "?", "*", quotation mark or control character; MAX_PATH); the Linux road quotes every
// path for the shell and takes any character but NUL, at any length.
std::optional<std::string> PathProblemOnRoad(ProjectRoad road, std::string_view path,
                                             std::size_t room);

}  // namespace ravlo
