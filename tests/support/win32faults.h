#pragma once

#include "win32calls.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Puts counting and failing calls in place of the real Windows calls while
// it lives, as SyscallFaults does for the POSIX ones: every call is counted
// (calls) and named (log); the call numbered failAt (from 1) fails with
// failWith, or, for WriteFile, writes half and makes the next write fail
// with a full disk when partial is set. ReplaceFileW failing with
// ERROR_UNABLE_TO_MOVE_REPLACEMENT takes the replaced file away first, as
// Windows says it then did.
class Win32Faults {
public:
    int calls = 0;
    int failAt = 0;
    int failWith = 0;
    bool partial = false;
    std::vector<std::string> log;
    std::int64_t spaceLeft = -1;          // -1: no limit
    std::int64_t bytesUntilDead = -1;     // then every write fails with an I/O error; -1: no limit
    std::filesystem::path unreadable;     // every open of this name for its bytes is refused
    std::filesystem::path failingReads;   // every read of a file opened by this name fails
    std::filesystem::path refusingFolder; // no new file can be made in this folder
    std::function<void()> onFstat;        // runs after every look at an open file

    Win32Faults()
    {
        s_current = this;
        Win32Calls &c = win32();
        c.createFile = [](LPCWSTR name, DWORD access, DWORD sharing, DWORD disposition,
                          DWORD flags) -> HANDLE {
            if (s_current->refuse(name, access, disposition))
                return INVALID_HANDLE_VALUE;
            const HANDLE file = real().createFile(name, access, sharing, disposition, flags);
            if (file != INVALID_HANDLE_VALUE && !s_current->failingReads.empty() &&
                s_current->failingReads == std::filesystem::path(name))
                s_current->m_failingFile = file;
            return file;
        };
        c.readFile = [](HANDLE file, void *buffer, DWORD count, DWORD *read) -> BOOL {
            if (s_current->fail("ReadFile"))
                return FALSE;
            if (file == s_current->m_failingFile) {
                ::SetLastError(ERROR_IO_DEVICE);
                return FALSE;
            }
            return real().readFile(file, buffer, count, read);
        };
        c.writeFile = [](HANDLE file, const void *buffer, DWORD count, DWORD *written) {
            return s_current->write(file, buffer, count, written);
        };
        c.setFilePointer = [](HANDLE file, LONGLONG offset) {
            return s_current->fail("SetFilePointerEx") ? FALSE
                                                       : real().setFilePointer(file, offset);
        };
        c.flushFileBuffers = [](HANDLE file) {
            return s_current->fail("FlushFileBuffers") ? FALSE : real().flushFileBuffers(file);
        };
        c.setFileInformation = [](HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void *info,
                                  DWORD size) {
            return s_current->setInformation(file, kind, info, size);
        };
        c.getFileInformation = [](HANDLE file, BY_HANDLE_FILE_INFORMATION *info) {
            if (s_current->fail("GetFileInformationByHandle"))
                return FALSE;
            const BOOL result = real().getFileInformation(file, info);
            if (s_current->onFstat)
                s_current->onFstat();
            return result;
        };
        c.getFileInformationEx = [](HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void *info,
                                    DWORD size) {
            return s_current->fail("GetFileInformationByHandleEx")
                       ? FALSE
                       : real().getFileInformationEx(file, kind, info, size);
        };
        c.getFileType = [](HANDLE file) -> DWORD {
            return s_current->fail("GetFileType") ? FILE_TYPE_UNKNOWN : real().getFileType(file);
        };
        c.getFinalPathName = [](HANDLE file, LPWSTR name, DWORD size) -> DWORD {
            return s_current->fail("GetFinalPathNameByHandleW")
                       ? 0
                       : real().getFinalPathName(file, name, size);
        };
        c.replaceFile = [](LPCWSTR replaced, LPCWSTR replacement) {
            if (!s_current->fail("ReplaceFileW"))
                return real().replaceFile(replaced, replacement);
            if (s_current->failWith == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
                real().deleteFile(replaced);
            ::SetLastError(DWORD(s_current->failWith));
            return FALSE;
        };
        c.moveFile = [](LPCWSTR from, LPCWSTR to) {
            return s_current->fail("MoveFileExW") ? FALSE : real().moveFile(from, to);
        };
        c.deleteFile = [](LPCWSTR name) {
            // The clean-up of a new file is never made to fail: it is what
            // keeps the folder clean after every other failure.
            s_current->log.push_back("DeleteFileW");
            return real().deleteFile(name);
        };
        c.closeHandle = [](HANDLE file) {
            // The handle goes whatever CloseHandle says.
            const bool failed = s_current->fail("CloseHandle");
            const BOOL result = real().closeHandle(file);
            if (file == s_current->m_failingFile)
                s_current->m_failingFile = INVALID_HANDLE_VALUE;
            return failed ? FALSE : result;
        };
    }
    ~Win32Faults()
    {
        win32() = real();
        s_current = nullptr;
    }
    Win32Faults(const Win32Faults &) = delete;
    Win32Faults &operator=(const Win32Faults &) = delete;

    // Counts a call; true (the error set) when it is the one to fail.
    bool fail(const std::string &name)
    {
        log.push_back(name);
        if (++calls != failAt || partial)
            return false;
        ::SetLastError(DWORD(failWith));
        return true;
    }

private:
    static inline Win32Faults *s_current = nullptr;
    bool m_failNextWrite = false;
    HANDLE m_failingFile = INVALID_HANDLE_VALUE;

    static const Win32Calls &real() { return Win32Calls::real(); }

    bool refuse(LPCWSTR name, DWORD access, DWORD disposition)
    {
        if (fail("CreateFileW"))
            return true;
        const std::filesystem::path path(name);
        const bool creates = disposition == CREATE_NEW || disposition == CREATE_ALWAYS;
        // (Its attributes can still be read, as a file's mode on POSIX.)
        const bool data = access & (GENERIC_READ | GENERIC_WRITE);
        if ((data && !unreadable.empty() && unreadable == path) ||
            (creates && !refusingFolder.empty() && path.parent_path() == refusingFolder)) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return true;
        }
        return false;
    }

