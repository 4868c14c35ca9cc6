#pragma once
// What audio and subtitle selection share: reading a stream item and toggling it in a pair of
// order lists (codes and labels, entry i of one belonging to entry i of the other).

#include <optional>
#include <string>

#include "frame/field.h"

namespace ravlo {

// The stream id that starts at the first `primary` marker ("0x8"), or at the first
// `secondary` one ("0xA") when there is none: four characters, fewer at the end of the text.
// Nothing when the item has neither marker.
std::optional<std::string> StreamIdOf(const std::string& item, const char* primary,
                                      const char* secondary);

// The language text: after the first ". " up to the first " (" behind it. Empty without
// ". "; up to the end of the item without " (".
std::string LanguageOf(const std::string& item);

// Removes every entry of `codes` equal to `code` together with its label; appends the pair
// when there was none. Returns true when the stream was added.
bool ToggleStream(Field& codes, Field& labels, const std::string& code, const std::string& label);

// Sets or clears the check mark of every item, first to last; each change runs the list's
// item-check handlers.
void CheckAll(Field& list, bool checked);

}  // namespace ravlo
