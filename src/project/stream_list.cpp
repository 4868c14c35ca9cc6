#include "project/writers.h"

namespace ravlo {

std::string StreamListText(const ProjectPlan& plan) {
  std::string text;
  for (const std::string& vob : plan.titleVobs) text += vob + plan.lineBreak;
  return text;
}

}  // namespace ravlo
