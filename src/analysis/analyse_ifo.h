#pragma once
// Opening a title set: the parser writes a report of the IFO file, which fills the title
// information.

#include <chrono>
#include <string>

#include "frame/app_state.h"

namespace ravlo {

inline constexpr char kIfoFilter[] = "IFO file (*.ifo) | *.ifo";
inline constexpr char kParserScript[] = "ifoparse.bat";
inline constexpr char kParserReport[] = "ifoparse.txt";
// Beside the report, the parser's own reason when it writes none (its error output).
inline constexpr char kParserErrors[] = "ifoparse.err";
// Also beside it, on the Linux road: the title set and chain the parser chose on a whole disc
// (the main feature), two lines: the path that names the title set, and the chain.
inline constexpr char kParserChoice[] = "ifoparse.choice";
// The title set the user named (--title-set), for the parser; empty for the main feature's.
inline constexpr char kParserTitleSetVariable[] = "RAVLO3_TITLE_SET";
// The IFO path also reaches the parser through this environment variable, which no command
// interpreter reads: cmd expands %NAME% inside a batch's arguments, and Wine's cmd even
// inside the values it substitutes, so an argument cannot carry every path literally.
inline constexpr char kParserIfoVariable[] = "RAVLO3_IFO";
// A parser still running after this long is ended: reading an IFO takes well under a second,
// so by then it is stuck (an unreadable drive, a program waiting for an answer).
inline constexpr std::chrono::seconds kParserTimeLimit{120};
// How long a report of an earlier run may take to go away before the analysis gives up.
inline constexpr std::chrono::milliseconds kOldReportWait{1000};

// "Open IFO": asks for the file; a cancel leaves the loaded title as it is.
void mnuOpen_Click(AppState& app);

// Analyses IfoPath: reset, parser run, report, first chain, calculator, save commands.
// When the old report cannot be removed or no report can be read afterwards, the user is
// told which file and why, and false is returned: the Windows program has then no title
// loaded, the Linux road keeps the one it had. On the Linux road a loaded disc also
// forgets the project folder and has its first audio stream checked.
bool AnalyseIfo(AppState& app);

// The parser's command line: script, vStrip, IFO file and report, each quoted.
std::string ParserCommandLine(const AppState& app, const std::string& reportPath);

}  // namespace ravlo
