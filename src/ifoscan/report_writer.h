#pragma once
// The analysis report: plain lines with CR LF ends, each starting with two blanks.
// Chains first, then audio and sub-picture streams, the video line last so that a "4:3"
// inside a length can never decide the aspect ratio.

#include <string>

#include "title_set.h"

namespace ifoscan {

std::string FormatReport(const TitleSet& titleSet);

}  // namespace ifoscan
