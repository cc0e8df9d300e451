// Writing a file on POSIX systems: a new file beside it renamed over it, or
// the file rewritten in place, or a device written as it is.
#include "filewriting.h"

#include "inplacewriting.h"
#include "messages.h"
#include "regularfile.h"
#include "syscalls.h"

#include <cerrno>
#include <csignal>
#include <new>
#include <random>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {
// The file itself, not a link to it: a save writes the file the link points
// to, and a link to a link to the one that points on. 0, or the system's
// error when it could not say.
int resolveTarget(const std::filesystem::path &name, std::filesystem::path &target)
{
    target = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (sys().lstat(target.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        std::string next(4096, '\0');
        const ssize_t n = sys().readlink(target.c_str(), next.data(), next.size());
        if (n < 0)
            return errno;
        if (n == 0 || size_t(n) == next.size())
            return ENAMETOOLONG;
        next.resize(size_t(n));
        if (next.front() != '/') {
            const std::string &from = target.native();
            const size_t slash = from.rfind('/');
            next.insert(0, slash == from.npos ? std::string() : from.substr(0, slash + 1));
        }
        target = std::move(next);
    }
    return ELOOP;
}

// At most this many bytes of the name go into the name of the new file
// beside it, which a folder takes when it has 255 bytes at most.
constexpr std::size_t kTempStem = 200;

// A new file beside the one named, not yet used by anyone; -1 and errno when
// the folder takes none.
int createBeside(const std::filesystem::path &name, mode_t mode, std::filesystem::path &tempName)
{
    static thread_local std::mt19937_64 random{std::random_device()()};
    const std::string &whole = name.native();
    const size_t slash = whole.rfind('/');
    const std::string folder = slash == whole.npos ? std::string() : whole.substr(0, slash + 1);
    const std::string base = slash == whole.npos ? whole : whole.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // (Of a long name, its start: the new name must fit where it did.)
        tempName = folder + '.' + base.substr(0, kTempStem) + '.' +
                   std::to_string(random() % 2176782336u) + ".new";
        const int fd = sys().open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolderOf(const std::filesystem::path &name)
{
    const std::string &whole = name.native();
    const size_t slash = whole.rfind('/');
    const std::string folder = slash == whole.npos ? std::string(".")
                               : slash == 0        ? std::string("/")
                                                   : whole.substr(0, slash);
    HeldFile dir;
    dir.handle = sys().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    // The new name is in place either way; a folder that cannot be synced
    // only leaves it to the system to put on the disk.
    if (dir.handle >= 0)
        sys().fsync(dir.handle);
}

// Replaces the file by a new one, or makes it when there is none.
FileResult replaceFile(const std::filesystem::path &path, const std::filesystem::path &name,
                       const struct stat *old, std::string_view bytes, const ProgressSink &progress,
                       std::optional<FileState> *after)
{
    std::filesystem::path tempName;
    HeldFile temp;
    temp.handle = createBeside(name, old ? (old->st_mode & 07777) : 0666, tempName);
    if (temp.handle < 0) {
        const int error = errno;
        // The folder takes no new file: the file itself may still be written.
        return old ? writeInPlace(path, name, bytes, progress, after) : FileResult::system(error);
    }
    if (old) {
        // The owner and group first: giving them away may clear set-id bits.
        const bool owned = (old->st_uid == ::geteuid() && old->st_gid == ::getegid()) ||
                           sys().fchown(temp.handle, old->st_uid, old->st_gid) == 0;
        if (!owned || sys().fchmod(temp.handle, old->st_mode & 07777) != 0) {
            temp.close();
            sys().unlink(tempName.c_str());
            return writeInPlace(path, name, bytes, progress, after);
        }
    }
    std::ptrdiff_t written = 0;
    int error = writeAll(temp.handle, bytes, progress, written);
    if (!error && sys().fsync(temp.handle) != 0)
        error = errno;
    if (const int closed = temp.close(); !error)
        error = closed;
    if (!error && sys().rename(tempName.c_str(), name.c_str()) != 0)
        error = errno;
    if (error) {
        sys().unlink(tempName.c_str());
        return FileResult::system(error);
    }
    syncFolderOf(name);
    if (after)
        *after = FileState::of(path, bytes);
    return {};
}
} // namespace

Linked linkedFile(const std::filesystem::path &path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return {{}, error.value()};
    std::filesystem::path target;
    if (const int failed = resolveTarget(absolute.lexically_normal(), target))
        return {{}, failed};
    target = target.lexically_normal();
    // "/a/b/" names the same as "/a/b".
    if (!target.has_filename() && target.has_parent_path() && target != target.root_path())
        target = target.parent_path();
    return {target, 0};
}

FileResult writeFileBytes(const std::filesystem::path &path, std::string_view bytes,
                          const ProgressSink &progress, std::optional<FileState> *after)
{
    try {
        // A file-size limit (ulimit -f) must fail the save with "File too
        // large", not end the program with the writer's text.
        static const bool limitsFail = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
        (void)limitsFail;
        std::filesystem::path name;
        if (const int error = resolveTarget(path, name))
            return FileResult::system(error);
        struct stat st {};
        if (sys().stat(name.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return FileResult::system(errno);
            return replaceFile(path, name, nullptr, bytes, progress, after);
        }
        if (S_ISDIR(st.st_mode))
            return FileResult::folder();
        if (!S_ISREG(st.st_mode))
            return writeToDevice(path, name, bytes, progress, after);
        if (st.st_nlink > 1)
            return writeInPlace(path, name, bytes, progress, after);
        return replaceFile(path, name, &st, bytes, progress, after);
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileResult::Kind::TooLarge, say(Message::NoMemoryToWrite));
    }
}
