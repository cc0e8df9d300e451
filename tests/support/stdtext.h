#pragma once

#include "utf8.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Bytes written out as hexadecimal pairs ("93 FA 0D 0A"), and back; spaces
// between pairs are left out when read.
inline std::string hex(std::string_view bytes)
{
    std::string out;
    char pair[4];
    for (const char b : bytes) {
        std::snprintf(pair, sizeof pair, out.empty() ? "%02X" : " %02X",
                      static_cast<unsigned char>(b));
        out += pair;
    }
    return out;
}
inline std::string fromHex(std::string_view digits)
{
    std::string out;
    for (size_t i = 0; i + 1 < digits.size(); i += digits[i] == ' ' ? 1 : 2) {
        if (digits[i] != ' ')
            out.push_back(char(std::stoi(std::string(digits.substr(i, 2)), nullptr, 16)));
    }
    return out;
}

// ASCII text as UTF-16.
inline std::u16string u16(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

// Text as UTF-8, as the tests write it.
inline std::string said(std::u16string_view text)
{
    return utf8::encode(text);
}

// A failed check shows UTF-16 text as ASCII with every other unit as \uXXXX.
namespace doctest {
template <> struct StringMaker<std::u16string> {
    static String convert(const std::u16string &text)
    {
        std::string out = "u\"";
        char unit[8];
        for (const char16_t c : text) {
            if (c >= 0x20 && c < 0x7F && c != '\\') {
                out.push_back(char(c));
            } else {
                std::snprintf(unit, sizeof unit, "\\u%04X", unsigned(c));
                out += unit;
            }
        }
        return (out + '"').c_str();
    }
};

// Lists show their items.
template <typename T> struct StringMaker<std::vector<T>> {
    static String convert(const std::vector<T> &items)
    {
        String out = "{";
        for (std::size_t i = 0; i < items.size(); ++i)
            out += (i ? ", " : "") + toString(items[i]);
        return out + "}";
    }
};
} // namespace doctest
