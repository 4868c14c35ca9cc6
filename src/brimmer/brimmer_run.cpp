#include "brimmer/brimmer_run.h"

#include "brimmer/folder_access.h"
#include "brimmer/size_math.h"
#include "common/numbers.h"

namespace brimmer {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::uint64_t MeasuredBytes(const std::string& folder, Measure measure) {
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
  if (measure == Measure::LinuxRoad) {
    // No archive there: the picture file itself is a result, and so is kept PCM audio.
    total += FileLength(folder + "movie.sub").value_or(0);
    for (const std::string& name : FilesWithExtension(folder, "wav")) {
      total += FileLength(folder + name).value_or(0);
    }
  }
  return total;
}

namespace {

// The size the second pass may use beside `measuredBytes`, or the reason there is none.
BrimmerOutcome DesiredSizeBeside(std::uint64_t measuredBytes, std::string_view mediaSizeText) {
  BrimmerOutcome outcome;
  outcome.measuredBytes = measuredBytes;
  outcome.usedKB = UsedKBFromBytes(outcome.measuredBytes);

  // The whole text must be the number: "699 MB" or "" would otherwise become a size nobody
  // asked for.
  const std::optional<double> megabytes = ravlo::ParseNumber(mediaSizeText);
  if (!megabytes || *megabytes <= 0) {
    outcome.refusal = "the media size " + Quoted(mediaSizeText) +
                      " is not a positive number of megabytes";
    return outcome;
  }
  outcome.targetKB = TargetKBFromText(mediaSizeText);
  if (!outcome.targetKB || *outcome.targetKB <= 0) {
    outcome.refusal = "the media size " + Quoted(mediaSizeText) +
                      " MB does not fit the codec's 32-bit size in KB";
    return outcome;
  }
  if (!outcome.usedKB) {
    outcome.refusal = "the audio and subtitle files (" + std::to_string(outcome.measuredBytes) +
                      " bytes) are larger than any size the codec can take";
    return outcome;
  }
  outcome.desiredKB = DesiredKB(*outcome.targetKB, *outcome.usedKB);
  if (!outcome.desiredKB || *outcome.desiredKB <= 0) {
    outcome.refusal = "the audio and subtitle files (" + std::to_string(*outcome.usedKB) +
                      " KB) leave no room for the video on a medium of " +
                      std::string(mediaSizeText) + " MB";
    outcome.desiredKB.reset();
  }
  return outcome;
}

}  // namespace

BrimmerOutcome ComputeDesiredSize(const std::string& folder, std::string_view mediaSizeText,
                                  Measure measure) {
  return DesiredSizeBeside(MeasuredBytes(folder, measure), mediaSizeText);
}

BrimmerOutcome ComputeDesiredSizeOf(const std::vector<std::string>& files,
                                    std::string_view mediaSizeText) {
  std::uint64_t total = 0;
  for (const std::string& file : files) {
    const std::optional<std::uint64_t> length = FileLength(file);
    if (!length) {
      BrimmerOutcome outcome;
      outcome.refusal = "the result file " + Quoted(file) +
                        " cannot be measured: it is missing or not a plain file";
      return outcome;
    }
    total += *length;
  }
  return DesiredSizeBeside(total, mediaSizeText);
}

BrimmerOutcome RunBrimmer(const std::string& folder, std::string_view mediaSizeText) {
  BrimmerOutcome outcome = ComputeDesiredSize(folder, mediaSizeText, Measure::WindowsBatch);
  if (outcome.Ok()) {
    outcome.lineAppended = AppendToFile(folder + "2nd.reg", DesiredSizeLine(*outcome.desiredKB));
    if (!outcome.lineAppended) outcome.refusal = folder + "2nd.reg cannot be appended to";
  }
  if (!outcome.Ok()) {
    // The batch shows no window of ours; its log is where the user looks after the run.
    AppendToFile(folder + "log.txt",
                 "brimmer: no second-pass size was written: " + outcome.refusal + "\r\n");
  }
  return outcome;
}

}  // namespace brimmer
