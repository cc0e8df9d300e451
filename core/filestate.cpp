#include "filestate.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#ifdef Q_OS_UNIX
FileState FileState::fromStat(const struct stat &st)
{
    FileState state;
    state.present = true;
    state.regular = S_ISREG(st.st_mode);
    state.device = quint64(st.st_dev);
    state.inode = quint64(st.st_ino);
    state.size = qint64(st.st_size);
    state.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return state;
}
#endif

FileState FileState::look(const QString &path)
{
    FileState state;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return state;
    return fromStat(st);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return state;
    state.present = true;
    state.regular = info.isFile();
    state.size = info.size();
    state.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    state.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
#endif
    return state;
}

FileState FileState::of(const QString &path, QByteArrayView bytes)
{
    FileState state = look(path);
    if (state.present)
        state.digest = digestOf(bytes);
    return state;
}

quint64 FileState::digestOf(QByteArrayView bytes)
{
    return quint64(qHashBits(bytes.data(), size_t(bytes.size()), 0));
}

bool FileState::sameIdentityAndTimes(const FileState &other) const
{
    return present == other.present && device == other.device && inode == other.inode &&
           size == other.size && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

DiskChange changeSince(const FileState &remembered, const QString &path, FileState *refreshed)
{
    const FileState now = FileState::look(path);
    if (!now.present)
        return remembered.present ? DiskChange::Deleted : DiskChange::None;
    if (!remembered.present)
        return DiskChange::Changed;
    if (now.sameIdentityAndTimes(remembered))
        return DiskChange::None;
    // A pipe or a device is never read here: it could block or never end.
    if (now.size != remembered.size || !now.regular)
        return DiskChange::Changed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DiskChange::Changed;
    const QByteArray bytes = file.readAll();
    if (FileState::digestOf(bytes) != remembered.digest)
        return DiskChange::Changed;
    if (refreshed) {
        const quint64 digest = remembered.digest;
        *refreshed = now;
        refreshed->digest = digest;
    }
    return DiskChange::None;
}
