#pragma once

#include "localename.h"

// The code page a Windows system of this locale's language uses, as in
// "ru_RU.UTF-8" (1251), "sr_RS@latin" (1250) or "C": 1252 for languages
// without a code page of their own.
int codePageForLocale(const LocaleName &locale);
