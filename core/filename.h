#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// A file name as the writer reads it: on POSIX systems its bytes read as
// UTF-8, as the desktop's file dialogs name files (a byte that reads as no
// character shown as \xHH); on Windows its characters, with backslashes.
std::u16string shownName(const std::filesystem::path &name);

// The name made absolute, without "." or ".." and without a separator at its
// end, links not followed: the file a writer means by a typed name (a ".."
// after a folder that is not there names no file of its own). The name as
// given when there is no working directory to start from.
inline std::filesystem::path cleanName(const std::filesystem::path &name)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(name, error);
    if (error)
        return name;
#ifdef _WIN32
    // A device (\\.\NUL, \\.\COM1) as Windows names it.
    if (absolute.native().starts_with(L"\\\\.\\") || absolute.native().starts_with(L"\\\\?\\"))
        return absolute;
#endif
    std::filesystem::path clean = absolute.lexically_normal();
    if (clean.filename().empty() && clean.has_parent_path())
        clean = clean.parent_path();
    return clean;
}
