#include "videopass/plan_file.h"

#include <fstream>

namespace videopass {

bool WritePlan(const Options& options, double fps, const std::vector<long>& starts, long tailFrom,
               const SourceTiming& timing) {
  std::ofstream out(Path(options, "plan.txt"));
  out.precision(17);
  out << "fps " << fps << "\ntail " << tailFrom << "\nseek " << (timing.regular ? 1 : 0) << ' '
      << timing.firstSeconds << ' ' << timing.startSeconds << ' ' << timing.frameSeconds << ' ' << timing.keyGap
      << "\nstarts";
  for (long start : starts) out << ' ' << start;
  out << '\n';
  return static_cast<bool>(out.flush());
}

bool ReadPlan(const Options& options, double& fps, std::vector<long>& starts, long& tailFrom, SourceTiming& timing) {
  std::ifstream in(Path(options, "plan.txt"));
  std::string word;
  int regular = 0;
  if (!(in >> word >> fps >> word >> tailFrom >> word >> regular >> timing.firstSeconds >> timing.startSeconds >>
        timing.frameSeconds >> timing.keyGap >> word) ||
      word != "starts") {
    return false;
  }
  timing.regular = regular == 1;
  long start;
  while (in >> start) starts.push_back(start);
  return !starts.empty();
}

std::string FirstLogName(std::size_t k) { return "first-" + std::to_string(k); }

}  // namespace videopass
