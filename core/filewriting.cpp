#include "filewriting.h"

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
#include "inplacewriting.h"
#include "said.h"
#include "syscalls.h"

#include <fcntl.h>
#include <unistd.h>
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
                       std::string_view bytes, const ProgressSink &progress,
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

Linked linkedFile(const QString &path)
{
#ifdef Q_OS_UNIX
    QByteArray target;
    if (const int failed =
            resolveTarget(QFile::encodeName(QFileInfo(path).absoluteFilePath()), target))
        return {QString(), failed};
    return {QDir::cleanPath(QFile::decodeName(target)), 0};
#else
    const QString target = QFileInfo(path).canonicalFilePath();
    return {target.isEmpty() ? path : target, 0};
#endif
}

FileResult writeFileBytes(const QString &path, std::string_view bytes, const ProgressSink &progress,
                          std::optional<FileState> *after)
{
    try {
#ifdef Q_OS_UNIX
        // A file-size limit (ulimit -f) must fail the save with "File too
        // large", not end the program with the writer's text.
        static const bool limitsFail = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
        Q_UNUSED(limitsFail);
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
        const qsizetype size = qsizetype(bytes.size());
        for (qsizetype done = 0; done < size;) {
            const qsizetype n = std::min(kSlice, size - done);
            if (out.write(bytes.data() + done, n) != n) {
                const QString why = out.errorString();
                out.cancelWriting();
                return FileResult::failure(FileResult::Kind::System, why);
            }
            done += n;
            if (progress)
                progress(done, size);
        }
        if (!out.commit())
            return FileResult::failure(FileResult::Kind::System, out.errorString());
        if (after)
            *after = FileState::of(path, bytes);
        return {};
#endif
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileResult::Kind::TooLarge, said(Message::NoMemoryToWrite));
    }
}
