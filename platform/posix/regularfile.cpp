#include "regularfile.h"

#include "syscalls.h"

#include <cerrno>

#include <fcntl.h>

int HeldFile::close()
{
    if (handle < 0)
        return 0;
    const int result = sys().close(handle);
    handle = kNoFile;
    return result == 0 ? 0 : errno;
}

FileResult openRegularFile(const std::filesystem::path &path, HeldFile &file, FileState &state)
{
    file.handle = sys().open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (file.handle < 0)
        return FileResult::system(errno);
    struct stat st {};
    if (sys().fstat(file.handle, &st) != 0)
        return FileResult::system(errno);
    if (S_ISDIR(st.st_mode))
        return FileResult::folder();
    if (!S_ISREG(st.st_mode))
        return FileResult::notRegular();
    const int flags = sys().fcntl(file.handle, F_GETFL, 0);
    if (flags < 0 || sys().fcntl(file.handle, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileResult::system(errno);
    state = FileState::fromStat(st);
    return {};
}

std::ptrdiff_t readSome(FileHandle file, char *into, std::size_t size, int &error)
{
    ssize_t n;
    do
        n = sys().read(file, into, size);
    while (n < 0 && errno == EINTR);
    error = n < 0 ? errno : 0;
    return n;
}

std::ptrdiff_t writeSome(FileHandle file, const char *from, std::size_t size, int &error)
{
    ssize_t n;
    do
        n = sys().write(file, from, size);
    while (n < 0 && errno == EINTR);
    error = n < 0 ? errno : n == 0 ? EIO : 0;
    return n > 0 ? n : -1;
}
