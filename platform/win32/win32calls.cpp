#include "win32calls.h"

namespace {
HANDLE realCreateFile(LPCWSTR name, DWORD access, DWORD sharing, DWORD disposition, DWORD flags)
{
    return ::CreateFileW(name, access, sharing, nullptr, disposition, flags, nullptr);
}

BOOL realReadFile(HANDLE file, void *buffer, DWORD count, DWORD *read)
{
    return ::ReadFile(file, buffer, count, read, nullptr);
}

BOOL realWriteFile(HANDLE file, const void *buffer, DWORD count, DWORD *written)
{
    return ::WriteFile(file, buffer, count, written, nullptr);
}

BOOL realSetFilePointer(HANDLE file, LONGLONG offset)
{
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN);
}

DWORD realGetFinalPathName(HANDLE file, LPWSTR name, DWORD size)
{
    return ::GetFinalPathNameByHandleW(file, name, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
}

// The replaced file keeps its security descriptor, its creation time and
// its streams; no backup of it is made.
BOOL realReplaceFile(LPCWSTR replaced, LPCWSTR replacement)
{
    return ::ReplaceFileW(replaced, replacement, nullptr, 0, nullptr, nullptr);
}

// On the disk before it returns, and over a file there.
BOOL realMoveFile(LPCWSTR from, LPCWSTR to)
{
    return ::MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

Win32Calls makeReal()
{
    Win32Calls calls{};
    calls.createFile = realCreateFile;
    calls.readFile = realReadFile;
    calls.writeFile = realWriteFile;
    calls.setFilePointer = realSetFilePointer;
    calls.flushFileBuffers = ::FlushFileBuffers;
    calls.setFileInformation = ::SetFileInformationByHandle;
    calls.getFileInformation = ::GetFileInformationByHandle;
    calls.getFileInformationEx = ::GetFileInformationByHandleEx;
    calls.getFileType = ::GetFileType;
    calls.getFinalPathName = realGetFinalPathName;
    calls.replaceFile = realReplaceFile;
    calls.moveFile = realMoveFile;
    calls.deleteFile = ::DeleteFileW;
    calls.closeHandle = ::CloseHandle;
    return calls;
}

const Win32Calls kReal = makeReal();
Win32Calls current = kReal;
} // namespace

const Win32Calls &Win32Calls::real()
{
    return kReal;
}

Win32Calls &win32()
{
    return current;
}
