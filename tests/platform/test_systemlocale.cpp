#include "systemerror.h"
#include "systemlocale.h"

#include <doctest/doctest.h>

#include <clocale>
#include <cstdlib>
#include <string>

// The locale is the first of LC_ALL, LC_CTYPE and LANG that is set and not
// empty; null for a variable that is not set.
TEST_CASE("the locale the program runs in")
{
    struct Row {
        const char *lcAll, *lcCtype, *lang;
        int page;
    } const rows[] = {
        {nullptr, nullptr, nullptr, 1252},       {nullptr, nullptr, "ru_RU.UTF-8", 1251},
        {nullptr, "pl_PL.UTF-8", "ru_RU", 1250}, {"el_GR.UTF-8", "pl_PL", "ru_RU", 1253},
        {"", "tr_TR.UTF-8", "ru_RU", 1254},      {"", "", "he_IL", 1255},
        {"C", "ru_RU", "ru_RU", 1252},           {nullptr, "POSIX", "ru_RU", 1252},
    };
    for (const Row &row : rows) {
        const std::pair<const char *, const char *> variables[] = {
            {"LC_ALL", row.lcAll}, {"LC_CTYPE", row.lcCtype}, {"LANG", row.lang}};
        for (const auto &[name, value] : variables) {
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
        const auto shown = [](const char *value) { return std::string(value ? value : "(unset)"); };
        INFO("LC_ALL=", shown(row.lcAll), " LC_CTYPE=", shown(row.lcCtype),
             " LANG=", shown(row.lang));
        CHECK(systemCodePage(systemLocale()) == row.page);
    }
}

// The system's words, read in the locale's character set: each row's bytes
// and the UTF-16 they are, written out by hand.
TEST_CASE("text in the locale's character set")
{
    REQUIRE(std::setlocale(LC_CTYPE, "C.UTF-8"));
    struct Row {
        std::string bytes;
        std::u16string text;
    } const rows[] = {
        {"No space left on device", u"No space left on device"},
        {"Fehler \xF0\x9F\x98\x80", u"Fehler \U0001F600"}, // a pair at the very end
        {"\xF0\x9F\x98\x80 x", u"\U0001F600 x"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         u"Gr\u00F6\u00DFe"},
        {"bad \xE9 byte", u"bad \uFFFD byte"},
        {"cut \xE2\x82", u"cut \uFFFD\uFFFD"},
        {"", u""},
    };
    for (const Row &row : rows) {
        INFO(row.bytes);
        CHECK(fromLocaleText(row.bytes) == row.text);
    }
    std::setlocale(LC_CTYPE, "C");
}
