#pragma once

// The system's file calls made to fail at will, on either system, with the
// errors each system's disks give.
#include <string>
#include <vector>

#ifdef _WIN32
#include "win32faults.h"
using SystemFaults = Win32Faults;
#else
#include "syscallfaults.h"

#include <cstring>
using SystemFaults = SyscallFaults;
#endif

namespace sysfault {
#ifdef _WIN32
inline constexpr int kDiskFull = ERROR_DISK_FULL;
inline constexpr int kMissing = ERROR_FILE_NOT_FOUND;
inline constexpr int kDenied = ERROR_ACCESS_DENIED;
inline constexpr int kInputOutput = ERROR_IO_DEVICE;
// What a disk, a virus scanner or another program holding the file gives.
inline const std::vector<int> kErrors = {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_IO_DEVICE,
                                         ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION};
// A reservation of clusters the file system does not make.
inline const std::string kReserve = "SetFileInformationByHandle(FileAllocationInfo)";
inline const std::vector<int> kNoReservation = {ERROR_INVALID_PARAMETER, ERROR_NOT_SUPPORTED};
// A replacement that went wrong halfway, as Windows tells it.
inline const std::string kReplace = "ReplaceFileW";
inline const std::vector<int> kReplaceErrors = {ERROR_UNABLE_TO_MOVE_REPLACEMENT,
                                                ERROR_UNABLE_TO_REMOVE_REPLACED};
inline const std::string kWrite = "WriteFile";
inline const std::string kCleanUp = "DeleteFileW";
// The calls whose failure no save outlives: the new bytes are not all on the disk.
inline const std::vector<std::string> kNeverOutlived = {
    "WriteFile", "FlushFileBuffers", "SetFileInformationByHandle(FileEndOfFileInfo)",
    "MoveFileExW"};
inline const std::string kFlush = "FlushFileBuffers";
inline const std::string kDevice = "NUL";
inline const std::string kDeviceShown = R"(\\.\NUL)";
#else
inline constexpr int kDiskFull = ENOSPC;
inline constexpr int kMissing = ENOENT;
inline constexpr int kDenied = EACCES;
inline constexpr int kInputOutput = EIO;
inline const std::vector<int> kErrors = {ENOSPC, EIO, EDQUOT, EACCES};
inline const std::string kReserve = "fallocate";
inline const std::vector<int> kNoReservation = {EOPNOTSUPP, ENOSYS};
inline const std::string kReplace = "rename";
inline const std::vector<int> kReplaceErrors = {};
inline const std::string kWrite = "write";
inline const std::string kCleanUp = "unlink";
inline const std::vector<std::string> kNeverOutlived = {"write", "fsync", "ftruncate", "rename"};
inline const std::string kFlush = "fsync";
inline const std::string kDevice = "/dev/null";
inline const std::string kDeviceShown = kDevice;
#endif

// The system's own words for an error, as the writer reads their first line.
inline std::string words(int error)
{
#ifdef _WIN32
    char buffer[512] = {};
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, DWORD(error), 0, buffer, sizeof buffer, nullptr);
    std::string out(buffer, n);
    return out.substr(0, out.find_first_of("\r\n"));
#else
    return std::strerror(error);
#endif
}
} // namespace sysfault
