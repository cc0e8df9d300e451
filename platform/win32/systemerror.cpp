#include "systemerror.h"

#include <cwchar>
#include <string>

#include <string.h>

std::u16string systemErrorWords(int errorNumber)
{
    wchar_t words[256] = {};
    if (_wcserror_s(words, 256, errorNumber) != 0) {
        const std::string plain = "Error " + std::to_string(errorNumber);
        return std::u16string(plain.begin(), plain.end());
    }
    return std::u16string(reinterpret_cast<const char16_t *>(words));
}
