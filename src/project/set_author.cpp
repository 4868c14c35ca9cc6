#include "frame/cmd_text.h"
#include "frame/constants.h"
#include "project/set_author.h"

namespace ravlo {
namespace {

// Why the batch cannot carry the text, or empty when it can. The text goes between
// quotation marks on gsar's command line: a quotation mark would end the argument, and the
// command interpreter would expand a percent sign.
std::string AuthorTextProblem(const std::string& text) {
  if (text.size() != kAuthorTextLength) return "It must be 17 characters long";
  if (text.find_first_of("\"%") != std::string::npos) {
    return "It must not contain a quotation mark (\") or a percent sign (%)";
  }
  // A line break would split the batch's author line in two.
  if (TextProblem(text)) return "It must not contain a line break or another control character";
  return {};
}

}  // namespace

void mnuSetAuthor_Click(AppState& app) {
  const std::string& br = app.globals.LineBreak;
  const std::string prompt = "Enter a URL. It must be 17 characters long." + br + br +
                             "Examples:" + br + kHostName + br + kCompanyHostName + br +
                             kConverterSignature + br;
  for (;;) {
    const std::optional<std::string> answer =
        app.platform.InputBox(prompt, "Set author", app.globals.AuthorText);
    if (!answer || answer->empty()) return;  // cancelled or emptied: keep the old text
    const std::string problem = AuthorTextProblem(*answer);
    if (problem.empty()) {
      app.globals.AuthorText = *answer;
      return;
    }
    app.platform.ShowMessage(problem, MessageIcon::Critical, kAppTitle);
  }
}

}  // namespace ravlo
