// What the system says of a file: its identity, size and times.
#include "filestate.h"

#include "syscalls.h"

#include <cerrno>

FileState FileState::fromStat(const struct stat &st)
{
    FileState state;
    state.present = true;
    state.regular = S_ISREG(st.st_mode);
    state.folder = S_ISDIR(st.st_mode);
    state.device = std::uint64_t(st.st_dev);
    state.inode = std::uint64_t(st.st_ino);
    state.size = std::int64_t(st.st_size);
    state.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return state;
}

FileState FileState::look(const std::filesystem::path &path)
{
    FileState state;
    const auto missing = [] { return errno == ENOENT || errno == ENOTDIR; };
    struct stat st {};
    if (sys().lstat(path.c_str(), &st) != 0) {
        state.unknown = missing() ? 0 : errno;
        return state;
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && sys().stat(path.c_str(), &st) != 0) {
        state.link = true; // a link to nothing: no file there
        state.unknown = missing() ? 0 : errno;
        return state;
    }
    state = fromStat(st);
    state.link = link;
    return state;
}

int FileState::isLink(const std::filesystem::path &path)
{
    struct stat st {};
    if (sys().lstat(path.c_str(), &st) != 0)
        return -errno;
    return S_ISLNK(st.st_mode) ? 1 : 0;
}
