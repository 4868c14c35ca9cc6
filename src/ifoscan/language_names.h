#pragma once
// English names of the two-letter (ISO 639-1) language codes that DVD streams carry.

#include <string>
#include <string_view>

namespace ifoscan {

// "English" for "en"; "Unknown" for an empty code; the code itself when it is not listed.
std::string LanguageName(std::string_view code);

}  // namespace ifoscan
