#include "analysis/report_grammar.h"

#include "streams/order_lists.h"

namespace ravlo {
namespace {

// Entries drop the report's first two characters (an indent or a list marker).
constexpr std::size_t kEntryStart = 2;

bool Contains(const std::string& line, const char* text) {
  return line.find(text) != std::string::npos;
}

// A stream entry ends before the "[" that opens the parser's technical details. A line
// without such a "[" keeps the rest of the line, so a malformed report still shows its streams.
std::string StreamEntryOf(const std::string& line) {
  if (line.size() <= kEntryStart) return {};
  const std::size_t bracket = line.find('[', kEntryStart);
  if (bracket == std::string::npos) return line.substr(kEntryStart);
  return line.substr(kEntryStart, bracket - kEntryStart);
}

std::string RestOf(const std::string& line) {
  return line.size() <= kEntryStart ? std::string() : line.substr(kEntryStart);
}

// Adds the entry unless the list already holds a stream of the same id: one list item per
// stream, so that what is checked is what the project gets. Entries without an id are kept.
void AddStreamEntry(Field& list, const std::string& entry, const char* primary,
                    const char* secondary) {
  const auto id = StreamIdOf(entry, primary, secondary);
  if (id) {
    for (const std::string& item : list.Items()) {
      if (StreamIdOf(item, primary, secondary) == id) return;
    }
  }
  list.AddItem(entry);
}

}  // namespace

std::vector<std::string> SplitReportLines(const std::string& report) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < report.size(); ++i) {
    const char c = report[i];
    if (c != '\r') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (i + 1 < report.size() && report[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void ApplyReportLine(AppState& app, const std::string& line) {
  ProjectSettings& s = app.settings;
  // Plain substring tests on the whole line, all of them: the last matching line wins.
  if (Contains(line, "PAL")) s.optPAL.SetValue(true);
  if (Contains(line, "NTSC")) s.optNTSC.SetValue(true);
  if (Contains(line, "16:9")) s.opt16_9.SetValue(true);
  if (Contains(line, "4:3")) s.opt4_3.SetValue(true);
  if (Contains(line, "AC3") || Contains(line, "LPCM")) {
    AddStreamEntry(s.lstAL, StreamEntryOf(line), "0x8", "0xA");
  }
  if (Contains(line, "0x2") || Contains(line, "0x3")) {
    AddStreamEntry(s.lstSL, StreamEntryOf(line), "0x2", "0x3");
  }
  if (Contains(line, "Length:")) s.cmbPGC.AddItem(RestOf(line));
}

void ApplyReport(AppState& app, const std::string& report) {
  for (const std::string& line : SplitReportLines(report)) ApplyReportLine(app, line);
}

}  // namespace ravlo
