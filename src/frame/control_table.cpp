#include "frame/control_table.h"

#include "frame/control_ids.h"
#include "frame/win32/resource_ids.h"

namespace ravlo {
namespace {

constexpr ControlType TypeOf(FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return ControlType::Edit;
    case FieldKind::Combo: return ControlType::Combo;
    case FieldKind::Option: return ControlType::Option;
    case FieldKind::Check: return ControlType::Check;
    case FieldKind::Button: return ControlType::Button;
    case FieldKind::List: return ControlType::List;
    case FieldKind::CheckedList: return ControlType::CheckedList;
    case FieldKind::Picture: return ControlType::Picture;
    case FieldKind::Menu:
    case FieldKind::MenuCheck: break;
  }
  throw "a menu field has no control";  // not a constant expression: fails the build
}

// Positions in dialog units, so that the layout follows the dialog font and the DPI.
constexpr ControlRow kControls[] = {
#define AT(x, y, cx, cy) Box{x, y, cx, cy}
#define NO_LABEL Box{}
#define RAVLO_FIELD(name, kind, caption, page, key, control, label, start, tip) \
  {&ProjectSettings::name, TypeOf(FieldKind::kind), kPage##page, ID_##name, control, label, \
   nullptr, key, 0, tip},
#define RAVLO_PICTURE(name, page, control, icon, start, tip) \
  {&ProjectSettings::name, ControlType::Picture, kPage##page, ID_##name, control, {}, nullptr, 0, icon, tip},
#define RAVLO_FRAME(name, page, box, text, key) \
  {nullptr, ControlType::Frame, kPage##page, ID_##name, box, {}, text, key, 0, ""},
#define RAVLO_LABEL(page, box, text) \
  {nullptr, ControlType::Label, kPage##page, 0, box, {}, text, 0, 0, ""},
#include "frame/field_list.h"
#undef AT
#undef NO_LABEL
};

constexpr const char* kPageTitles[kPageCount] = {"Video", "Audio", "Subtitles", "Preferences",
                                                 "Advanced"};

}  // namespace

std::span<const ControlRow> ControlTable() { return kControls; }

const char* PageTitle(int page) {
  return page >= 0 && page < kPageCount ? kPageTitles[page] : "";
}

}  // namespace ravlo
