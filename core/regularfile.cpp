#include "regularfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include "syscalls.h"

#include <fcntl.h>
#else
#include <QFileInfo>
#endif

int OpenFile::close()
{
#ifdef Q_OS_UNIX
    if (fd < 0)
        return 0;
    const int result = sys().close(fd);
    fd = -1;
    return result == 0 ? 0 : errno;
#else
    file.close();
    return 0;
#endif
}

FileResult openRegularFile(const QString &path, OpenFile &file, FileState &state)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    file.fd = sys().open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (file.fd < 0)
        return FileResult::system(errno);
    struct stat st {};
    if (sys().fstat(file.fd, &st) != 0)
        return FileResult::system(errno);
    if (S_ISDIR(st.st_mode))
        return FileResult::folder();
    if (!S_ISREG(st.st_mode))
        return FileResult::notRegular();
    const int flags = sys().fcntl(file.fd, F_GETFL, 0);
    if (flags < 0 || sys().fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return FileResult::system(errno);
    state = FileState::fromStat(st);
#else
    const QFileInfo info(path);
    if (info.isDir())
        return FileResult::folder();
    if (info.exists() && !info.isFile())
        return FileResult::notRegular();
    file.file.setFileName(path);
    if (!file.file.open(QIODevice::ReadOnly))
        return FileResult::failure(FileResult::Kind::System, file.file.errorString());
    state = FileState::look(path);
#endif
    return {};
}

FileResult readAllInSlices(OpenFile &file, qint64 sizeHint, std::string &bytes,
                           const std::function<void(qint64)> &read)
{
    bytes.resize(size_t(sizeHint));
    qsizetype done = 0;
    for (;;) {
        if (done == qsizetype(bytes.size()))
            bytes.resize(size_t(done + kSlice)); // the file grew while being read
        const qsizetype want = std::min(kSlice, qsizetype(bytes.size()) - done);
#ifdef Q_OS_UNIX
        const qint64 n = sys().read(file.fd, bytes.data() + done, size_t(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            return FileResult::system(errno);
        }
#else
        const qint64 n = file.file.read(bytes.data() + done, want);
        if (n < 0) {
            bytes.clear();
            return FileResult::failure(FileResult::Kind::System, file.file.errorString());
        }
#endif
        if (n == 0)
            break;
        done += n;
        if (read)
            read(done);
    }
    bytes.resize(size_t(done));
    return {};
}

FileResult readRegularFile(const QString &path, std::string &bytes)
{
    OpenFile file;
    FileState state;
    if (const FileResult opened = openRegularFile(path, file, state); !opened)
        return opened;
    if (const FileResult read = readAllInSlices(file, state.size, bytes); !read)
        return read;
    if (const int closed = file.close())
        return FileResult::system(closed);
    return {};
}
