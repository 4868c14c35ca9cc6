#include "main_feature.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "episodes.h"
#include "ifo_parser.h"
#include "language_names.h"

namespace ifoscan {
namespace {

std::string Hex(int id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", id & 0xFF);
  return text;
}

// "0x80 English, 0x81 German", or "none".
template <typename Stream>
std::string StreamList(const std::vector<Stream>& streams) {
  std::string text;
  for (const Stream& stream : streams) {
    if (!text.empty()) text += ", ";
    text += (stream.streamId >= 0 ? Hex(stream.streamId) : std::string("--")) + " " + LanguageName(stream.language);
  }
  return text.empty() ? "none" : text;
}

}  // namespace

DiscContents ReadDisc(DiscSource& source, int wanted) {
  DiscContents contents;
  std::vector<int> numbers = source.TitleSets(contents.error);
  if (numbers.empty()) return contents;
  if (wanted != 0) {
    if (std::find(numbers.begin(), numbers.end(), wanted) == numbers.end()) {
      contents.error = "there is no title set " + std::to_string(wanted) + " (" +
                       (numbers.size() == 1 ? "only title set " + std::to_string(numbers[0])
                                            : "title sets 1 to " + std::to_string(numbers.back())) +
                       ")";
      return contents;
    }
    numbers = {wanted};
  }
  std::string firstError;
  for (int number : numbers) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ParseResult parsed;
    if (source.ReadTitleSetIfo(number, bytes, error)) {
      parsed = ParseTitleSetIfo(bytes);
      error = parsed.error;
    }
    if (parsed.ok) {
      contents.sets.push_back({number, std::move(parsed.titleSet)});
      continue;
    }
    if (firstError.empty()) firstError = error;
    contents.skipped.push_back("title set " + std::to_string(number) + ": " + error);
  }
  if (!source.Lost().empty()) return {{}, {}, source.Lost()};
  if (contents.sets.empty()) {
    // One title set: its own reason, as a single IFO always gave it.
    contents.error = numbers.size() == 1 ? firstError : "no title set can be read; " + contents.skipped.front();
    contents.skipped.clear();
  }
  return contents;
}

ChainChoice MainFeature(const std::vector<DiscTitleSet>& sets) {
  ChainChoice best;
  int bestSeconds = -1;
  std::size_t bestAudio = 0;
  for (std::size_t s = 0; s < sets.size(); ++s) {
    const TitleSet& titleSet = sets[s].titleSet;
    for (std::size_t c = 0; c < titleSet.chains.size(); ++c) {
      const int seconds = PlaybackSeconds(titleSet.chains[c]);
      if (seconds > bestSeconds || (seconds == bestSeconds && titleSet.audio.size() > bestAudio)) {
        best = {s, static_cast<int>(c + 1)};
        bestSeconds = seconds;
        bestAudio = titleSet.audio.size();
      }
    }
  }
  return best;
}

std::string EncryptionProblem(DiscSource& source, int titleSet, const ProgramChain& chain) {
  if (!chain.playbackError.empty() || chain.cells.empty()) return {};
  std::string error;
  const std::unique_ptr<TitleVobs> vobs = source.OpenTitleVobs(titleSet, error);
  if (!vobs) return source.Lost();
  // The navigation pack that starts a cell is never scrambled; the packs after it are.
  const Cell& cell = chain.cells.front();
  if (cell.lastSector < cell.firstSector) return {};
  constexpr std::uint32_t kProbe = 32;
  const std::uint32_t count = std::min<std::uint32_t>(kProbe, cell.lastSector - cell.firstSector + 1);
  if (count == 0 || !vobs->CheckRange({cell.firstSector, cell.firstSector + count - 1}).empty()) return {};
  std::vector<std::uint8_t> buffer(std::size_t{count} * kSectorSize);
  if (vobs->Read(cell.firstSector, count, buffer.data(), error)) return {};
  return error == ScrambledMessage() ? error : source.Lost();
}

std::string FormatChainList(const std::vector<DiscTitleSet>& sets, ChainChoice main) {
  std::string text;
  for (std::size_t s = 0; s < sets.size(); ++s) {
    const TitleSet& titleSet = sets[s].titleSet;
    const std::vector<int> episodes = Episodes(titleSet);
    for (std::size_t c = 0; c < titleSet.chains.size(); ++c) {
      const ProgramChain& chain = titleSet.chains[c];
      char length[32];
      std::snprintf(length, sizeof length, "%d:%02d:%02d", chain.hours, chain.minutes, chain.seconds);
      text += "title set " + std::to_string(sets[s].number) + ", chain " + std::to_string(c + 1) + ": " + length +
              ", " + std::to_string(chain.chapters) + (chain.chapters == 1 ? " chapter" : " chapters") +
              "; audio " + StreamList(titleSet.audio) + "; subtitles " + StreamList(titleSet.subpictures);
      if (std::find(episodes.begin(), episodes.end(), static_cast<int>(c + 1)) != episodes.end()) text += " (episode)";
      if (s == main.set && static_cast<int>(c + 1) == main.chain) text += " (main feature)";
      text += "\n";
    }
  }
  return text;
}

}  // namespace ifoscan
