#include "systemlocale.h"

#include <doctest/doctest.h>

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
