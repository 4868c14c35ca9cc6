#include "common/numbers.h"
#include "project/writers.h"

namespace ravlo {

std::string SubtitleParametersText(const ProjectPlan& plan) {
  const std::string& br = plan.lineBreak;
  std::string streams;
  // The subpicture stream index: 0x22 -> 2.
  for (const PlannedStream& stream : plan.subtitles) streams += FormatNumber(stream.id - 0x20) + " ";
  return plan.ifoPath + br + "movie" + br + FormatNumber(plan.chain) + br + FormatNumber(plan.angle) +
         br + streams + br + "CLOSE" + br;
}

}  // namespace ravlo
