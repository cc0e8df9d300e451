#pragma once

#include <windows.h>

// Every Windows call that reading and writing news files makes goes through
// this table, so that a test can count them and make any one of them fail.
// The program uses the real calls; each costs one indirect call more. A call
// that fails says why through GetLastError(), as the real ones do.
struct Win32Calls {
    HANDLE (*createFile)(LPCWSTR name, DWORD access, DWORD sharing, DWORD disposition, DWORD flags);
    BOOL (*readFile)(HANDLE file, void *buffer, DWORD count, DWORD *read);
    BOOL (*writeFile)(HANDLE file, const void *buffer, DWORD count, DWORD *written);
    BOOL (*setFilePointer)(HANDLE file, LONGLONG offset);
    BOOL (*flushFileBuffers)(HANDLE file);
    BOOL (*setFileInformation)(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void *info, DWORD size);
    BOOL (*getFileInformation)(HANDLE file, BY_HANDLE_FILE_INFORMATION *info);
    BOOL(*getFileInformationEx)
    (HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void *info, DWORD size);
    DWORD (*getFileType)(HANDLE file);
    DWORD (*getFinalPathName)(HANDLE file, LPWSTR name, DWORD size);
    BOOL (*replaceFile)(LPCWSTR replaced, LPCWSTR replacement);
    BOOL (*moveFile)(LPCWSTR from, LPCWSTR to);
    BOOL (*deleteFile)(LPCWSTR name);
    BOOL (*closeHandle)(HANDLE file);

    // The real calls.
    static const Win32Calls &real();
};

// The calls in use; a test may put others in their place for a while.
Win32Calls &win32();

// Every kind of sharing: another editor, a reader or a virus scanner may open
// the file meanwhile, and rename or delete it.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
