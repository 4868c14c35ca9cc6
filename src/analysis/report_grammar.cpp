#include "analysis/report_grammar.h"

#include <unordered_set>

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

// One list of stream entries: one item per stream id, so that what is checked is what the
// project gets; entries without an id are kept. The ids seen are remembered, not searched for.
class StreamEntries {
 public:
  StreamEntries(std::vector<std::string>& items, const char* primary, const char* secondary)
      : items_(items), primary_(primary), secondary_(secondary) {}

  void Add(const std::string& entry) {
    const auto id = StreamIdOf(entry, primary_, secondary_);
    if (id && !ids_.insert(*id).second) return;
    items_.push_back(entry);
  }

 private:
  std::vector<std::string>& items_;
  const char* primary_;
  const char* secondary_;
  std::unordered_set<std::string> ids_;
};

std::string TooMany(std::size_t count, const char* what, int most) {
  return "it lists " + std::to_string(count) + " " + what + ", more than the " +
         std::to_string(most) + " a title set can hold";
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

ReportFacts ReadReport(const std::string& report) {
  ReportFacts facts;
  StreamEntries audio(facts.audio, "0x8", "0xA");
  StreamEntries subtitles(facts.subtitles, "0x2", "0x3");
  for (const std::string& line : SplitReportLines(report)) {
    // Plain substring tests on the whole line, all of them: the last matching line wins, and
    // within a line NTSC is tested after PAL, 4:3 after 16:9.
    if (Contains(line, "PAL")) facts.pal = true;
    if (Contains(line, "NTSC")) facts.pal = false;
    if (Contains(line, "16:9")) facts.wide = true;
    if (Contains(line, "4:3")) facts.wide = false;
    if (Contains(line, "AC3") || Contains(line, "LPCM")) audio.Add(StreamEntryOf(line));
    if (Contains(line, "0x2") || Contains(line, "0x3")) subtitles.Add(StreamEntryOf(line));
    if (Contains(line, "Length:")) facts.chains.push_back(RestOf(line));
  }
  return facts;
}

std::optional<std::string> ReportProblem(const ReportFacts& facts) {
  if (facts.audio.size() > kMaxReportAudioStreams) {
    return TooMany(facts.audio.size(), "audio streams", kMaxReportAudioStreams);
  }
  if (facts.subtitles.size() > kMaxReportSubtitleStreams) {
    return TooMany(facts.subtitles.size(), "subtitle streams", kMaxReportSubtitleStreams);
  }
  if (facts.chains.size() > kMaxReportChains) {
    return TooMany(facts.chains.size(), "program chains", kMaxReportChains);
  }
  return std::nullopt;
}

void ApplyReportFacts(AppState& app, const ReportFacts& facts) {
  ProjectSettings& s = app.settings;
  if (facts.pal) (*facts.pal ? s.optPAL : s.optNTSC).SetValue(true);
  if (facts.wide) (*facts.wide ? s.opt16_9 : s.opt4_3).SetValue(true);
  for (const std::string& entry : facts.audio) s.lstAL.AddItem(entry);
  for (const std::string& entry : facts.subtitles) s.lstSL.AddItem(entry);
  for (const std::string& chain : facts.chains) s.cmbPGC.AddItem(chain);
  // On Linux several chains may be ticked, each made into a file of its own.
  if (app.road == ProjectRoad::Shell) {
    for (const std::string& chain : facts.chains) s.lstTitles.AddItem(chain);
  }
}

void ApplyReport(AppState& app, const std::string& report) {
  ApplyReportFacts(app, ReadReport(report));
}

}  // namespace ravlo
