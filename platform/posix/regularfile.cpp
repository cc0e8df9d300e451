#include "regularfile.h"

#include "syscalls.h"

#include <algorithm>
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

FileResult readAllInSlices(HeldFile &file, std::int64_t sizeHint, std::string &bytes,
                           const std::function<void(std::int64_t)> &read)
{
    bytes.resize(size_t(sizeHint));
    size_t done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + size_t(kSlice)); // the file grew while being read
        const size_t want = std::min(size_t(kSlice), bytes.size() - done);
        const ssize_t n = sys().read(file.handle, bytes.data() + done, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            return FileResult::system(errno);
        }
        if (n == 0)
            break;
        done += size_t(n);
        if (read)
            read(std::int64_t(done));
    }
    bytes.resize(done);
    return {};
}
