#pragma once

#include <string>
#include <string_view>

// What the core asks of Unicode, from the system's own library: ICU on POSIX
// systems (platform/posix/), the national-language functions on Windows
// (platform/win32/).
namespace unicode {

// UTF-16's surrogates, the halves of a character beyond the first plane, and
// the character a high and a low one stand for.
constexpr bool isSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}
constexpr bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}
constexpr char32_t fromSurrogates(char16_t high, char16_t low)
{
    return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
}

// Canonical composition and decomposition (normal forms C and D).
std::u16string composed(std::u16string_view text);
std::u16string decomposed(std::u16string_view text);

// Whether c is a combining mark: on POSIX systems any (general category Mn,
// Mc or Me); on Windows, which tells no general category, a nonspacing mark
// or a vowel sign that is no letter (so not the spacing marks of Indic
// scripts, which no news code page has).
bool isMark(char32_t c);
// Whether c is a letter (general category L).
bool isLetter(char32_t c);
// Whether c is a letter or a number (general categories L and N; on Windows
// the numbers are its digits).
bool isLetterOrNumber(char32_t c);
// Whether c is a decimal digit (general category Nd).
bool isDigit(char32_t c);
// Whether c is white space: a separator (general category Z), a tab, a line
// or page break.
bool isSpace(char32_t c);
// The simple case folding of c, one character for one (Σ, σ and ς all as σ);
// on Windows, which has none, its lowercase (ς stays ς there).
char32_t folded(char32_t c);

} // namespace unicode
