#include "app/state_dump.h"

namespace ravlo {
namespace {

// Control characters would break the one-value-a-line format.
std::string Escaped(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\r') result += "\\r";
    else if (c == '\n') result += "\\n";
    else result += c;
  }
  return result;
}

void DumpField(const Field& f, TextSink& out) {
  const std::string& name = f.Name();
  switch (f.Kind()) {
    case FieldKind::Text:
      out << name << '=' << Escaped(f.Text()) << '\n';
      break;
    case FieldKind::Combo:
      out << name << '=' << Escaped(f.Text()) << '\n';
      out << name << ".selected=" << f.Selected() << '\n';
      break;
    case FieldKind::Option:
    case FieldKind::Check:
    case FieldKind::MenuCheck:
      out << name << '=' << f.Value() << '\n';
      break;
    default:
      break;
  }
  for (int i = 0; i < f.ItemCount(); ++i) {
    out << name << '[' << i << "]=" << Escaped(f.Item(i)) << '\n';
    if (f.Kind() == FieldKind::CheckedList) {
      out << name << '[' << i << "].checked=" << (f.IsChecked(i) ? 1 : 0) << '\n';
    }
  }
  out << name << ".enabled=" << (f.Enabled() ? 1 : 0) << '\n';
  out << name << ".visible=" << (f.Visible() ? 1 : 0) << '\n';
}

}  // namespace

void DumpState(const AppState& app, TextSink& out) {
  for (const Field* field : app.settings.All()) DumpField(*field, out);
  const AppGlobals& g = app.globals;
  out << "LineBreak=" << Escaped(g.LineBreak) << '\n';
  out << "AppFolder=" << g.AppFolder << '\n';
  out << "MiscFolder=" << g.MiscFolder << '\n';
  out << "ToolsFolder=" << g.ToolsFolder << '\n';
  out << "AuthorText=" << g.AuthorText << '\n';
  for (int i = 0; i < kToolCount; ++i) {
    out << "ToolPaths." << kTools[i].name << '=' << g.ToolPaths[i] << '\n';
  }
  out << "IfoPath=" << g.IfoPath << '\n';
  out << "ProjectFolder=" << g.ProjectFolder << '\n';
  out << "ListFilePath=" << g.ListFilePath << '\n';
  out << "OggQuality=" << g.OggQuality << '\n';
}

}  // namespace ravlo
