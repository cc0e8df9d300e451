#include "systemlocale.h"

#include "codepagetables.h"

#include <windows.h>

LocaleName systemLocale()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) <= 0)
        return {};
    // Locale names are ASCII: "ru-RU", "zh-Hant-TW".
    std::string ascii;
    for (const wchar_t *c = name; *c; ++c)
        ascii += *c < 0x80 ? char(*c) : '?';
    return LocaleName::parse(ascii);
}

int systemCodePage(const LocaleName &)
{
    const int acp = int(GetACP());
    return codePageTable(acp) ? acp : 1252;
}
