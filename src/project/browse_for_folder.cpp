#include "project/browse_for_folder.h"

namespace ravlo {

std::string BrowseForFolder(Platform& platform, const std::string& title, bool newStyle) {
  const unsigned flags =
      newStyle ? kBrowseFileSystemOnly | kBrowseNewDialogStyle : kBrowseFileSystemOnly;
  return platform.BrowseForFolder(title, flags);
}

}  // namespace ravlo
