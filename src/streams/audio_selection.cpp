#include "streams/audio_selection.h"

#include <cctype>

#include "ifoscan/language_names.h"
#include "planning/bitrate_calculator.h"
#include "streams/order_lists.h"

namespace ravlo {

void lstAL_ItemCheck(AppState& app, int index) {
  ProjectSettings& s = app.settings;
  const std::string item = s.lstAL.Item(index);
  const auto id = StreamIdOf(item, "0x8", "0xA");
  if (!id) {
    // Not a stream the batch could demultiplex: it cannot be chosen.
    s.lstAL.SetChecked(index, false);
    return;
  }
  // The code is also the demultiplexed file's name, so AC3 and LPCM get their own suffix.
  const std::string code = *id + (item.find("AC3") != std::string::npos ? "o.ac3" : "o.wav");
  const std::string label = code.substr(0, 4) + " " + LanguageOf(item);
  // Whether the code is already chosen decides, not the new check mark.
  ToggleStream(s.lstAO_code, s.lstAO_name, code, label);
  RecalculateBitrates(app);
}

void cmdASA_Click(AppState& app) { CheckAll(app.settings.lstAL, true); }
void cmdASN_Click(AppState& app) { CheckAll(app.settings.lstAL, false); }

std::string DesktopLanguage(Platform& platform) {
  // The order the desktop's programs read them in; LANGUAGE may list several, best first.
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::string value = platform.EnvironmentValue(name);
    const std::string locale = value.substr(0, value.find(':'));
    if (locale.empty()) continue;
    const std::string language = locale.substr(0, locale.find_first_of("_.@"));
    if (language.size() != 2 || !std::isalpha(static_cast<unsigned char>(language[0])) ||
        !std::isalpha(static_cast<unsigned char>(language[1]))) {
      return {};  // C, POSIX: no language
    }
    return {static_cast<char>(std::tolower(static_cast<unsigned char>(language[0]))),
            static_cast<char>(std::tolower(static_cast<unsigned char>(language[1])))};
  }
  return {};
}

void CheckDesktopLanguageStream(AppState& app) {
  Field& list = app.settings.lstAL;
  int first = -1, preferred = -1;
  const std::string code = DesktopLanguage(app.platform);
  const std::string language = code.empty() ? std::string() : ifoscan::LanguageName(code);
  for (int i = 0; i < list.ItemCount(); ++i) {
    if (list.IsChecked(i)) return;
    if (!StreamIdOf(list.Item(i), "0x8", "0xA")) continue;
    if (first < 0) first = i;
    if (preferred < 0 && !language.empty() && LanguageOf(list.Item(i)) == language) preferred = i;
  }
  const int index = preferred >= 0 ? preferred : first;
  if (index >= 0) list.SetChecked(index, true);
}

}  // namespace ravlo
