#pragma once

#include <filesystem>
#include <string>
#include <system_error>

// A file name as the writer reads it: on POSIX systems its bytes read as
// UTF-8, as the desktop's file dialogs name files (a byte that reads as no
// character shown as \xHH); on Windows its characters, with backslashes.
std::u16string shownName(const std::filesystem::path &name);

// Whether a Windows name is in the \\?\ or \\.\ namespace (a device, or a
// name as the system takes it without a change): absolute as it is, and
// std::filesystem would spoil it.
inline bool inSystemNamespace([[maybe_unused]] const std::filesystem::path &name)
{
#ifdef _WIN32
    const std::wstring &whole = name.native();
    return whole.starts_with(L"\\\\?\\") || whole.starts_with(L"\\\\.\\");
#else
    return false;
#endif
}

// The name made absolute from the working directory, as the system would.
inline std::filesystem::path absoluteName(const std::filesystem::path &name, std::error_code &error)
{
    error.clear();
    return inSystemNamespace(name) ? name : std::filesystem::absolute(name, error);
}

// The name made absolute, without "." or ".." and without a separator at its
// end, links not followed: the file a writer means by a typed name (a ".."
// after a folder that is not there names no file of its own). The name as
// given when there is no working directory to start from.
inline std::filesystem::path cleanName(const std::filesystem::path &name)
{
    std::error_code error;
    const std::filesystem::path absolute = absoluteName(name, error);
    if (error)
        return name;
    if (inSystemNamespace(absolute))
        return absolute;
    std::filesystem::path clean = absolute.lexically_normal();
    if (clean.filename().empty() && clean.has_parent_path())
        clean = clean.parent_path();
    return clean;
}
