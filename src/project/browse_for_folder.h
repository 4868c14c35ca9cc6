#pragma once
// The system folder picker, as the save commands use it.

#include <string>

#include "platform/platform.h"

namespace ravlo {

// BROWSEINFO flags: file-system folders only, optionally with the new dialog style.
inline constexpr unsigned kBrowseFileSystemOnly = 0x01;
inline constexpr unsigned kBrowseNewDialogStyle = 0x40;

// The chosen folder's path without trailing "\", or empty when the user cancelled or chose
// something that is not a file-system folder.
std::string BrowseForFolder(Platform& platform, const std::string& title, bool newStyle);

}  // namespace ravlo
