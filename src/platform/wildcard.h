#pragma once
#include <string>

namespace ravlo {

// Case-insensitive wildcard match of a file name ("*" any run, "?" one character).
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace ravlo
