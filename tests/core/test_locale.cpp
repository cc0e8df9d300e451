#include "localecodepage.h"

#include <doctest/doctest.h>

#include <string>
#include <utility>

// The code page of a locale's language: each row's locale name as the system
// gives it, and the code page Windows uses for that language.
TEST_CASE("a locale's code page")
{
    // clang-format off
    const std::pair<const char *, int> rows[] = {
        {"", 1252}, {"C", 1252}, {"POSIX", 1252}, {"C.UTF-8", 1252},
        {"sr_RS.UTF-8", 1251}, {"sr_RS.UTF-8@latin", 1250}, {"sr_RS@Latin", 1250},
        {"sr-Latn-RS", 1250}, {"sr-Cyrl-RS", 1251}, {"uz_UZ.UTF-8", 1254},
        {"uz_UZ@cyrillic", 1251}, {"uz-Cyrl-UZ", 1251}, {"uz-Latn-UZ", 1254},
        {"ja_JP.UTF-8", 932}, {"ko_KR.UTF-8", 949}, {"zh_CN.UTF-8", 936}, {"zh_SG.GBK", 936},
        {"zh_TW.UTF-8", 950}, {"zh_HK.UTF-8", 950}, {"zh_MO", 950}, {"zh_Hant_TW.UTF-8", 950},
        {"zh@Hant", 950}, {"zh_Hans_HK", 936}, {"zh-Hant-TW", 950}, {"zh-tw.UTF-8", 950},
        {"zh__TW", 950}, {"zh_TWN", 936}, {"xx_YY.UTF-8", 1252},
        // One row for each language of the table of code pages.
        {"pl_PL", 1250}, {"cs_CZ", 1250}, {"sk_SK", 1250}, {"hu_HU", 1250}, {"sl_SI", 1250},
        {"hr_HR", 1250}, {"bs_BA", 1250}, {"ro_RO", 1250}, {"sq_AL", 1250}, {"ru_RU", 1251},
        {"uk_UA", 1251}, {"be_BY", 1251}, {"bg_BG", 1251}, {"mk_MK", 1251}, {"kk_KZ", 1251},
        {"ky_KG", 1251}, {"mn_MN", 1251}, {"tt_RU", 1251}, {"tg_TJ", 1251}, {"el_GR", 1253},
        {"tr_TR", 1254}, {"az_AZ", 1254}, {"he_IL", 1255}, {"ar_EG", 1256}, {"fa_IR", 1256},
        {"ur_PK", 1256}, {"lt_LT", 1257}, {"lv_LV", 1257}, {"et_EE", 1257}, {"vi_VN", 1258},
        {"th_TH", 874},  {"de_DE", 1252}, {"fr_FR", 1252}, {"iw_IL", 1255}, {"sh_BA", 1250}};
    // clang-format on
    for (const auto &[name, page] : rows) {
        INFO("locale ", std::string(name));
        CHECK(codePageForLocale(LocaleName::parse(name)) == page);
    }
}

// The parts of a locale name: language, territory, the parts after the
// language and the modifier (the spelling dictionary is chosen by the first two).
TEST_CASE("a locale name's parts")
{
    struct Row {
        const char *name, *language, *territory, *parts, *modifier;
    } const rows[] = {
        {"sr_RS@latin", "sr", "RS", "RS", "latin"},
        {"sr_RS.UTF-8@latin", "sr", "RS", "RS", "latin"},
        {"zh_Hant_TW.UTF-8", "zh", "TW", "Hant TW", ""},
        {"sr-Latn-RS", "sr", "RS", "Latn RS", ""},
        {"pt-br", "pt", "BR", "br", ""},
        {"POSIX", "", "", "", ""},
    };
    for (const Row &row : rows) {
        const LocaleName locale = LocaleName::parse(row.name);
        std::string parts;
        for (const std::string &part : locale.parts)
            parts += (parts.empty() ? "" : " ") + part;
        INFO(std::string(row.name));
        CHECK(locale.language == row.language);
        CHECK(locale.territory == row.territory);
        CHECK(parts == row.parts);
        CHECK(locale.modifier == row.modifier);
    }
}
