#pragma once
// Result files of another plan in the project folder of the Linux road. A folder saved again
// with other streams keeps the files of its earlier runs: an "0x81.mp3" beside this plan's
// "0x80.mp3" looks like one of its results, and a measure of the folder would count it. A save
// refuses such a folder, naming the files, rather than move or delete them: they may be hours
// of work the user wants to keep, and only the user knows where they belong.

#include <optional>
#include <string>
#include <vector>

#include "frame/app_state.h"
#include "project/project_plan.h"

namespace ravlo {

// Names of the files in the project folder that look like results (audio files, the VobSub
// pair) but are not among those this plan makes; sorted by name.
std::vector<std::string> ForeignResultFiles(AppState& app, const ProjectPlan& plan);

// Names of the files in the project folder that this save or its job would replace: the
// scripts and the plan's own results; in the order the job makes them.
std::vector<std::string> ReplacedFiles(AppState& app, const ProjectPlan& plan);

// The refusal naming them, or nothing when there are none.
std::optional<std::string> ForeignResultsRefusal(AppState& app, const ProjectPlan& plan);

}  // namespace ravlo
