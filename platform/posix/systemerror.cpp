#include "systemerror.h"

#include <cstring>
#include <cuchar>
#include <cwchar>

std::u16string fromLocaleText(std::string_view text)
{
    std::u16string out;
    std::mbstate_t state{};
    for (size_t at = 0;;) {
        char16_t unit = 0;
        const size_t left = text.size() - at;
        // At the end, one more call gives the second half of a pair still
        // pending, or the end of the text.
        const size_t n =
            std::mbrtoc16(&unit, left ? text.data() + at : "", left ? left : 1, &state);
        if (n == size_t(-3)) { // the second half of a pair, from no further byte
            out += unit;
            continue;
        }
        if (left == 0)
            return out;
        if (n == size_t(-1) || n == size_t(-2) || n == 0) {
            // No character starts there (or the text ends inside one).
            out += u'\uFFFD';
            state = {};
            ++at;
            continue;
        }
        out += unit;
        at += n;
    }
}

std::u16string systemErrorWords(int errorNumber)
{
    // strerror() speaks in the locale's own character set.
    return fromLocaleText(std::strerror(errorNumber));
}
