#pragma once

#include <string>
#include <string_view>

// Windows' wide characters are UTF-16, as the core's texts are: the same
// code units under another type.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

inline std::wstring wideString(std::u16string_view text)
{
    return std::wstring(reinterpret_cast<const wchar_t *>(text.data()), text.size());
}

inline std::u16string_view u16view(std::wstring_view text)
{
    return {reinterpret_cast<const char16_t *>(text.data()), text.size()};
}
