#include "filewriting.h"

#include "regularfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// The file itself, not a link to it: a save writes the file the link points to.
QString resolveTarget(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    if (info.isSymLink())
        return info.symLinkTarget();
    return path;
}

void tellWritten(const ProgressSink &progress, qint64 written, qint64 total)
{
    if (progress)
        progress(total + written, 2 * std::max<qint64>(total, 1));
}

#ifdef Q_OS_UNIX
FileResult systemFailure(int error)
{
    return FileResult::failure(QString::fromLocal8Bit(std::strerror(error)));
}

// Writes all bytes to fd in slices, telling progress after each; 0 or errno.
int writeAll(int fd, const QByteArray &bytes, const ProgressSink &progress)
{
    const qsizetype size = bytes.size();
    for (qsizetype done = 0; done < size;) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, size_t(std::min(kSliceBytes, size - done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
        tellWritten(progress, done, size);
    }
    if (size == 0)
        tellWritten(progress, 0, 0);
    return 0;
}

// Rewrites the file under its own name: every link to it sees the new bytes.
FileResult writeInPlace(const QByteArray &name, bool regular, const QByteArray &bytes,
                        const ProgressSink &progress)
{
    // A pipe without a reader fails at once rather than waiting for one.
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | (regular ? 0 : O_NONBLOCK));
    if (fd < 0)
        return systemFailure(errno);
    if (!regular)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int error = writeAll(fd, bytes, progress);
    if (!error && regular && (::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    return error ? systemFailure(error) : FileResult{};
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
        const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif
} // namespace

FileResult writeFileBytes(const QString &path, const QByteArray &bytes,
                          const ProgressSink &progress, QString *target)
{
    const QString file = resolveTarget(path);
    if (target)
        *target = file;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(file);
    struct stat st {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return FileResult::failure(NewsFile::tr("Is a directory"));
    if (exists && (!S_ISREG(st.st_mode) || st.st_nlink > 1))
        return writeInPlace(name, S_ISREG(st.st_mode), bytes, progress);

    QByteArray tempName;
    const int fd = createBeside(name, exists ? (st.st_mode & 07777) : 0666, tempName);
    if (fd < 0) {
        const int error = errno;
        // The folder takes no new file: the file itself may still be written.
        return exists ? writeInPlace(name, true, bytes, progress) : systemFailure(error);
    }
    if (exists) {
        // The owner and group first: giving them away may clear set-id bits.
        const bool owned = (st.st_uid == ::geteuid() && st.st_gid == ::getegid()) ||
                           ::fchown(fd, st.st_uid, st.st_gid) == 0;
        if (!owned || ::fchmod(fd, st.st_mode & 07777) != 0) {
            ::close(fd);
            ::unlink(tempName.constData());
            return writeInPlace(name, true, bytes, progress);
        }
    }
    int error = writeAll(fd, bytes, progress);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(tempName.constData(), name.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(tempName.constData());
        return systemFailure(error);
    }
    syncFolderOf(name);
    return {};
#else
    QSaveFile out(file);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return FileResult::failure(out.errorString());
    for (qsizetype done = 0; done < bytes.size();) {
        const qsizetype n = std::min(kSliceBytes, bytes.size() - done);
        if (out.write(bytes.constData() + done, n) != n) {
            const QString why = out.errorString();
            out.cancelWriting();
            return FileResult::failure(why);
        }
        done += n;
        tellWritten(progress, done, bytes.size());
    }
    if (!out.commit())
        return FileResult::failure(out.errorString());
    return {};
#endif
}
