#include "filestate.h"

#include "regularfile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include "syscalls.h"
#endif

#ifdef Q_OS_UNIX
FileState FileState::fromStat(const struct stat &st)
{
    FileState state;
    state.present = true;
    state.regular = S_ISREG(st.st_mode);
    state.folder = S_ISDIR(st.st_mode);
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
    const QByteArray name = QFile::encodeName(path);
    const auto missing = [] { return errno == ENOENT || errno == ENOTDIR; };
    struct stat st {};
    if (sys().lstat(name.constData(), &st) != 0) {
        state.unknown = missing() ? 0 : errno;
        return state;
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && sys().stat(name.constData(), &st) != 0) {
        state.link = true; // a link to nothing: no file there
        state.unknown = missing() ? 0 : errno;
        return state;
    }
    state = fromStat(st);
    state.link = link;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return state;
    state.present = true;
    state.regular = info.isFile();
    state.folder = info.isDir();
    state.link = info.isSymLink();
    state.size = info.size();
    state.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    state.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
#endif
    return state;
}

FileState FileState::of(const QString &path, std::string_view bytes)
{
    FileState state = look(path);
    if (!state.present) {
        state = FileState();
        state.present = state.regular = true;
        state.link = isLink(path) > 0;
        state.size = qint64(bytes.size());
    }
    state.setBytes(bytes);
    return state;
}

void FileState::setBytes(std::string_view bytes)
{
    digest = digestOf(bytes);
    bytesKnown = true;
}

int FileState::isLink(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (sys().lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return S_ISLNK(st.st_mode) ? 1 : 0;
#else
    return QFileInfo(path).isSymLink() ? 1 : 0;
#endif
}

quint64 FileState::digestOf(std::string_view bytes)
{
    return quint64(std::hash<std::string_view>()(bytes));
}

bool FileState::sameIdentityAndTimes(const FileState &other) const
{
    return present == other.present && link == other.link && unknown == other.unknown &&
           device == other.device && inode == other.inode && size == other.size &&
           modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

DiskLook changeSince(const FileState &remembered, const QString &path, FileState *refreshed,
                     const FileState *seen)
{
    const FileState now = seen ? *seen : FileState::look(path);
    // What the system cannot say is no change: the next look tells.
    if (now.unknown)
        return {DiskChange::None};
    if (!now.present)
        return {remembered.present ? DiskChange::Deleted : DiskChange::None};
    if (!remembered.present)
        return {DiskChange::Changed};
    if (now.sameIdentityAndTimes(remembered))
        return {DiskChange::None};
    // A device or a pipe has no bytes of its own to change: only another
    // one in its place counts.
    if (!now.regular && !now.folder && !remembered.regular && !remembered.folder &&
        now.device == remembered.device && now.inode == remembered.inode)
        return {DiskChange::None};
    // A pipe or a device is never read here: it could block or never end.
    if (!remembered.bytesKnown || now.size != remembered.size || !now.regular ||
        now.link != remembered.link)
        return {DiskChange::Changed};
    std::string bytes;
    // A file that can no longer be read (its mode or owner changed) may hold
    // the very bytes read here: that is all that can be said of it.
    if (const FileResult read = readRegularFile(path, bytes); !read) {
        if (read.kind != FileResult::Kind::System)
            return {DiskChange::Changed};
        return {DiskChange::Unreadable, read.errorNumber};
    }
    if (FileState::digestOf(bytes) != remembered.digest)
        return {DiskChange::Changed};
    if (refreshed) {
        *refreshed = now;
        refreshed->setBytes(bytes);
    }
    return {DiskChange::None};
}
