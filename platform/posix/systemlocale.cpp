#include "systemlocale.h"

#include "localecodepage.h"

#include <cstdlib>

LocaleName systemLocale()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char *value = std::getenv(variable);
        if (value && *value)
            return LocaleName::parse(value);
    }
    return {};
}

int systemCodePage(const LocaleName &locale)
{
    return codePageForLocale(locale);
}
