#include "app/scripted_platform.h"

namespace ravlo {
namespace {

// Message texts use CR LF; the console (or a redirected file) gets plain lines.
std::string PlainLines(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace

void ScriptedPlatform::DropAnswerIfUnused(std::size_t queuedBefore) {
  if (answers_.size() > queuedBefore) answers_.pop_back();
}

std::optional<std::string> ScriptedPlatform::NextAnswer() {
  if (answers_.empty()) return std::nullopt;  // unanswered dialogs count as cancelled
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

bool ScriptedPlatform::ShellOpen(const std::string& verb, const std::string& file,
                                 const std::string& parameters, const std::string& folder,
                                 WindowStyle style) {
  return system_.ShellOpen(verb, file, parameters, folder, style);
}

std::string ScriptedPlatform::OpenFileDialog(const std::string&) {
  return NextAnswer().value_or("");
}

std::string ScriptedPlatform::BrowseForFolder(const std::string&, unsigned) {
  return NextAnswer().value_or("");
}

void ScriptedPlatform::ShowMessage(const std::string& text, MessageIcon icon, const std::string&) {
  TextSink& stream = icon == MessageIcon::Information ? out_ : err_;
  if (icon != MessageIcon::Information) reportedFailure_ = true;
  stream << PlainLines(text);
  if (text.empty() || text.back() != '\n') stream << '\n';
  stream.Flush();
}

std::optional<std::string> ScriptedPlatform::InputBox(const std::string&, const std::string&,
                                                      const std::string&) {
  return NextAnswer();
}

}  // namespace ravlo
