#include "systemerror.h"

#include <cstring>
#include <cuchar>
#include <cwchar>

std::u16string systemErrorWords(int errorNumber)
{
    // strerror() speaks in the locale's own character set.
    const char *words = std::strerror(errorNumber);
    const char *const end = words + std::strlen(words);
    std::u16string out;
    std::mbstate_t state{};
    for (char16_t unit = 0; words < end;) {
        const size_t n = std::mbrtoc16(&unit, words, size_t(end - words), &state);
        if (n == size_t(-3)) { // the second half of a surrogate pair
            out += unit;
            continue;
        }
        if (n == 0 || n > size_t(end - words)) { // not a character there: the byte as it is
            out += char16_t(static_cast<unsigned char>(*words++));
            state = {};
            continue;
        }
        out += unit;
        words += n;
    }
    return out;
}
