#pragma once
// Discs read through libdvdread (native build only): a disc folder, an ISO image or a drive.
// libdvdread finds the files (UDF, folder names in either case); our parser reads them.

#include <string>

#include "disc_source.h"

namespace ifoscan {

// The disc at path; on failure the error says why (the system's reason where it has one).
OpenedSource OpenDvdReadSource(const std::string& path);

}  // namespace ifoscan
