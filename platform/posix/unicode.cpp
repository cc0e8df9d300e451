#include "unicode.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace {
std::u16string normalized(const icu::Normalizer2 *(*form)(UErrorCode &), std::u16string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *normalizer = form(status);
    // Read in place: no copy of the text going in.
    const icu::UnicodeString in(false, text.data(), int32_t(text.size()));
    const icu::UnicodeString out = U_SUCCESS(status) ? normalizer->normalize(in, status) : in;
    if (U_FAILURE(status))
        return std::u16string(text);
    return std::u16string(out.getBuffer(), size_t(out.length()));
}
} // namespace

namespace unicode {

std::u16string composed(std::u16string_view text)
{
    return normalized(icu::Normalizer2::getNFCInstance, text);
}

std::u16string decomposed(std::u16string_view text)
{
    return normalized(icu::Normalizer2::getNFDInstance, text);
}

bool isMark(char32_t c)
{
    return (U_GET_GC_MASK(UChar32(c)) & U_GC_M_MASK) != 0;
}

bool isLetter(char32_t c)
{
    return (U_GET_GC_MASK(UChar32(c)) & U_GC_L_MASK) != 0;
}

bool isLetterOrNumber(char32_t c)
{
    return (U_GET_GC_MASK(UChar32(c)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

bool isDigit(char32_t c)
{
    return u_isdigit(UChar32(c));
}

bool isSpace(char32_t c)
{
    return u_isUWhiteSpace(UChar32(c));
}

char32_t folded(char32_t c)
{
    return char32_t(u_foldCase(UChar32(c), U_FOLD_CASE_DEFAULT));
}

} // namespace unicode
