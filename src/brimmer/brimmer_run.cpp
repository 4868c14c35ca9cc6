#include "brimmer/brimmer_run.h"

#include "brimmer/folder_access.h"
#include "brimmer/size_math.h"

namespace brimmer {

std::uint64_t MeasuredBytes(const std::string& folder) {
  std::uint64_t total = 0;
  // A missing archive or index simply means no subtitles (or text subtitles).
  for (const char* name : {"movie.rar", "movie.idx"}) {
    total += FileLength(folder + name).value_or(0);
  }
  // Every audio file counts, a demultiplexed stream kept unconverted included.
  for (const char* extension : {"ac3", "mp3", "ogg"}) {
    for (const std::string& name : FilesWithExtension(folder, extension)) {
      total += FileLength(folder + name).value_or(0);
    }
  }
  return total;
}

BrimmerOutcome RunBrimmer(const std::string& folder, std::string_view mediaSizeText) {
  BrimmerOutcome outcome;
  outcome.targetKB = TargetKBFromText(mediaSizeText);
  outcome.measuredBytes = MeasuredBytes(folder);
  outcome.usedKB = UsedKBFromBytes(outcome.measuredBytes);
  if (outcome.targetKB && outcome.usedKB) {
    outcome.desiredKB = DesiredKB(*outcome.targetKB, *outcome.usedKB);
  }
  // Without a size that fits the codec's 32-bit value, 2nd.reg is left as it is rather than
  // handed a wrapped number the second pass would take at its word.
  if (outcome.desiredKB) {
    outcome.lineAppended =
        AppendToFile(folder + "2nd.reg", DesiredSizeLine(*outcome.desiredKB));
  }
  return outcome;
}

}  // namespace brimmer
