// Writing a file on Windows: a new file beside it that replaces it, or the
// file rewritten in place, or a device written as it is.
#include "filewriting.h"

#include "handlestate.h"
#include "inplacewriting.h"
#include "messages.h"
#include "regularfile.h"

#include <new>
#include <random>
#include <string>

namespace {
// The file a save writes: the file itself, or the one a link leads to. A
// link that leads nowhere yet is written through (dangling), which makes
// the file it names.
struct Target {
    std::filesystem::path name;
    bool dangling = false;
    int error = 0;
};

Target resolveTarget(const std::filesystem::path &path)
{
    const HandleCloser name{openToLook(path, false)};
    if (name.file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return isMissing(error) ? Target{path} : Target{{}, false, int(error)};
    }
    const int link = linkOfHandle(name.file);
    if (link <= 0)
        return {link == 0 ? path : std::filesystem::path(), false, -link};
    const HandleCloser target{openToLook(path, true)};
    if (target.file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return isMissing(error) ? Target{path, true} : Target{{}, false, int(error)};
    }
    Target found;
    found.error = finalName(target.file, found.name);
    return found;
}

// A new file beside the one named, not yet used by anyone; kNoFile and the
// error (GetLastError) when the folder takes none.
HANDLE createBeside(const std::filesystem::path &name, std::filesystem::path &tempName)
{
    static thread_local std::mt19937_64 random{std::random_device()()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = name.parent_path() / (L"." + name.filename().native() + L"." +
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

// Whether a replacement failed only because this file cannot be replaced
// here (no right to delete it, or another program holds it open without
// letting it go), so that it may still be written in place.
bool replaceRefused(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
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
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return {{}, error.value()};
    Target target = resolveTarget(absolute.lexically_normal());
    if (target.error)
        return {{}, target.error};
    target.name = target.name.lexically_normal();
    // "C:\a\b\" names the same as "C:\a\b".
    if (!target.name.has_filename() && target.name.has_parent_path() &&
        target.name != target.name.root_path())
        target.name = target.name.parent_path();
    return {target.name, 0};
}

FileResult writeFileBytes(const std::filesystem::path &path, std::string_view bytes,
                          const ProgressSink &progress, std::optional<FileState> *after)
{
    try {
        // Full names only: ReplaceFileW (wine's) refuses a relative one.
        std::error_code failed;
        const std::filesystem::path full = std::filesystem::absolute(path, failed);
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
        if (info.nNumberOfLinks > 1)
            return writeInPlace(path, target.name, bytes, progress, after);
        return replaceFile(path, target.name, &info, state, bytes, progress, after);
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileResult::Kind::TooLarge, say(Message::NoMemoryToWrite));
    }
}
