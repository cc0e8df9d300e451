#pragma once

// What Windows says of an open file, for the file layer's own use.
#include "filestate.h"
#include "win32calls.h"

// The identity, size and times of the open file (its volume and index as
// its device and inode); 0, or the system's error when it could not say.
// info, when given, receives all Windows said of it (its attributes, its
// number of names).
int stateOfHandle(HANDLE file, FileState &state, BY_HANDLE_FILE_INFORMATION *info = nullptr);

// Opens a name only to look at it: the name itself, a link included, or
// with followLink the file it leads to.
HANDLE openToLook(const std::filesystem::path &path, bool followLink);

// 1 when the file open as file is a symbolic link, 0 when not, minus the
// system's error.
int linkOfHandle(HANDLE file);

// The full name of the file open as file, as the writer would type it
// (without "\\?\"); 0, or the system's error.
int finalName(HANDLE file, std::filesystem::path &name);

// Whether the error means that there is no such file (or no such folder on
// its way).
inline bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

// The error of the call that failed last, as FileResult keeps it.
inline int lastError()
{
    return int(::GetLastError());
}

// Closes a handle that goes; a failure to close what was only looked at
// loses nothing.
struct HandleCloser {
    HANDLE file;
    ~HandleCloser()
    {
        if (file != INVALID_HANDLE_VALUE)
            win32().closeHandle(file);
    }
};
