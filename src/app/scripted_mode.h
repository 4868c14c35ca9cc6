#pragma once
// Scripted mode: the same record, events and handlers as the window, driven by arguments.
//
//   --answer TEXT        queue TEXT for the next dialog or input box
//   --cancel             queue a cancel for the next dialog or input box
//   --open PATH          --answer PATH --click mnuOpen
//   --save FOLDER        --answer FOLDER --click mnuSave (the answer is dropped if no picker asks)
//   --set NAME=VALUE     type a text/combo text, set a check (0/1), select (1) or clear (0) an option
//   --pick NAME=INDEX    pick item INDEX of a combo
//   --check NAME=INDEX   check item INDEX of a checked list (--uncheck clears it); a stream
//                        id (0x80) instead of INDEX names the item of that stream
//   --click NAME         click a button, menu item, check box or option
//   --dump               print the whole state

#include <string>
#include <vector>

#include "app/scripted_platform.h"
#include "app/text_sink.h"
#include "frame/app_state.h"

namespace ravlo {

inline constexpr int kScriptFailed = 1;       // a warning or error message was shown: stopped there
inline constexpr int kScriptUsageError = 2;

// Runs start-up (StartPlanner) and then the actions in order. Returns the exit code: 0;
// kScriptFailed when a warning or error message was shown, after which no further action
// runs; kScriptUsageError after a clear message on `err` for unknown actions or names, wrong
// kinds and bad indexes. The actions also stop when a command closes the main window.
// `program` names the program in the messages about the arguments: "ravlo3" on Linux.
// `saidAs`, beside `args`: for an argument that a named option became, that option as the
// user wrote it ("--audio"), so that a refusal speaks of it and of the disc's streams rather
// than of the fields it acts on.
int RunScript(AppState& app, ScriptedPlatform& platform, const std::vector<std::string>& args,
              TextSink out, TextSink err, const std::string& program = "Ravlo3",
              const std::vector<std::string>& saidAs = {});

std::string ScriptUsage();
// The list of actions and exit codes, without the program's own first lines.
std::string ScriptActionsHelp();

}  // namespace ravlo
