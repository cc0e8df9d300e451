#pragma once

#include <string>
#include <string_view>

// The system's own words for one of its error numbers (errno; on Windows,
// what GetLastError() says), in the writer's language where the system has
// them.
std::u16string systemErrorWords(int errorNumber);

#ifndef _WIN32
// Text in the character set of the locale (LC_CTYPE) as UTF-16; a byte that
// starts no character there is U+FFFD.
std::u16string fromLocaleText(std::string_view text);
#endif
