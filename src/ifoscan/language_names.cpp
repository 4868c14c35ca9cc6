#include "language_names.h"

#include <algorithm>
#include <iterator>

namespace ifoscan {
namespace {

struct Language {
  std::string_view code;
  std::string_view name;
};

// Sorted by code for the binary search. Names are plain ASCII and hold no "(" or "[",
// which the report's reader uses as separators.
constexpr Language kLanguages[] = {
    {"aa", "Afar"},        {"ab", "Abkhazian"},   {"ae", "Avestan"},     {"af", "Afrikaans"},
    {"ak", "Akan"},        {"am", "Amharic"},     {"an", "Aragonese"},   {"ar", "Arabic"},
    {"as", "Assamese"},    {"av", "Avaric"},      {"ay", "Aymara"},      {"az", "Azerbaijani"},
    {"ba", "Bashkir"},     {"be", "Belarusian"},  {"bg", "Bulgarian"},   {"bh", "Bihari"},
    {"bi", "Bislama"},     {"bm", "Bambara"},     {"bn", "Bengali"},     {"bo", "Tibetan"},
    {"br", "Breton"},      {"bs", "Bosnian"},     {"ca", "Catalan"},     {"ce", "Chechen"},
    {"ch", "Chamorro"},    {"co", "Corsican"},    {"cr", "Cree"},        {"cs", "Czech"},
    {"cu", "Church Slavic"}, {"cv", "Chuvash"},   {"cy", "Welsh"},       {"da", "Danish"},
    {"de", "German"},      {"dv", "Divehi"},      {"dz", "Dzongkha"},    {"ee", "Ewe"},
    {"el", "Greek"},       {"en", "English"},     {"eo", "Esperanto"},   {"es", "Spanish"},
    {"et", "Estonian"},    {"eu", "Basque"},      {"fa", "Persian"},     {"ff", "Fulah"},
    {"fi", "Finnish"},     {"fj", "Fijian"},      {"fo", "Faroese"},     {"fr", "French"},
    {"fy", "Western Frisian"}, {"ga", "Irish"},   {"gd", "Scottish Gaelic"}, {"gl", "Galician"},
    {"gn", "Guarani"},     {"gu", "Gujarati"},    {"gv", "Manx"},        {"ha", "Hausa"},
    {"he", "Hebrew"},      {"hi", "Hindi"},       {"ho", "Hiri Motu"},   {"hr", "Croatian"},
    {"ht", "Haitian"},     {"hu", "Hungarian"},   {"hy", "Armenian"},    {"hz", "Herero"},
    {"ia", "Interlingua"}, {"id", "Indonesian"},  {"ie", "Interlingue"}, {"ig", "Igbo"},
    {"ii", "Sichuan Yi"},  {"ik", "Inupiaq"},     {"in", "Indonesian"},  {"io", "Ido"},
    {"is", "Icelandic"},   {"it", "Italian"},     {"iu", "Inuktitut"},   {"iw", "Hebrew"},
    {"ja", "Japanese"},    {"ji", "Yiddish"},     {"jv", "Javanese"},    {"ka", "Georgian"},
    {"kg", "Kongo"},       {"ki", "Kikuyu"},      {"kj", "Kuanyama"},    {"kk", "Kazakh"},
    {"kl", "Greenlandic"}, {"km", "Khmer"},       {"kn", "Kannada"},     {"ko", "Korean"},
    {"kr", "Kanuri"},      {"ks", "Kashmiri"},    {"ku", "Kurdish"},     {"kv", "Komi"},
    {"kw", "Cornish"},     {"ky", "Kirghiz"},     {"la", "Latin"},       {"lb", "Luxembourgish"},
    {"lg", "Ganda"},       {"li", "Limburgish"},  {"ln", "Lingala"},     {"lo", "Lao"},
    {"lt", "Lithuanian"},  {"lu", "Luba-Katanga"}, {"lv", "Latvian"},    {"mg", "Malagasy"},
    {"mh", "Marshallese"}, {"mi", "Maori"},       {"mk", "Macedonian"},  {"ml", "Malayalam"},
    {"mn", "Mongolian"},   {"mo", "Moldavian"},   {"mr", "Marathi"},     {"ms", "Malay"},
    {"mt", "Maltese"},     {"my", "Burmese"},     {"na", "Nauru"},       {"nb", "Norwegian Bokmal"},
    {"nd", "North Ndebele"}, {"ne", "Nepali"},    {"ng", "Ndonga"},      {"nl", "Dutch"},
    {"nn", "Norwegian Nynorsk"}, {"no", "Norwegian"}, {"nr", "South Ndebele"}, {"nv", "Navajo"},
    {"ny", "Chichewa"},    {"oc", "Occitan"},     {"oj", "Ojibwa"},      {"om", "Oromo"},
    {"or", "Oriya"},       {"os", "Ossetian"},    {"pa", "Punjabi"},     {"pi", "Pali"},
    {"pl", "Polish"},      {"ps", "Pashto"},      {"pt", "Portuguese"},  {"qu", "Quechua"},
    {"rm", "Romansh"},     {"rn", "Rundi"},       {"ro", "Romanian"},    {"ru", "Russian"},
    {"rw", "Kinyarwanda"}, {"sa", "Sanskrit"},    {"sc", "Sardinian"},   {"sd", "Sindhi"},
    {"se", "Northern Sami"}, {"sg", "Sango"},     {"sh", "Serbo-Croatian"}, {"si", "Sinhala"},
    {"sk", "Slovak"},      {"sl", "Slovenian"},   {"sm", "Samoan"},      {"sn", "Shona"},
    {"so", "Somali"},      {"sq", "Albanian"},    {"sr", "Serbian"},     {"ss", "Swati"},
    {"st", "Southern Sotho"}, {"su", "Sundanese"}, {"sv", "Swedish"},    {"sw", "Swahili"},
    {"ta", "Tamil"},       {"te", "Telugu"},      {"tg", "Tajik"},       {"th", "Thai"},
    {"ti", "Tigrinya"},    {"tk", "Turkmen"},     {"tl", "Tagalog"},     {"tn", "Tswana"},
    {"to", "Tonga"},       {"tr", "Turkish"},     {"ts", "Tsonga"},      {"tt", "Tatar"},
    {"tw", "Twi"},         {"ty", "Tahitian"},    {"ug", "Uighur"},      {"uk", "Ukrainian"},
    {"ur", "Urdu"},        {"uz", "Uzbek"},       {"ve", "Venda"},       {"vi", "Vietnamese"},
    {"vo", "Volapuk"},     {"wa", "Walloon"},     {"wo", "Wolof"},       {"xh", "Xhosa"},
    {"yi", "Yiddish"},     {"yo", "Yoruba"},      {"za", "Zhuang"},      {"zh", "Chinese"},
    {"zu", "Zulu"},
};

}  // namespace

std::string LanguageName(std::string_view code) {
  if (code.empty()) return "Unknown";
  const auto* found = std::lower_bound(std::begin(kLanguages), std::end(kLanguages), code,
                                       [](const Language& l, std::string_view c) { return l.code < c; });
  if (found != std::end(kLanguages) && found->code == code) return std::string(found->name);
  return std::string(code);
}

}  // namespace ifoscan
