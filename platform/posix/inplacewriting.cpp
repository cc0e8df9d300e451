#include "inplacewriting.h"

#include "memorycheck.h"
#include "messages.h"
#include "regularfile.h"
#include "syscalls.h"
#include "systemmemory.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

#ifndef FALLOC_FL_KEEP_SIZE
#define FALLOC_FL_KEEP_SIZE 1
#endif

namespace {

// Puts old back as the whole content of the file open as fd; true when it is
// on the disk again.
bool putBack(int fd, std::string_view old)
{
    std::ptrdiff_t written = 0;
    return sys().lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old, {}, written) == 0 &&
           sys().ftruncate(fd, off_t(old.size())) == 0 && sys().fsync(fd) == 0;
}
} // namespace

// A device or a pipe: written as it is, and what went there stays there.
FileResult writeToDevice(const std::filesystem::path &path, const std::filesystem::path &name,
                         std::string_view bytes, const ProgressSink &progress,
                         std::optional<FileState> *after)
{
    // A pipe whose reader went away must fail the save, not end the program.
    static const bool pipesFail = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)pipesFail;
    HeldFile file;
    // A pipe without a reader fails at once rather than waiting for one.
    file.handle = sys().open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (file.handle < 0) {
        if (errno == ENXIO)
            return FileResult::failure(FileResult::Kind::NotRegular,
                                       say(Message::PipeWithoutReader));
        return FileResult::system(errno);
    }
    // Whatever happens now, it is the program's own write to this device.
    if (after)
        *after = FileState::look(path);
    const int flags = sys().fcntl(file.handle, F_GETFL, 0);
    if (flags < 0 || sys().fcntl(file.handle, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileResult::system(errno);
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

// Rewrites a regular file under its own name, so that every link to it sees
// the new bytes; on a failure its old bytes go back. after as for
// writeFileBytes().
FileResult writeInPlace(const std::filesystem::path &path, const std::filesystem::path &name,
                        std::string_view bytes, const ProgressSink &progress,
                        std::optional<FileState> *after)
{
    HeldFile file;
    file.handle = sys().open(name.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (file.handle < 0)
        return FileResult::system(errno);
    struct stat st {};
    if (sys().fstat(file.handle, &st) != 0)
        return FileResult::system(errno);
    if (!rewriteFitsInMemory(st.st_size, availableMemory()))
        return FileResult::failure(FileResult::Kind::TooLarge, say(Message::InPlaceWithoutMemory));
    std::string old;
    if (const FileResult read = readAllInSlices(file, st.st_size, old); !read)
        return read;
    const auto tellAfter = [&](bool known) {
        FileState now = FileState::look(path);
        if (!after || !now.present)
            return;
        if (known)
            now.setBytes(old);
        *after = now;
    };
    // The blocks for the whole new text before the first old byte goes: a
    // full disk then fails here, with the file as it was. Where the file
    // system reserves none, the old bytes are still put back on a failure.
    if (bytes.size() > old.size() &&
        sys().fallocate(file.handle, FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL) {
        const int error = errno;
        tellAfter(true);
        return FileResult::system(error);
    }
    int error = sys().lseek(file.handle, 0, SEEK_SET) == 0 ? 0 : errno;
    std::ptrdiff_t written = 0;
    if (!error)
        error = writeAll(file.handle, bytes, progress, written);
    bool touched = written > 0;
    if (!error) {
        touched = true;
        if (sys().ftruncate(file.handle, off_t(bytes.size())) != 0 || sys().fsync(file.handle) != 0)
            error = errno;
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
        file.handle = sys().open(name.c_str(), O_WRONLY | O_CLOEXEC, 0);
    }
    if (!touched) {
        tellAfter(true);
        return FileResult::system(error);
    }
    const bool putBackOk = file.handle >= 0 && putBack(file.handle, old);
    if (const int closed = file.close(); putBackOk && closed == 0) {
        tellAfter(true);
        return FileResult::system(error);
    }
    tellAfter(false);
    return FileResult::system(error, FileResult::Kind::Incomplete);
}
