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

DiskRecord::Ask DiskRecord::newLink(const QString &path, const FileState &now, QString *target,
                                    int *error) const
{
    if (!now.link)
        return Ask::Nothing;
    int failed = 0;
    const QString leadsTo = linkedFile(path, &failed);
    if (failed) {
        if (error)
            *error = failed;
        return Ask::Unknown;
    }
    // (A link whose target could not be read when it was kept is taken to
    // lead where it did.)
    if (m_state.link && (m_linkTarget.isEmpty() || leadsTo == m_linkTarget))
        return Ask::Nothing;
    if (target)
        *target = leadsTo;
    return Ask::NowLink;
}

bool DiskRecord::leadsWhereAgreed(const QString &path, const QString &target, int *error) const
{
    const FileState now = FileState::look(path);
    if (now.unknown) {
        *error = now.unknown;
        return false;
    }
    QString leadsTo;
    switch (newLink(path, now, &leadsTo, error)) {
    case Ask::Nothing:
        return true;
    case Ask::NowLink:
        return !target.isEmpty() && leadsTo == target;
    default:
        return false;
    }
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
    if (const Ask link = newLink(path, now, linkTarget, error); link != Ask::Nothing)
        return link;
    if (!m_read)
        return now.present ? Ask::NotRead : Ask::Nothing;
    switch (changeSince(m_state, path, &m_state, &now, error)) {
    case DiskChange::Changed:
        return m_state.present ? Ask::Changed : Ask::Created;
    case DiskChange::Unreadable:
        return Ask::Unreadable;
    default:
        return Ask::Nothing;
    }
}

void DiskRecord::told(const QString &path)
{
    m_told = FileState::look(path);
    m_toldLinkTarget.clear();
    newLink(path, *m_told, &m_toldLinkTarget, nullptr);
}

DiskRecord::Tell DiskRecord::sinceLastLook(const QString &currentFile, int *error,
                                           QString *linkTarget)
{
    if (m_path.isEmpty() || !sameFile(m_path, currentFile))
        return Tell::Nothing;
    const FileState now = FileState::look(m_path);
    // Each state of the file is told once; a link, once for where it leads.
    QString leadsTo;
    const Ask link = now.unknown ? Ask::Nothing : newLink(m_path, now, &leadsTo, error);
    const auto toldBefore = [&] {
        if (m_told && m_told->sameIdentityAndTimes(now) && m_toldLinkTarget == leadsTo)
            return true;
        m_told = now;
        m_toldLinkTarget = leadsTo;
        return false;
    };
    if (now.unknown) {
        if (error)
            *error = now.unknown;
        return toldBefore() ? Tell::Nothing : Tell::Unknown;
    }
    // Asked about before anything is read from it.
    if (link == Ask::Unknown)
        return toldBefore() ? Tell::Nothing : Tell::Unknown;
    if (link == Ask::NowLink) {
        if (toldBefore())
            return Tell::Nothing;
        if (linkTarget)
            *linkTarget = leadsTo;
        return Tell::NowLink;
    }
    const DiskChange change = changeSince(m_state, m_path, &m_state, &now, error);
    if (change == DiskChange::None || toldBefore())
        return Tell::Nothing;
    switch (change) {
    case DiskChange::Deleted:
        return Tell::Deleted;
    case DiskChange::Unreadable:
        return Tell::Unreadable;
    default:
        return Tell::Changed;
    }
}
