#include "unicode.h"

#include <windows.h>

namespace {
std::u16string normalized(NORM_FORM form, std::u16string_view text)
{
    if (text.empty())
        return {};
    const auto *in = reinterpret_cast<const wchar_t *>(text.data());
    // The first call tells how much room the result may need; a second try
    // with what the failed one asked for, as Microsoft's documentation says.
    int room = NormalizeString(form, in, int(text.size()), nullptr, 0);
    for (int tries = 0; room > 0 && tries < 4; ++tries) {
        std::u16string out(size_t(room), u'\0');
        const int n = NormalizeString(form, in, int(text.size()),
                                      reinterpret_cast<wchar_t *>(out.data()), room);
        if (n > 0) {
            out.resize(size_t(n));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        room = -n;
    }
    return std::u16string(text);
}

WORD typeOf(DWORD kind, char32_t c)
{
    WORD type = 0;
    const wchar_t unit = wchar_t(c);
    if (c < 0x10000)
        GetStringTypeW(kind, &unit, 1, &type);
    return type;
}
} // namespace

namespace unicode {

std::u16string composed(std::u16string_view text)
{
    return normalized(NormalizationC, text);
}

std::u16string decomposed(std::u16string_view text)
{
    return normalized(NormalizationD, text);
}

bool isMark(char32_t c)
{
    return (typeOf(CT_CTYPE3, c) & (C3_NONSPACING | C3_VOWELMARK)) &&
           !(typeOf(CT_CTYPE1, c) & C1_ALPHA);
}

bool isLetter(char32_t c)
{
    return (typeOf(CT_CTYPE1, c) & C1_ALPHA) != 0;
}

bool isDigit(char32_t c)
{
    return (typeOf(CT_CTYPE1, c) & C1_DIGIT) != 0;
}

bool isSpace(char32_t c)
{
    return (typeOf(CT_CTYPE1, c) & C1_SPACE) != 0;
}

bool isLetterOrNumber(char32_t c)
{
    return (typeOf(CT_CTYPE1, c) & (C1_ALPHA | C1_DIGIT)) != 0;
}

char32_t folded(char32_t c)
{
    wchar_t in[2], out[2];
    int n = 1;
    if (c >= 0x10000) {
        in[0] = wchar_t(0xD800 + ((c - 0x10000) >> 10));
        in[1] = wchar_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        n = 2;
    } else {
        in[0] = wchar_t(c);
    }
    // One character for one, or it stays as it is.
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, n, out, 2, nullptr, nullptr, 0) !=
        n)
        return c;
    if (n == 1)
        return isSurrogate(out[0]) ? c : char32_t(out[0]);
    return fromSurrogates(char16_t(out[0]), char16_t(out[1]));
}

} // namespace unicode
