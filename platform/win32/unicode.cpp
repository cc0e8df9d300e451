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

} // namespace unicode
