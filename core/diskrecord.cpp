#include "diskrecord.h"

#include "filewriting.h"

#include <QFileInfo>

void DiskRecord::keep(const QString &path, const FileState &state)
{
    m_path = path;
    m_state = state;
    m_linkTarget = state.link ? linkedFile(path) : QString();
    m_read = true;
    m_told.reset();
}

void DiskRecord::notRead(const QString &path)
{
    m_path = path;
    m_state = FileState::look(path);
    m_linkTarget = m_state.link ? linkedFile(path) : QString();
    m_read = !m_state.present;
    m_told.reset();
}

void DiskRecord::saveFailed(const QString &path, const std::optional<FileState> &after)
{
    // What the program's own failed save left is not another program's
    // change: only a later change is told as one.
    if (after && !after->unknown && sameFile(path, m_path)) {
        m_state = *after;
        m_read = true;
    }
}

bool DiskRecord::gone(const QString &currentFile) const
{
    if (!m_state.regular || !sameFile(currentFile, m_path))
        return false;
    const FileState now = FileState::look(currentFile);
    return now.unknown || !now.regular;
}

bool DiskRecord::sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a), second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

DiskRecord::Ask DiskRecord::beforeSave(const QString &path, QString *linkTarget, int *error)
{
    if (!sameFile(path, m_path))
        return Ask::Nothing;
    const FileState now = FileState::look(path);
    if (now.unknown) {
        if (error)
            *error = now.unknown;
        return Ask::Unknown;
    }
    // A folder is never written over: the save fails and says so.
    if (now.folder)
        return Ask::Nothing;
    if (now.link) {
        int failed = 0;
        const QString target = linkedFile(path, &failed);
        if (failed) {
            if (error)
                *error = failed;
            return Ask::Unknown;
        }
        // (A link whose target could not be read when it was kept is taken
        // to lead where it did.)
        if (!m_state.link || (!m_linkTarget.isEmpty() && target != m_linkTarget)) {
            if (linkTarget)
                *linkTarget = target;
            return Ask::NowLink;
        }
    }
    if (!m_read)
        return now.present ? Ask::NotRead : Ask::Nothing;
    if (changeSince(m_state, path, &m_state, &now) != DiskChange::Changed)
        return Ask::Nothing;
    return m_state.present ? Ask::Changed : Ask::Created;
}

void DiskRecord::told(const QString &path)
{
    m_told = FileState::look(path);
}

DiskRecord::Tell DiskRecord::sinceLastLook(const QString &currentFile, int *error)
{
    if (m_path.isEmpty() || !sameFile(m_path, currentFile))
        return Tell::Nothing;
    const auto toldBefore = [this](const FileState &now) {
        if (m_told && m_told->sameIdentityAndTimes(now))
            return true;
        m_told = now;
        return false;
    };
    const FileState now = FileState::look(m_path);
    if (now.unknown) {
        if (error)
            *error = now.unknown;
        return toldBefore(now) ? Tell::Nothing : Tell::Unknown;
    }
    const DiskChange change = changeSince(m_state, m_path, &m_state, &now);
    if (change == DiskChange::None || toldBefore(now))
        return Tell::Nothing;
    return change == DiskChange::Deleted ? Tell::Deleted : Tell::Changed;
}
