#include "filewriting.h"

#include "memorycheck.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <new>

#ifdef Q_OS_UNIX
#include "syscalls.h"

#include <fcntl.h>
#include <unistd.h>

#ifndef FALLOC_FL_KEEP_SIZE
#define FALLOC_FL_KEEP_SIZE 1
#endif
#endif

namespace {
#ifdef Q_OS_UNIX
// The file itself, not a link to it: a save writes the file the link points
// to, and a link to a link to the one that points on. 0, or the system's
// error when it could not say.
int resolveTarget(const QByteArray &name, QByteArray &target)
{
    target = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (sys().lstat(target.constData(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        QByteArray next(4096, Qt::Uninitialized);
        const ssize_t n = sys().readlink(target.constData(), next.data(), size_t(next.size()));
        if (n < 0)
            return errno;
        if (n == 0 || n == next.size())
            return ENAMETOOLONG;
        next.truncate(n);
        if (!next.startsWith('/')) {
            const qsizetype slash = target.lastIndexOf('/');
            next.prepend(slash >= 0 ? target.left(slash + 1) : QByteArray());
        }
        target = next;
    }
    return ELOOP;
}

// Writes all bytes to fd in slices, telling progress after each; 0 or errno.
// written receives how many went in.
int writeAll(int fd, const QByteArray &bytes, const ProgressSink &progress, qsizetype &written)
{
    const qsizetype size = bytes.size();
    for (written = 0; written < size;) {
        const ssize_t n = sys().write(fd, bytes.constData() + written,
                                      size_t(std::min(kSlice, size - written)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        written += n;
        if (progress)
            progress(written, size);
    }
    if (size == 0 && progress)
        progress(0, 0);
    return 0;
}

FileResult incomplete(int error, const QString &why)
{
    FileResult result = FileResult::system(error);
    result.error += QStringLiteral("\n\n") + why;
    result.incomplete = true;
    return result;
}

// Puts old back as the whole content of the file open as fd; true when it is
// on the disk again.
bool putBack(int fd, const QByteArray &old)
{
    qsizetype written = 0;
    return sys().lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old, {}, written) == 0 &&
           sys().ftruncate(fd, off_t(old.size())) == 0 && sys().fsync(fd) == 0;
}

// A device or a pipe: written as it is, and what went there stays there.
FileResult writeToDevice(const QString &path, const QByteArray &name, const QByteArray &bytes,
                         const ProgressSink &progress, std::optional<FileState> *after)
{
    // A pipe whose reader went away must fail the save, not end the program.
    static const bool pipesFail = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    Q_UNUSED(pipesFail);
    OpenFile file;
    // A pipe without a reader fails at once rather than waiting for one.
    file.fd = sys().open(name.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (file.fd < 0) {
        if (errno == ENXIO)
            return FileResult::failure(FileResult::Kind::NotRegular,
                                       NewsFile::tr("It is a pipe that no program reads from."));
        return FileResult::system(errno);
    }
    // Whatever happens now, it is the program's own write to this device.
    if (after)
        *after = FileState::look(path);
    const int flags = sys().fcntl(file.fd, F_GETFL, 0);
    if (flags < 0 || sys().fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileResult::system(errno);
    qsizetype written = 0;
    int error = writeAll(file.fd, bytes, progress, written);
    if (const int closed = file.close(); !error)
        error = closed;
    if (!error)
        return {};
    if (written == 0)
        return FileResult::system(error);
    return incomplete(error, NewsFile::tr("It is a device or a pipe: what was written to it "
                                          "cannot be taken back."));
}

// Rewrites a regular file under its own name, so that every link to it sees
// the new bytes; on a failure its old bytes go back. after as for
// writeFileBytes().
FileResult writeInPlace(const QString &path, const QByteArray &name, const QByteArray &bytes,
                        const ProgressSink &progress, std::optional<FileState> *after)
{
    OpenFile file;
    file.fd = sys().open(name.constData(), O_RDWR | O_CLOEXEC, 0);
    if (file.fd < 0)
        return FileResult::system(errno);
    struct stat st {};
    if (sys().fstat(file.fd, &st) != 0)
        return FileResult::system(errno);
    if (!rewriteFitsInMemory(st.st_size, availableMemory()))
        return FileResult::failure(
            FileResult::Kind::TooLarge,
            NewsFile::tr("The file is rewritten in place (it has other names, or its folder "
                         "takes no new file), and its old text and the new one do not fit in "
                         "memory together, so that the old one could not be put back if the "
                         "save failed."));
    QByteArray old;
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
        sys().fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, off_t(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL) {
        const int error = errno;
        tellAfter(true);
        return FileResult::system(error);
    }
    int error = sys().lseek(file.fd, 0, SEEK_SET) == 0 ? 0 : errno;
    qsizetype written = 0;
    if (!error)
        error = writeAll(file.fd, bytes, progress, written);
    bool touched = written > 0;
    if (!error) {
        touched = true;
        if (sys().ftruncate(file.fd, off_t(bytes.size())) != 0 || sys().fsync(file.fd) != 0)
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
        file.fd = sys().open(name.constData(), O_WRONLY | O_CLOEXEC, 0);
    }
    if (!touched) {
        tellAfter(true);
        return FileResult::system(error);
    }
    const bool putBackOk = file.fd >= 0 && putBack(file.fd, old);
    if (const int closed = file.close(); putBackOk && closed == 0) {
        tellAfter(true);
        return FileResult::system(error);
    }
    tellAfter(false);
    return incomplete(error, NewsFile::tr("The file now holds an incomplete save: its old text "
                                          "could not be put back. Save again once the cause "
                                          "is mended; the text is still here."));
}

// A new file beside the one named, not yet used by anyone; -1 and errno when
// the folder takes none.
int createBeside(const QByteArray &name, mode_t mode, QByteArray &tempName)
{
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash >= 0 ? name.left(slash + 1) : QByteArray();
    const QByteArray base = name.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = folder + '.' + base + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        const int fd =
            sys().open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolderOf(const QByteArray &name)
{
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? name.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    OpenFile dir;
    dir.fd = sys().open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    // The new name is in place either way; a folder that cannot be synced
    // only leaves it to the system to put on the disk.
    if (dir.fd >= 0)
        sys().fsync(dir.fd);
}

// Replaces the file by a new one, or makes it when there is none.
FileResult replaceFile(const QString &path, const QByteArray &name, const struct stat *old,
                       const QByteArray &bytes, const ProgressSink &progress,
                       std::optional<FileState> *after)
{
    QByteArray tempName;
    OpenFile temp;
    temp.fd = createBeside(name, old ? (old->st_mode & 07777) : 0666, tempName);
    if (temp.fd < 0) {
        const int error = errno;
        // The folder takes no new file: the file itself may still be written.
        return old ? writeInPlace(path, name, bytes, progress, after) : FileResult::system(error);
    }
    if (old) {
        // The owner and group first: giving them away may clear set-id bits.
        const bool owned = (old->st_uid == ::geteuid() && old->st_gid == ::getegid()) ||
                           sys().fchown(temp.fd, old->st_uid, old->st_gid) == 0;
        if (!owned || sys().fchmod(temp.fd, old->st_mode & 07777) != 0) {
            temp.close();
            sys().unlink(tempName.constData());
            return writeInPlace(path, name, bytes, progress, after);
        }
    }
    qsizetype written = 0;
    int error = writeAll(temp.fd, bytes, progress, written);
    if (!error && sys().fsync(temp.fd) != 0)
        error = errno;
    if (const int closed = temp.close(); !error)
        error = closed;
    if (!error && sys().rename(tempName.constData(), name.constData()) != 0)
        error = errno;
    if (error) {
        sys().unlink(tempName.constData());
        return FileResult::system(error);
    }
    syncFolderOf(name);
    if (after)
        *after = FileState::of(path, bytes);
    return {};
}
#endif
} // namespace

QString linkedFile(const QString &path, int *error)
{
#ifdef Q_OS_UNIX
    QByteArray target;
    if (const int failed = resolveTarget(QFile::encodeName(QFileInfo(path).absoluteFilePath()), target)) {
        if (error)
            *error = failed;
        return QString();
    }
    return QDir::cleanPath(QFile::decodeName(target));
#else
    Q_UNUSED(error);
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
#endif
}


FileResult writeFileBytes(const QString &path, const QByteArray &bytes,
                          const ProgressSink &progress, std::optional<FileState> *after)
{
    try {
#ifdef Q_OS_UNIX
        QByteArray name;
        if (const int error = resolveTarget(QFile::encodeName(path), name))
            return FileResult::system(error);
        struct stat st {};
        if (sys().stat(name.constData(), &st) != 0) {
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
#else
        const QFileInfo info(path);
        const QString file = info.canonicalFilePath().isEmpty() ? path : info.canonicalFilePath();
        QSaveFile out(file);
        out.setDirectWriteFallback(true);
        if (!out.open(QIODevice::WriteOnly))
            return FileResult::failure(FileResult::Kind::System, out.errorString());
        for (qsizetype done = 0; done < bytes.size();) {
            const qsizetype n = std::min(kSlice, bytes.size() - done);
            if (out.write(bytes.constData() + done, n) != n) {
                const QString why = out.errorString();
                out.cancelWriting();
                return FileResult::failure(FileResult::Kind::System, why);
            }
            done += n;
            if (progress)
                progress(done, bytes.size());
        }
        if (!out.commit())
            return FileResult::failure(FileResult::Kind::System, out.errorString());
        if (after)
            *after = FileState::of(path, bytes);
        return {};
#endif
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileResult::Kind::TooLarge,
                                   NewsFile::tr("Not enough memory to write the file"));
    }
}
