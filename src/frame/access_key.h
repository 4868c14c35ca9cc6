#pragma once
// Captions with their access key marked, as both windows show them.

#include <string>

namespace ravlo {

// Caption as a control shows it: literal ampersands doubled, "&" before the access key at the
// first word that starts with it, else at its first occurrence. Key 0 marks nothing.
std::string CaptionWithKey(const std::string& caption, char key);

}  // namespace ravlo
