// Writing a file on Windows: a new file beside it that replaces it, or the
// file rewritten in place, or a device written as it is.
#include "filewriting.h"

#include "filename.h"
#include "handlestate.h"
#include "inplacewriting.h"
#include "messages.h"
#include "regularfile.h"

#include <algorithm>
#include <new>
#include <random>
#include <string>

namespace {
// Whether a replacement failed only because this file cannot be replaced
// here (no right to delete it, or another program holds it open without
// letting it go), so that it may still be written in place.
bool replaceRefused(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// The file a save writes: the file itself, by its final name, so that a
// link (also one Windows does not show as one: a POSIX link under wine)
// stays a link and the file it leads to is written. A link that leads
// nowhere yet is written through (dangling), which makes the file it names.
struct Target {
    std::filesystem::path name;
    bool dangling = false;
    int error = 0;
};

Target resolveTarget(const std::filesystem::path &path)
{
    const HandleCloser file{openToLook(path, true)};
    if (file.file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (!isMissing(error))
            return {{}, false, int(error)};
        const int link = FileState::isLink(path);
        if (link < 0 && !isMissing(DWORD(-link)))
            return {{}, false, -link};
        return {path, link > 0};
    }
    const DWORD type = win32().getFileType(file.file);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR)
        return {{}, false, lastError()};
    if (type != FILE_TYPE_DISK)
        return {path}; // a device, by the name it has
    Target found;
    found.error = finalName(file.file, found.name);
    // Where the system cannot give the final name (some network shares;
    // wine, of a long one), a name that is no link is the file itself.
    if (found.error && FileState::isLink(path) == 0)
        return {path};
    return found;
}

// Whether the file may be replaced: not when this writer may not delete it,
// nor while another program holds it without letting it be deleted or
// renamed (wine's ReplaceFileW would then leave a file of its own beside it).
bool mayBeReplaced(const std::filesystem::path &name)
{
    const HandleCloser file{win32().createFile(name.c_str(), DELETE, kShareAll, OPEN_EXISTING,
                                               FILE_FLAG_BACKUP_SEMANTICS)};
    return file.file != INVALID_HANDLE_VALUE || !replaceRefused(::GetLastError());
}

// At most this much of the name goes into the name of the new file beside
// it, which a folder takes when it has 255 characters at most (and a POSIX
// one under wine when it has 255 bytes of UTF-8).
constexpr std::size_t kTempStem = 60;

// The start of a long name, not cut inside a pair of surrogates.
std::wstring stemOf(const std::wstring &name)
{
    std::size_t size = std::min(name.size(), kTempStem);
    if (size > 0 && size < name.size() && name[size - 1] >= 0xD800 && name[size - 1] < 0xDC00)
        --size;
    return name.substr(0, size);
}

// A new file beside the one named, not yet used by anyone; kNoFile and the
// error (GetLastError) when the folder takes none.
HANDLE createBeside(const std::filesystem::path &name, std::filesystem::path &tempName)
{
    static thread_local std::mt19937_64 random{std::random_device()()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        // (Of a long name, its start: the new name must fit where it did.)
        tempName = name.parent_path() / (L"." + stemOf(name.filename().native()) + L"." +
                                         std::to_wstring(random() % 2176782336u) + L".new");
        const HANDLE file = win32().createFile(tempName.c_str(), GENERIC_WRITE | DELETE,
                                               FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL);
        if (file != kNoFile || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return kNoFile;
}

// The attributes a writer set on a file (hidden, system, to be archived,
// not indexed), for the new file that takes its place. Read-only is not
// among them: a read-only file is not replaced.
bool takeAttributes(HANDLE file, DWORD attributes)
{
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    FILE_BASIC_INFO basic{}; // (times of 0 stay as they are)
    basic.FileAttributes = (attributes & kKept) ? (attributes & kKept) : FILE_ATTRIBUTE_NORMAL;
    return win32().setFileInformation(file, FileBasicInfo, &basic, sizeof basic);
}

// Replaces the file by a new one (old: what Windows said of it), or makes
// it when there is none.
FileResult replaceFile(const std::filesystem::path &path, const std::filesystem::path &name,
                       const BY_HANDLE_FILE_INFORMATION *old, const FileState &oldState,
                       std::string_view bytes, const ProgressSink &progress,
                       std::optional<FileState> *after)
{
    std::filesystem::path tempName;
    HeldFile temp;
    temp.handle = createBeside(name, tempName);
    if (temp.handle == kNoFile) {
        const int error = lastError();
        // The folder takes no new file: the file itself may still be written.
        return old ? writeInPlace(path, name, bytes, progress, after) : FileResult::system(error);
    }
    const auto dropTemp = [&] {
        temp.close();
        win32().deleteFile(tempName.c_str());
    };
    if (old && !takeAttributes(temp.handle, old->dwFileAttributes)) {
        dropTemp();
        return writeInPlace(path, name, bytes, progress, after);
    }
    std::ptrdiff_t written = 0;
    int error = writeAll(temp.handle, bytes, progress, written);
    if (!error && !win32().flushFileBuffers(temp.handle))
        error = lastError();
    if (const int closed = temp.close(); !error)
        error = closed;
    if (error) {
        dropTemp();
        return FileResult::system(error);
    }
    // ReplaceFileW keeps the old file's security descriptor, creation time
    // and streams; a new file takes the folder's.
    if (old ? win32().replaceFile(name.c_str(), tempName.c_str())
            : win32().moveFile(tempName.c_str(), name.c_str())) {
        if (after)
            *after = FileState::of(path, bytes);
        return {};
    }
    error = lastError();
    const FileState now = FileState::look(name);
    if (old && !now.present && !now.unknown) {
        // The old file went and the new one did not take its name: it takes
        // it now. Should that fail too, the new bytes stay beside, where the
        // writer can find them.
        if (win32().moveFile(tempName.c_str(), name.c_str())) {
            if (after)
                *after = FileState::of(path, bytes);
            return {};
        }
        return FileResult::system(error);
    }
    dropTemp();
    if (old && replaceRefused(DWORD(error)) && now.sameIdentityAndTimes(oldState))
        return writeInPlace(path, name, bytes, progress, after);
    return FileResult::system(error);
}
} // namespace

Linked linkedFile(const std::filesystem::path &path)
{
    const Target target = resolveTarget(cleanName(path));
    if (target.error)
        return {{}, target.error};
    return {target.name, 0};
}

FileResult writeFileBytes(const std::filesystem::path &path, std::string_view bytes,
                          const ProgressSink &progress, std::optional<FileState> *after)
{
    try {
        // Full names only: ReplaceFileW (wine's) refuses a relative one.
        std::error_code failed;
        const std::filesystem::path full = absoluteName(path, failed);
        if (failed)
            return FileResult::system(failed.value());
        const Target target = resolveTarget(full);
        if (target.error)
            return FileResult::system(target.error);
        if (target.dangling)
            return writeInPlace(path, full, bytes, progress, after, true);
        BY_HANDLE_FILE_INFORMATION info{};
        FileState state;
        {
            const HandleCloser file{openToLook(target.name, true)};
            if (file.file == INVALID_HANDLE_VALUE) {
                const DWORD error = ::GetLastError();
                if (!isMissing(error))
                    return FileResult::system(int(error));
                return replaceFile(path, target.name, nullptr, state, bytes, progress, after);
            }
            if (const int error = stateOfHandle(file.file, state, &info))
                return FileResult::system(error);
        }
        if (state.folder)
            return FileResult::folder();
        if (!state.regular)
            return writeToDevice(path, target.name, bytes, progress, after);
        // A read-only file is written by no one, as Windows has it (also
        // where it would let one through: wine run by root).
        if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            return FileResult::system(ERROR_ACCESS_DENIED);
        if (info.nNumberOfLinks > 1 || !mayBeReplaced(target.name))
            return writeInPlace(path, target.name, bytes, progress, after);
        return replaceFile(path, target.name, &info, state, bytes, progress, after);
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileResult::Kind::TooLarge, say(Message::NoMemoryToWrite));
    }
}
