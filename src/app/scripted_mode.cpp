#include "app/scripted_mode.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "app/planner.h"
#include "app/state_dump.h"

namespace ravlo {
namespace {

struct Action {
  std::string verb;   // without the leading "--"
  std::string name;   // field name, where the action has one
  std::string value;  // text, path or index text
  std::string said;   // the named option it came from, as the user wrote it; "" for none
};

struct ScriptError {
  std::string message;
};

bool TakesValue(const std::string& verb) {
  return verb == "answer" || verb == "open" || verb == "save" || verb == "set" || verb == "pick" ||
         verb == "check" || verb == "uncheck" || verb == "click";
}

bool IsKnown(const std::string& verb) {
  return TakesValue(verb) || verb == "cancel" || verb == "dump";
}

bool HasNameValue(const std::string& verb) {
  return verb == "set" || verb == "pick" || verb == "check" || verb == "uncheck";
}

std::optional<ScriptError> Parse(const std::vector<std::string>& args, const std::vector<std::string>& saidAs,
                                 std::vector<Action>& actions) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0 || !IsKnown(arg.substr(2))) {
      return ScriptError{"unknown action \"" + arg + "\""};
    }
    Action action{arg.substr(2), {}, {}, i < saidAs.size() ? saidAs[i] : std::string()};
    if (TakesValue(action.verb)) {
      if (i + 1 >= args.size()) return ScriptError{arg + " needs a value"};
      const std::string& value = args[++i];
      if (HasNameValue(action.verb)) {
        const auto equals = value.find('=');
        if (equals == std::string::npos) {
          return ScriptError{arg + " needs NAME=VALUE, got \"" + value + "\""};
        }
        action.name = value.substr(0, equals);
        action.value = value.substr(equals + 1);
      } else if (action.verb == "click") {
        action.name = value;
      } else {
        action.value = value;
      }
    }
    actions.push_back(std::move(action));
  }
  return std::nullopt;
}

std::optional<int> ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int index = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  return index;
}

// A stream list's item named by its stream id ("0x80" finds "0x80. English (AC3, ...)").
std::optional<int> StreamItemIndex(const Field& f, const std::string& code) {
  if (code.size() < 3 || code[0] != '0' || (code[1] != 'x' && code[1] != 'X')) return std::nullopt;
  for (int i = 0; i < f.ItemCount(); ++i) {
    const std::string& item = f.Item(i);
    if (item.size() > code.size() && item[code.size()] == '.' &&
        std::equal(code.begin(), code.end(), item.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return i;
    }
  }
  return std::nullopt;
}

bool KindIs(const Field& f, std::initializer_list<FieldKind> kinds) {
  for (FieldKind kind : kinds) {
    if (f.Kind() == kind) return true;
  }
  return false;
}

// Kinds each action can work on, checked before anything runs.
std::optional<ScriptError> CheckKind(const Action& a, const Field& f) {
  bool ok = true;
  if (a.verb == "set") {
    ok = KindIs(f, {FieldKind::Text, FieldKind::Combo, FieldKind::Check, FieldKind::Option,
                    FieldKind::MenuCheck});
  } else if (a.verb == "pick") {
    ok = KindIs(f, {FieldKind::Combo});
  } else if (a.verb == "check" || a.verb == "uncheck") {
    ok = KindIs(f, {FieldKind::CheckedList});
  } else if (a.verb == "click") {
    ok = KindIs(f, {FieldKind::Button, FieldKind::Menu, FieldKind::MenuCheck, FieldKind::Check,
                    FieldKind::Option});
  }
  if (!ok) return ScriptError{"--" + a.verb + " cannot act on " + f.Name() + ", a " + KindName(f.Kind())};
  if (a.verb == "set" && f.ReadOnly()) return ScriptError{f.Name() + " is read-only"};
  return std::nullopt;
}

// What the user could not do in the window either.
std::optional<ScriptError> CheckReachable(const Field& f) {
  if (!f.Enabled()) return ScriptError{f.Name() + " is disabled"};
  if (!f.Visible()) return ScriptError{f.Name() + " is not visible"};
  return std::nullopt;
}

// The stream ids of a stream list, as the disc names them: "0x80, 0x81", or "none".
std::string StreamIdsOf(const Field& list) {
  std::string ids;
  for (int i = 0; i < list.ItemCount(); ++i) {
    const std::string& item = list.Item(i);
    ids += (ids.empty() ? "" : ", ") + item.substr(0, item.find('.'));
  }
  return ids.empty() ? "none" : ids;
}

// A named option's refusal in its own words: the option as written and what the disc has.
ScriptError SaidAs(const AppState& app, const Action& a, const Field& f, const ScriptError& error) {
  if (a.said.empty()) return error;
  if (app.globals.IfoPath.empty()) return {a.said + ": no disc is open yet (name it with --open before " + a.said + ")"};
  if (&f == &app.settings.lstTitles) {
    const auto index = ParseIndex(a.value);
    return {a.said + ": the title set has no chain " + (index ? std::to_string(*index + 1) : a.value) + " (it has " +
            std::to_string(f.ItemCount()) + ")"};
  }
  if (a.verb == "check" || a.verb == "uncheck") {
    const char* kind = &f == &app.settings.lstAL ? "audio" : "subtitle";
    return {a.said + ": the title has no " + kind + " stream " + a.value + " (it has " + StreamIdsOf(f) + ")"};
  }
  return {a.said + " cannot be used with the choices made before it"};
}

std::optional<ScriptError> Run(AppState& app, ScriptedPlatform& platform, const Action& a,
                               TextSink& out) {
  if (a.verb == "answer") return platform.QueueAnswer(a.value), std::nullopt;
  if (a.verb == "cancel") return platform.QueueAnswer(std::nullopt), std::nullopt;
  if (a.verb == "dump") return DumpState(app, out), std::nullopt;
  if (a.verb == "open" || a.verb == "save") {
    Field& menu = a.verb == "open" ? app.settings.mnuOpen : app.settings.mnuSave;
    if (auto error = CheckReachable(menu)) return error;
    const std::size_t before = platform.PendingAnswers();
    platform.QueueAnswer(a.value);
    menu.Click();
    if (a.verb == "save") platform.DropAnswerIfUnused(before);
    return std::nullopt;
  }

  Field& f = *app.settings.Find(a.name);
  if (auto error = CheckReachable(f)) return SaidAs(app, a, f, *error);
  if (a.verb == "click") {
    if (f.Kind() == FieldKind::Check) f.SetValue(!f.IsSet());
    else if (f.Kind() == FieldKind::Option) f.SetValue(true);
    else f.Click();
    return std::nullopt;
  }
  if (a.verb == "set") {
    if (f.Kind() == FieldKind::Text || f.Kind() == FieldKind::Combo) {
      f.SetText(a.value);
    } else if (a.value == "0" || a.value == "1") {
      f.SetValue(a.value == "1");
    } else {
      return ScriptError{"--set " + f.Name() + " takes 0 or 1, got \"" + a.value + "\""};
    }
    return std::nullopt;
  }
  auto index = ParseIndex(a.value);
  if (!index && a.verb != "pick") index = StreamItemIndex(f, a.value);
  if (!index || *index >= f.ItemCount()) {
    return SaidAs(app, a, f,
                  {"--" + a.verb + " " + f.Name() + ": no item " + a.value + " (it has " +
                   std::to_string(f.ItemCount()) + ")"});
  }
  if (a.verb == "pick") f.Select(*index);
  else f.SetChecked(*index, a.verb == "check");
  return std::nullopt;
}

}  // namespace

