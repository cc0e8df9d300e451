#include "regularfile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileResult openRegularFile(const QString &path, QFile &file, FileState &state)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileResult::failure(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    const int statError = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (statError || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (statError)
            return FileResult::failure(QString::fromLocal8Bit(std::strerror(statError)));
        return FileResult::failure(S_ISDIR(st.st_mode) ? NewsFile::tr("Is a directory")
                                                       : NewsFile::tr("Not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileResult::failure(file.errorString());
    }
    state = FileState::fromStat(st);
#else
    const QFileInfo info(path);
    if (info.isDir())
        return FileResult::failure(NewsFile::tr("Is a directory"));
    if (info.exists() && !info.isFile())
        return FileResult::failure(NewsFile::tr("Not a regular file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    state = FileState::look(path);
#endif
    return {};
}

QByteArray readAllInSlices(QFile &file, qint64 sizeHint, const std::function<void(qint64)> &read)
{
    QByteArray bytes;
    bytes.resize(qsizetype(sizeHint));
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + kSliceBytes); // the file grew while being read
        const qint64 n = file.read(bytes.data() + done, std::min(kSliceBytes, bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
        read(done);
    }
    bytes.truncate(done);
    return bytes;
}
