#pragma once

#include "localename.h"

// The writer's locale and the system's 8-bit code page, as each system tells
// them; one implementation a system, in platform/posix/ and platform/win32/.

// The locale the program runs in, read once at start: on POSIX systems the
// first of LC_ALL, LC_CTYPE and LANG that is set and not empty; on Windows
// the user's locale ("ru-RU").
LocaleName systemLocale();

// The code page news files are in: on Windows the system's ANSI code page
// when news files can be in it, else Windows-1252; elsewhere the code page of
// the locale's language (codePageForLocale).
int systemCodePage(const LocaleName &locale);
