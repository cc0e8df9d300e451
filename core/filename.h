#pragma once

#include <filesystem>
#include <string>

// A file name as the writer reads it: on POSIX systems its bytes read as
// UTF-8, as the desktop's file dialogs name files (a byte that reads as no
// character shown as \xHH); on Windows its characters, with backslashes.
std::u16string shownName(const std::filesystem::path &name);
