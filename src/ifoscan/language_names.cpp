#include "language_names.h"

#include <algorithm>
#include <iterator>

namespace ifoscan {
namespace {

struct Language {
  std::string_view code;
  std::string_view name;
  std::string_view code3;  // ISO 639-2 (the bibliographic form, as Matroska takes it)
};

// Sorted by code for the binary search. Names are plain ASCII and hold no "(" or "[",
// which the report's reader uses as separators.
constexpr Language kLanguages[] = {
    {"aa", "Afar", "aar"}, {"ab", "Abkhazian", "abk"}, {"ae", "Avestan", "ave"},
    {"af", "Afrikaans", "afr"}, {"ak", "Akan", "aka"}, {"am", "Amharic", "amh"},
    {"an", "Aragonese", "arg"}, {"ar", "Arabic", "ara"}, {"as", "Assamese", "asm"},
    {"av", "Avaric", "ava"}, {"ay", "Aymara", "aym"}, {"az", "Azerbaijani", "aze"},
    {"ba", "Bashkir", "bak"}, {"be", "Belarusian", "bel"}, {"bg", "Bulgarian", "bul"},
    {"bh", "Bihari", "bih"}, {"bi", "Bislama", "bis"}, {"bm", "Bambara", "bam"},
    {"bn", "Bengali", "ben"}, {"bo", "Tibetan", "tib"}, {"br", "Breton", "bre"},
    {"bs", "Bosnian", "bos"}, {"ca", "Catalan", "cat"}, {"ce", "Chechen", "che"},
    {"ch", "Chamorro", "cha"}, {"co", "Corsican", "cos"}, {"cr", "Cree", "cre"},
    {"cs", "Czech", "cze"}, {"cu", "Church Slavic", "chu"}, {"cv", "Chuvash", "chv"},
    {"cy", "Welsh", "wel"}, {"da", "Danish", "dan"}, {"de", "German", "ger"},
    {"dv", "Divehi", "div"}, {"dz", "Dzongkha", "dzo"}, {"ee", "Ewe", "ewe"},
    {"el", "Greek", "gre"}, {"en", "English", "eng"}, {"eo", "Esperanto", "epo"},
    {"es", "Spanish", "spa"}, {"et", "Estonian", "est"}, {"eu", "Basque", "baq"},
    {"fa", "Persian", "per"}, {"ff", "Fulah", "ful"}, {"fi", "Finnish", "fin"},
    {"fj", "Fijian", "fij"}, {"fo", "Faroese", "fao"}, {"fr", "French", "fre"},
    {"fy", "Western Frisian", "fry"}, {"ga", "Irish", "gle"}, {"gd", "Scottish Gaelic", "gla"},
    {"gl", "Galician", "glg"}, {"gn", "Guarani", "grn"}, {"gu", "Gujarati", "guj"},
    {"gv", "Manx", "glv"}, {"ha", "Hausa", "hau"}, {"he", "Hebrew", "heb"},
    {"hi", "Hindi", "hin"}, {"ho", "Hiri Motu", "hmo"}, {"hr", "Croatian", "hrv"},
    {"ht", "Haitian", "hat"}, {"hu", "Hungarian", "hun"}, {"hy", "Armenian", "arm"},
    {"hz", "Herero", "her"}, {"ia", "Interlingua", "ina"}, {"id", "Indonesian", "ind"},
    {"ie", "Interlingue", "ile"}, {"ig", "Igbo", "ibo"}, {"ii", "Sichuan Yi", "iii"},
    {"ik", "Inupiaq", "ipk"}, {"in", "Indonesian", "ind"}, {"io", "Ido", "ido"},
    {"is", "Icelandic", "ice"}, {"it", "Italian", "ita"}, {"iu", "Inuktitut", "iku"},
    {"iw", "Hebrew", "heb"}, {"ja", "Japanese", "jpn"}, {"ji", "Yiddish", "yid"},
    {"jv", "Javanese", "jav"}, {"ka", "Georgian", "geo"}, {"kg", "Kongo", "kon"},
    {"ki", "Kikuyu", "kik"}, {"kj", "Kuanyama", "kua"}, {"kk", "Kazakh", "kaz"},
    {"kl", "Greenlandic", "kal"}, {"km", "Khmer", "khm"}, {"kn", "Kannada", "kan"},
    {"ko", "Korean", "kor"}, {"kr", "Kanuri", "kau"}, {"ks", "Kashmiri", "kas"},
    {"ku", "Kurdish", "kur"}, {"kv", "Komi", "kom"}, {"kw", "Cornish", "cor"},
    {"ky", "Kirghiz", "kir"}, {"la", "Latin", "lat"}, {"lb", "Luxembourgish", "ltz"},
    {"lg", "Ganda", "lug"}, {"li", "Limburgish", "lim"}, {"ln", "Lingala", "lin"},
    {"lo", "Lao", "lao"}, {"lt", "Lithuanian", "lit"}, {"lu", "Luba-Katanga", "lub"},
    {"lv", "Latvian", "lav"}, {"mg", "Malagasy", "mlg"}, {"mh", "Marshallese", "mah"},
    {"mi", "Maori", "mao"}, {"mk", "Macedonian", "mac"}, {"ml", "Malayalam", "mal"},
    {"mn", "Mongolian", "mon"}, {"mo", "Moldavian", "mol"}, {"mr", "Marathi", "mar"},
    {"ms", "Malay", "may"}, {"mt", "Maltese", "mlt"}, {"my", "Burmese", "bur"},
    {"na", "Nauru", "nau"}, {"nb", "Norwegian Bokmal", "nob"}, {"nd", "North Ndebele", "nde"},
    {"ne", "Nepali", "nep"}, {"ng", "Ndonga", "ndo"}, {"nl", "Dutch", "dut"},
    {"nn", "Norwegian Nynorsk", "nno"}, {"no", "Norwegian", "nor"}, {"nr", "South Ndebele", "nbl"},
    {"nv", "Navajo", "nav"}, {"ny", "Chichewa", "nya"}, {"oc", "Occitan", "oci"},
    {"oj", "Ojibwa", "oji"}, {"om", "Oromo", "orm"}, {"or", "Oriya", "ori"},
    {"os", "Ossetian", "oss"}, {"pa", "Punjabi", "pan"}, {"pi", "Pali", "pli"},
    {"pl", "Polish", "pol"}, {"ps", "Pashto", "pus"}, {"pt", "Portuguese", "por"},
    {"qu", "Quechua", "que"}, {"rm", "Romansh", "roh"}, {"rn", "Rundi", "run"},
    {"ro", "Romanian", "rum"}, {"ru", "Russian", "rus"}, {"rw", "Kinyarwanda", "kin"},
    {"sa", "Sanskrit", "san"}, {"sc", "Sardinian", "srd"}, {"sd", "Sindhi", "snd"},
    {"se", "Northern Sami", "sme"}, {"sg", "Sango", "sag"}, {"sh", "Serbo-Croatian", "hbs"},
    {"si", "Sinhala", "sin"}, {"sk", "Slovak", "slo"}, {"sl", "Slovenian", "slv"},
    {"sm", "Samoan", "smo"}, {"sn", "Shona", "sna"}, {"so", "Somali", "som"},
    {"sq", "Albanian", "alb"}, {"sr", "Serbian", "srp"}, {"ss", "Swati", "ssw"},
    {"st", "Southern Sotho", "sot"}, {"su", "Sundanese", "sun"}, {"sv", "Swedish", "swe"},
    {"sw", "Swahili", "swa"}, {"ta", "Tamil", "tam"}, {"te", "Telugu", "tel"},
    {"tg", "Tajik", "tgk"}, {"th", "Thai", "tha"}, {"ti", "Tigrinya", "tir"},
    {"tk", "Turkmen", "tuk"}, {"tl", "Tagalog", "tgl"}, {"tn", "Tswana", "tsn"},
    {"to", "Tonga", "ton"}, {"tr", "Turkish", "tur"}, {"ts", "Tsonga", "tso"},
    {"tt", "Tatar", "tat"}, {"tw", "Twi", "twi"}, {"ty", "Tahitian", "tah"},
    {"ug", "Uighur", "uig"}, {"uk", "Ukrainian", "ukr"}, {"ur", "Urdu", "urd"},
    {"uz", "Uzbek", "uzb"}, {"ve", "Venda", "ven"}, {"vi", "Vietnamese", "vie"},
    {"vo", "Volapuk", "vol"}, {"wa", "Walloon", "wln"}, {"wo", "Wolof", "wol"},
    {"xh", "Xhosa", "xho"}, {"yi", "Yiddish", "yid"}, {"yo", "Yoruba", "yor"},
    {"za", "Zhuang", "zha"}, {"zh", "Chinese", "chi"}, {"zu", "Zulu", "zul"},
};

}  // namespace

std::string LanguageName(std::string_view code) {
  if (code.empty()) return "Unknown";
  const auto* found = std::lower_bound(std::begin(kLanguages), std::end(kLanguages), code,
                                       [](const Language& l, std::string_view c) { return l.code < c; });
  if (found != std::end(kLanguages) && found->code == code) return std::string(found->name);
  return std::string(code);
}

std::string LanguageCode3(std::string_view name) {
  for (const Language& language : kLanguages) {
    if (language.name == name || language.code == name) return std::string(language.code3);
  }
  return "und";
}

}  // namespace ifoscan
