#pragma once
// The analysis report (ifoparse.txt): one fact of the title per line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frame/app_state.h"

namespace ravlo {

// The most a title set holds; a report that lists more comes from a broken or hostile parser.
inline constexpr int kMaxReportAudioStreams = 8;
inline constexpr int kMaxReportSubtitleStreams = 32;
inline constexpr int kMaxReportChains = 99;
// Far above any real report (a few kilobytes), far below what would freeze the window.
inline constexpr std::int64_t kMaxReportBytes = 1024 * 1024;

// What a report says of the title, gathered before any of it reaches the record.
struct ReportFacts {
  std::optional<bool> pal;   // the standard named last
  std::optional<bool> wide;  // the aspect ratio named last
  std::vector<std::string> audio, subtitles, chains;
};

// Lines of the report: CR LF or a lone CR ends a line; a lone LF stays part of its line.
// A last line without a line end counts; nothing follows the final line end.
std::vector<std::string> SplitReportLines(const std::string& report);

// Reads every line in order; each rule a line satisfies adds its fact (standard, aspect
// ratio, audio stream, subtitle stream, program chain). Linear in the report's size.
ReportFacts ReadReport(const std::string& report);

// Why the facts cannot be those of a title set ("it lists 9 audio streams, ..."), if so.
std::optional<std::string> ReportProblem(const ReportFacts& facts);

// Writes the facts into the title fields, as the user would.
void ApplyReportFacts(AppState& app, const ReportFacts& facts);

// ReadReport + ApplyReportFacts.
void ApplyReport(AppState& app, const std::string& report);

}  // namespace ravlo
