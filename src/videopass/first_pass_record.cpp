#include "videopass/first_pass_record.h"

#include <cmath>

#include "videopass/plan_file.h"
#include "videopass/segment_command.h"

namespace videopass {
namespace {

// The first pass's segments seeked by the plan's seek line: the second pass's must seek alike,
// or their frames are shifted against the statistics they are given. The line is the source's
// packets (kept as packets.txt) read as the first pass read them, so it is read again from them
// and must agree. A plan that does not seek needs no check: decoding from the title's start
// gives every segment its own frames.
std::string CheckSeek(const Options& options, const std::string& chain, const SourceTiming& planned) {
  if (!planned.regular) return "";
  const std::string plan = Path(options, "plan.txt"), list = Path(options, "packets.txt");
  SourceTiming listed = ReadSourceTimingFile(list);
  if (listed.sizes.empty()) {
    return plan + ": its seek line cannot be checked: " + list + ", the source's packets it was read from, is "
           "missing or lists none";
  }
  if (!FrameLocal(chain)) listed.regular = false;
  // The plan writes 17 digits: a microsecond is far below a frame and far above their rounding.
  auto same = [](double a, double b) { return std::fabs(a - b) <= 1e-6; };
  if (!listed.regular || !same(listed.firstSeconds, planned.firstSeconds) ||
      !same(listed.startSeconds, planned.startSeconds) || !same(listed.frameSeconds, planned.frameSeconds) ||
      listed.keyGap != planned.keyGap) {
    return plan + ": its seek line does not match the source's packets listed in " + list +
           ", from which the first pass read it; the segments would seek to other frames than the first pass's";
  }
  return "";
}

}  // namespace

std::string ReadFirstPassRecord(const Options& options, const std::string& chain, FirstPassRecord& record) {
  record = {};
  if (std::string error = ReadPlan(options, record.fps, record.starts, record.tailFrom, record.timing);
      !error.empty()) {
    return error;
  }
  const std::string plan = Path(options, "plan.txt");
  const std::vector<long>& starts = record.starts;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::string path = Path(options, FirstLogName(k) + "-0.log");
    PassLog part;
    if (std::string error = ReadPassLog(path, part); !error.empty()) return error;
    const long frames = static_cast<long>(part.frames.size());
    if (k + 1 < starts.size() && frames != starts[k + 1] - starts[k]) {
      return plan + ": segment " + std::to_string(k + 1) + " has frames " + std::to_string(starts[k]) + " to " +
             std::to_string(starts[k + 1] - 1) + ", but its log " + path + " holds " + std::to_string(frames);
    }
    if (frames == 0) return path + " holds no frame";
    AppendFrames(record.title, part);
  }
  const long frames = static_cast<long>(record.title.frames.size());
  if (record.tailFrom <= starts.back()) {
    return plan + ": the trailing frames start at frame " + std::to_string(record.tailFrom) +
           ", not within the last segment, which starts at frame " + std::to_string(starts.back());
  }
  if (record.tailFrom >= frames) {
    return plan + ": the title has " + std::to_string(frames) + " frames, fewer than its length promised; the "
           "trailing segment kept by the first pass starts at frame " + std::to_string(record.tailFrom);
  }
  return CheckSeek(options, chain, record.timing);
}

}  // namespace videopass
