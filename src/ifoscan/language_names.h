#pragma once
// English names of the two-letter (ISO 639-1) language codes that DVD streams carry.

#include <string>
#include <string_view>

namespace ifoscan {

// "English" for "en"; "Unknown" for an empty code; the code itself when it is not listed.
std::string LanguageName(std::string_view code);

// The three-letter code a movie file's track carries ("eng") for a name LanguageName gives (or
// a two-letter code); "und" (undetermined) for "Unknown" and anything not listed.
std::string LanguageCode3(std::string_view name);

}  // namespace ifoscan