    // What the file takes on the disk now, and where it is being written.
    static bool usage(HANDLE file, std::int64_t &allocated, std::int64_t &at)
    {
        FILE_STANDARD_INFO standard{};
        LARGE_INTEGER zero{}, position{};
        if (real().getFileType(file) != FILE_TYPE_DISK ||
            !::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) ||
            !::SetFilePointerEx(file, zero, &position, FILE_CURRENT))
            return false;
        allocated = standard.AllocationSize.QuadPart; // (a file made longer may have holes)
        at = position.QuadPart;
        return true;
    }

    BOOL write(HANDLE file, const void *buffer, DWORD count, DWORD *written)
    {
        log.push_back("WriteFile");
        ++calls;
        *written = 0;
        if (bytesUntilDead == 0) {
            ::SetLastError(ERROR_IO_DEVICE);
            return FALSE;
        }
        if (bytesUntilDead > 0) {
            count = DWORD(std::min<std::int64_t>(count, bytesUntilDead));
            bytesUntilDead -= count;
        }
        if (m_failNextWrite || (calls == failAt && !partial)) {
            m_failNextWrite = false;
            ::SetLastError(calls == failAt ? DWORD(failWith) : ERROR_DISK_FULL);
            return FALSE;
        }
        if (calls == failAt && partial && count > 1) {
            count /= 2;
            m_failNextWrite = true;
        }
        std::int64_t allocated = 0, at = 0;
        if (spaceLeft >= 0 && usage(file, allocated, at)) {
            // Writing over bytes that are there takes no space.
            const std::int64_t grows = at + std::int64_t(count) - allocated;
            if (grows > spaceLeft) {
                if (spaceLeft <= 0 && grows >= std::int64_t(count)) {
                    ::SetLastError(ERROR_DISK_FULL);
                    return FALSE;
                }
                count = DWORD(std::max<std::int64_t>(1, std::int64_t(count) - (grows - spaceLeft)));
            }
            const BOOL result = real().writeFile(file, buffer, count, written);
            if (result)
                spaceLeft = std::max<std::int64_t>(0, spaceLeft - std::max<std::int64_t>(0, grows));
            return result;
        }
        return real().writeFile(file, buffer, count, written);
    }

    BOOL setInformation(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void *info, DWORD size)
    {
        const std::string what = kind == FileAllocationInfo  ? "FileAllocationInfo"
                                 : kind == FileEndOfFileInfo ? "FileEndOfFileInfo"
                                 : kind == FileBasicInfo     ? "FileBasicInfo"
                                                             : "other";
        if (fail("SetFileInformationByHandle(" + what + ")"))
            return FALSE;
        // A full disk refuses clusters where the file system reserves them
        // (not wine's), and the room for a file made longer (wine's too).
        std::int64_t allocated = 0, at = 0, wanted = 0;
        if (kind == FileAllocationInfo)
            wanted = static_cast<FILE_ALLOCATION_INFO *>(info)->AllocationSize.QuadPart;
        if (kind == FileEndOfFileInfo)
            wanted = static_cast<FILE_END_OF_FILE_INFO *>(info)->EndOfFile.QuadPart;
        const bool full =
            spaceLeft >= 0 && usage(file, allocated, at) && wanted - allocated > spaceLeft;
        if (full && kind == FileEndOfFileInfo) {
            ::SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        const BOOL result = real().setFileInformation(file, kind, info, size);
        if (result && full) {
            ::SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        return result;
    }
};
