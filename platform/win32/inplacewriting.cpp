#include "inplacewriting.h"

#include "handlestate.h"
#include "memorycheck.h"
#include "messages.h"
#include "regularfile.h"
#include "systemmemory.h"

#include <algorithm>

namespace {
bool setLength(HANDLE file, std::int64_t size)
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return win32().setFileInformation(file, FileEndOfFileInfo, &end, sizeof end);
}

// Puts old back as the whole content of the open file; true when it is on
// the disk again.
bool putBack(HANDLE file, std::string_view old)
{
    std::ptrdiff_t written = 0;
    return win32().setFilePointer(file, 0) && writeAll(file, old, {}, written) == 0 &&
           setLength(file, std::int64_t(old.size())) && win32().flushFileBuffers(file);
}

// Whether the error says only that the file system reserves no clusters.
bool reservesNone(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED;
}
} // namespace

FileResult writeToDevice(const std::filesystem::path &path, const std::filesystem::path &name,
                         std::string_view bytes, const ProgressSink &progress,
                         std::optional<FileState> *after)
{
    HeldFile file;
    file.handle = win32().createFile(name.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    if (file.handle == kNoFile)
        return FileResult::system(lastError());
    // Whatever happens now, it is the program's own write to this device.
    if (after)
        *after = FileState::look(path);
    std::ptrdiff_t written = 0;
    int error = writeAll(file.handle, bytes, progress, written);
    if (const int closed = file.close(); !error)
        error = closed;
    if (!error)
        return {};
    if (written == 0)
        return FileResult::system(error);
    return FileResult::system(error, FileResult::Kind::SentInPart);
}

FileResult writeInPlace(const std::filesystem::path &path, const std::filesystem::path &name,
                        std::string_view bytes, const ProgressSink &progress,
                        std::optional<FileState> *after, bool create)
{
    HeldFile file;
    file.handle = win32().createFile(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                     create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    if (file.handle == kNoFile)
        return FileResult::system(lastError());
    FileState opened;
    if (const int error = stateOfHandle(file.handle, opened))
        return FileResult::system(error);
    if (!rewriteFitsInMemory(opened.size, availableMemory()))
        return FileResult::failure(FileResult::Kind::TooLarge, say(Message::InPlaceWithoutMemory));
    std::string old;
    if (const FileResult read = readAllInSlices(file, opened.size, old); !read)
        return read;
    const auto tellAfter = [&](bool known) {
        FileState now = FileState::look(path);
        if (!after || !now.present)
            return;
        if (known)
            now.setBytes(old);
        *after = now;
    };
    // The clusters for the whole new text before the first old byte goes:
    // a full disk then fails here, with the file as it was. Where the file
    // system reserves none (wine, some shares), the part of the new text
    // past the old end goes in first, to the same end.
    std::size_t head = bytes.size(); // what then goes in from the start
    int error = 0;
    bool touched = false;
    if (bytes.size() > old.size()) {
        FILE_ALLOCATION_INFO reserve{};
        reserve.AllocationSize.QuadPart = LONGLONG(bytes.size());
        if (!win32().setFileInformation(file.handle, FileAllocationInfo, &reserve,
                                        sizeof reserve)) {
            if (!reservesNone(::GetLastError())) {
                error = lastError();
                tellAfter(true);
                return FileResult::system(error);
            }
            // The new length first: a limit on the file's size (a POSIX
            // system under wine) stops the save there, with the file as it was.
            std::ptrdiff_t tail = 0;
            error = setLength(file.handle, std::int64_t(bytes.size())) ? 0 : lastError();
            touched = !error;
            if (!error && !win32().setFilePointer(file.handle, LONGLONG(old.size())))
                error = lastError();
            if (!error)
                error = writeAll(file.handle, bytes.substr(old.size()), {}, tail);
            head = old.size();
        }
    }
    std::ptrdiff_t written = 0;
    if (!error)
        error = win32().setFilePointer(file.handle, 0) ? 0 : lastError();
    if (!error)
        error = writeAll(file.handle, bytes.substr(0, head), progress, written);
    touched = touched || written > 0;
    if (!error) {
        touched = true;
        if (!setLength(file.handle, std::int64_t(bytes.size())) ||
            !win32().flushFileBuffers(file.handle))
            error = lastError();
    }
    if (!error) {
        error = file.close();
        if (!error) {
            if (after)
                *after = FileState::of(path, bytes);
            return {};
        }
        // Closing said the bytes may not have reached the disk: put the old
        // ones back through the file opened anew.
        file.handle = win32().createFile(name.c_str(), GENERIC_WRITE, kShareAll, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL);
    }
    if (!touched) {
        tellAfter(true);
        return FileResult::system(error);
    }
    const bool putBackOk = file.handle != kNoFile && putBack(file.handle, old);
    if (const int closed = file.close(); putBackOk && closed == 0) {
        tellAfter(true);
        return FileResult::system(error);
    }
    tellAfter(false);
    return FileResult::system(error, FileResult::Kind::Incomplete);
}
