#include "systemerror.h"

#include <string>

#include <windows.h>

std::u16string systemErrorWords(int errorNumber)
{
    wchar_t *words = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(errorNumber), 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    std::u16string out(reinterpret_cast<const char16_t *>(words), n);
    ::LocalFree(words);
    // Windows ends its words with a line break.
    while (!out.empty() && (out.back() == u'\n' || out.back() == u'\r' || out.back() == u' '))
        out.pop_back();
    if (out.empty()) {
        const std::string plain = "Error " + std::to_string(errorNumber);
        return std::u16string(plain.begin(), plain.end());
    }
    return out;
}
