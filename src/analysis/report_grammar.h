#pragma once
// The analysis report (ifoparse.txt): one fact of the title per line.

#include <string>
#include <vector>

#include "frame/app_state.h"

namespace ravlo {

// Lines of the report: CR LF or a lone CR ends a line; a lone LF stays part of its line.
// A last line without a line end counts; nothing follows the final line end.
std::vector<std::string> SplitReportLines(const std::string& report);

// Applies every rule that `line` satisfies, in rule order: standard, aspect ratio, audio
// stream, subtitle stream, program chain.
void ApplyReportLine(AppState& app, const std::string& line);

// SplitReportLines + ApplyReportLine for each line, in order.
void ApplyReport(AppState& app, const std::string& report);

}  // namespace ravlo
