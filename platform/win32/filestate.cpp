// What Windows says of a file: its identity, size and times.
#include "filestate.h"

#include "handlestate.h"

#include <string>

namespace {
// FILETIME counts 100 ns from 1601; these count nanoseconds from 1970.
std::int64_t nanoseconds(LONGLONG ticks)
{
    constexpr LONGLONG kFrom1601To1970 = 116444736000000000LL;
    return ticks == 0 ? 0 : (ticks - kFrom1601To1970) * 100;
}

} // namespace

HANDLE openToLook(const std::filesystem::path &path, bool followLink)
{
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return win32().createFile(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, OPEN_EXISTING, flags);
}

// Other reparse points (a file kept in the cloud, deduplicated) are the file
// itself to whoever reads it; a device is never a link.
int linkOfHandle(HANDLE file)
{
    if (win32().getFileType(file) != FILE_TYPE_DISK)
        return 0;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!win32().getFileInformationEx(file, FileAttributeTagInfo, &tag, sizeof tag))
        return -lastError();
    return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                   tag.ReparseTag == IO_REPARSE_TAG_SYMLINK
               ? 1
               : 0;
}

int stateOfHandle(HANDLE file, FileState &state, BY_HANDLE_FILE_INFORMATION *said)
{
    state = FileState();
    state.present = true;
    const DWORD type = win32().getFileType(file);
    if (type != FILE_TYPE_DISK) {
        // A device (NUL, a serial port) or a pipe: no bytes of its own.
        if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR)
            return lastError();
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION own{};
    BY_HANDLE_FILE_INFORMATION &info = said ? *said : own;
    FILE_BASIC_INFO times{};
    if (!win32().getFileInformation(file, &info) ||
        !win32().getFileInformationEx(file, FileBasicInfo, &times, sizeof times))
        return lastError();
    state.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    state.regular = !state.folder;
    state.device = info.dwVolumeSerialNumber;
    state.inode = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    state.size = (std::int64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    state.modifiedNs = nanoseconds(times.LastWriteTime.QuadPart);
    state.changedNs = nanoseconds(times.ChangeTime.QuadPart);
    return 0;
}

int finalName(HANDLE file, std::filesystem::path &name)
{
    std::wstring whole(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = win32().getFinalPathName(file, whole.data(), DWORD(whole.size()));
        if (n > 0 && n < whole.size()) {
            whole.resize(n);
            break;
        }
        // Too long for the room given: Windows says how long (n counts the
        // end of the string too); wine only that there is more.
        if (n == 0 && (::GetLastError() != ERROR_MORE_DATA || whole.size() >= 32768))
            return lastError();
        whole.resize(n > 0 ? n : whole.size() * 2);
    }
    if (whole.starts_with(L"\\\\?\\UNC\\"))
        whole.replace(0, 8, L"\\\\");
    else if (whole.starts_with(L"\\\\?\\"))
        whole.erase(0, 4);
    name = whole;
    return 0;
}

FileState FileState::look(const std::filesystem::path &path)
{
    FileState state;
    HandleCloser name{openToLook(path, false)};
    if (name.file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        state.unknown = isMissing(error) ? 0 : int(error);
        return state;
    }
    const int link = linkOfHandle(name.file);
    if (link < 0) {
        state.unknown = -link;
        return state;
    }
    if (link == 0) {
        if (const int error = stateOfHandle(name.file, state))
            state = FileState{.unknown = error};
        return state;
    }
    HandleCloser target{openToLook(path, true)};
    if (target.file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        state.link = true; // a link to nothing: no file there
        state.unknown = isMissing(error) ? 0 : int(error);
        return state;
    }
    if (const int error = stateOfHandle(target.file, state))
        state = FileState{.unknown = error};
    state.link = true;
    return state;
}

int FileState::isLink(const std::filesystem::path &path)
{
    HandleCloser name{openToLook(path, false)};
    if (name.file == INVALID_HANDLE_VALUE)
        return -lastError();
    return linkOfHandle(name.file);
}
