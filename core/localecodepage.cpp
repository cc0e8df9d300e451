#include "localecodepage.h"

#include <map>
#include <string>

int codePageForLocale(const LocaleName &locale)
{
    const std::string &language = locale.language;
    if (language == "zh") {
        // Traditional script: Taiwan, Hong Kong, Macau, or said so.
        const bool traditional = locale.territory == "TW" || locale.territory == "HK" ||
                                 locale.territory == "MO" || locale.says("hant");
        return traditional && !locale.says("hans") ? 950 : 936;
    }
    if (language == "sr")
        // Serbian is written in Cyrillic unless said ("@latin", or Windows' "sr-Latn-RS")
        return locale.says("latin") || locale.says("latn") ? 1250 : 1251;
    if (language == "uz")
        return locale.says("cyrillic") || locale.says("cyrl") ? 1251 : 1254; // Latin unless said
    static const std::map<std::string, int> byLanguage{
        {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250},
        {"bs", 1250}, {"ro", 1250}, {"sq", 1250}, {"sh", 1250}, {"ru", 1251}, {"uk", 1251},
        {"be", 1251}, {"bg", 1251}, {"mk", 1251}, {"kk", 1251}, {"ky", 1251}, {"mn", 1251},
        {"tt", 1251}, {"tg", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255},
        {"iw", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"lt", 1257}, {"lv", 1257},
        {"et", 1257}, {"vi", 1258}, {"th", 874},  {"ja", 932},  {"ko", 949},
    };
    const auto found = byLanguage.find(language);
    return found == byLanguage.end() ? 1252 : found->second;
}