std::string ScriptUsage() {
  return "Usage: Ravlo3 [actions]   (or Ravlo3 --help for this text)\n"
         "Without actions the main window opens. " +
         ScriptActionsHelp();
}

std::string ScriptActionsHelp() {
  return "Actions run in order, after start-up:\n"
         "  --answer TEXT       answer the next dialog or input box with TEXT\n"
         "  --cancel            cancel the next dialog or input box\n"
         "  --open PATH         open an IFO file (File > Open IFO)\n"
         "  --save FOLDER       save the project (File > Save; FOLDER answers the folder picker)\n"
         "  --set NAME=VALUE    type a text, set a check box (0/1), select an option (1)\n"
         "  --pick NAME=INDEX   pick item INDEX (from 0) of a combo box\n"
         "  --check NAME=INDEX  check item INDEX of a stream list (--uncheck clears it);\n"
         "                      a stream id (0x80) instead of INDEX names the stream's item\n"
         "  --click NAME        click a button, menu item, check box or option\n"
         "  --dump              print every field and global as NAME=VALUE\n"
         "Exit codes: 0 done, 1 a warning or error was shown (no later action runs),\n"
         "2 bad arguments.\n";
}

int RunScript(AppState& app, ScriptedPlatform& platform, const std::vector<std::string>& args,
              TextSink out, TextSink err, const std::string& program,
              const std::vector<std::string>& saidAs) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
    out << ScriptUsage();
    return 0;
  }
  std::vector<Action> actions;
  auto fail = [&err, &program](const ScriptError& error) {
    err << program << ": " << error.message << " (" << program << " --help lists the actions)\n";
    return kScriptUsageError;
  };
  if (auto error = Parse(args, saidAs, actions)) return fail(*error);
  for (const Action& a : actions) {
    if (a.name.empty()) continue;
    const Field* f = app.settings.Find(a.name);
    if (!f) return fail({"no field named \"" + a.name + "\""});
    if (auto error = CheckKind(a, *f)) return fail(*error);
  }

  StartPlanner(app);
  for (const Action& a : actions) {
    if (platform.Closed()) break;
    if (auto error = Run(app, platform, a, out)) {
      // The named options' own words need no pointer to the scripted actions.
      if (a.said.empty()) return fail(*error);
      err << program << ": " << error->message << "\n";
      return kScriptUsageError;
    }
    // What follows would build on what did not happen: a save after a refused author would
    // save the old one, a save after a failed open nothing the user asked for.
    if (platform.ReportedFailure()) break;
  }
  out.Flush();
  return platform.ReportedFailure() ? kScriptFailed : 0;
}

}  // namespace ravlo
