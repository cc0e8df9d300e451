#pragma once

#include "localename.h"

// The code page a Windows system of this locale's language uses, as in
// "ru_RU.UTF-8" (1251), "sr_RS@latin" (1250) or "C": 1252 for languages
// without a code page of their own.
int codePageForLocale(const LocaleName &locale);

// The system's 8-bit code page: on Windows its ANSI code page where news files
// can be in it, elsewhere the one of the locale the program runs in (read
// once, at start, by LocaleName::fromEnvironment()).
int systemCodePage(const LocaleName &locale);
