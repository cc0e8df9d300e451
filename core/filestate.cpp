#include "filestate.h"

#include "regularfile.h"

#include <functional>
#include <string>

FileState FileState::of(const std::filesystem::path &path, std::string_view bytes)
{
    FileState state = look(path);
    if (!state.present) {
        state = FileState();
        state.present = state.regular = true;
        state.link = isLink(path) > 0;
        state.size = std::int64_t(bytes.size());
    }
    state.setBytes(bytes);
    return state;
}

void FileState::setBytes(std::string_view bytes)
{
    digest = digestOf(bytes);
    bytesKnown = true;
}

std::uint64_t FileState::digestOf(std::string_view bytes)
{
    return std::uint64_t(std::hash<std::string_view>()(bytes));
}

bool FileState::sameIdentityAndTimes(const FileState &other) const
{
    return present == other.present && link == other.link && unknown == other.unknown &&
           device == other.device && inode == other.inode && size == other.size &&
           modifiedNs == other.modifiedNs && changedNs == other.changedNs;
}

DiskLook changeSince(const FileState &remembered, const std::filesystem::path &path,
                     FileState *refreshed, const FileState *seen)
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
