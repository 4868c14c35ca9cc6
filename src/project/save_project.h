#pragma once
// The save sequence: the five writers, then the copies the batch needs, then one message.

#include <optional>
#include <string>

#include "frame/app_state.h"
#include "project/project_plan.h"
#include "project/save_report.h"

namespace ravlo {

// What the caller does once the project is saved; only changes the failure message.
enum class AfterSave { Nothing, Run };

// Requires ProjectFolder. Builds the plan first: a value the project cannot carry is refused
// with one message and nothing is written. Otherwise runs every step even when one fails,
// then shows either the confirmation or one warning that lists every file missing from the
// folder. Returns whether every file was written or copied.
//
// On the Linux road it also asks first, and saves nothing on a no: when the folder was just
// chosen (`folderBefore` is the one it replaced) and holds files the save or its job would
// replace, naming them (a no puts folderBefore back); and when the title cannot fill most of
// the medium, saying the fill to expect. The command line prints these and saves.
bool SaveProject(AppState& app, AfterSave after = AfterSave::Nothing,
                 const std::optional<std::string>& folderBefore = std::nullopt);

// The copies of a save (templates, brimmer, tools), each under its condition.
void CopyProjectFiles(AppState& app, const ProjectPlan& plan, SaveReport& report);

std::string SavedMessage(const AppState& app);

// The shell road's save: project.sh and movie.sh, made executable; and its confirmation.
void SaveShellScripts(AppState& app, const ProjectPlan& plan, SaveReport& report);
std::string ShellSavedMessage(const AppState& app);
std::string SaveFailedMessage(const AppState& app, const SaveReport& report, AfterSave after);
std::string PlanRefusedMessage(const AppState& app, const std::string& refusal, AfterSave after);

}  // namespace ravlo
