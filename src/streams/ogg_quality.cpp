#include "streams/ogg_quality.h"

#include <array>
#include <utility>

#include "frame/constants.h"

namespace ravlo {
namespace {

// The OGG encoder takes a quality, not a bitrate: the listed bitrates map to these.
constexpr std::array<std::pair<const char*, const char*>, 8> kOggQualities{{
    {"320", "0.900"},
    {"256", "0.800"},
    {"192", "0.600"},
    {"128", "0.400"},
    {"112", "0.300"},
    {"96", "0.200"},
    {"80", "0.100"},
    {"64", "0.001"},  // deliberately not 0.000
}};

constexpr char kOggTitle[] = "Input OGG Quality";
constexpr char kOggDefault[] = "0.100";

bool OggConversionPlanned(const ProjectSettings& s) {
  return s.lstAO_code.ItemCount() > 0 && s.optAud_OGG.IsSet() && !s.chkOrig.IsSet();
}

}  // namespace

void ResolveOggQuality(AppState& app) {
  const ProjectSettings& s = app.settings;
  // Without an OGG conversion the value is not needed; the one from before is kept.
  if (!OggConversionPlanned(s)) return;

  std::string& quality = app.globals.OggQuality;
  quality.clear();
  for (const auto& [bitrate, value] : kOggQualities) {
    if (s.cmbAudQual.Text() == bitrate) {
      quality = value;
      break;
    }
  }
  if (!quality.empty()) return;

  // A typed bitrate has no quality of its own: the user gives one, taken as typed.
  const std::string& lineBreak = app.globals.LineBreak;
  const std::string prompt = "Range: -0.200 (32kbps) to 1.000 (500kbps)" + lineBreak + lineBreak +
                             "Default: 0.100 (80kbps)";
  if (const auto answer = app.platform.InputBox(prompt, kOggTitle, kOggDefault)) quality = *answer;
}

}  // namespace ravlo
