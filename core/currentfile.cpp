#include "currentfile.h"

#include "filewriting.h"
#include "stdstrings.h"

#include <QFileInfo>

bool CurrentFile::isCurrent(const QString &path) const
{
    if (path.isEmpty() || m_path.isEmpty())
        return false;
    const QFileInfo first(path), second(m_path);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

QString CurrentFile::takeChosen()
{
    const QString chosen = m_name;
    m_name = m_path;
    return chosen;
}

void CurrentFile::adopt(const QString &path, const FileState &state)
{
    m_path = m_name = path;
    m_state = state;
    m_linkTarget = state.link ? qtstd::fileName(linkedFile(qtstd::path(path)).file) : QString();
    m_read = true;
    m_onlyOnScreen = false;
    m_told.reset();
}

void CurrentFile::adoptUnread(const QString &path)
{
    adopt(path, FileState::look(qtstd::path(path)));
    m_read = !m_state.present;
}

void CurrentFile::readFailed(const QString &path)
{
    // The text it was about is gone: what it says now is that the read failed.
    m_onlyOnScreen = false;
    if (isCurrent(path))
        adoptUnread(m_path);
}

void CurrentFile::saveFailed(const QString &path, const std::optional<FileState> &after)
{
    // What the program's own failed save left is not another program's
    // change: only a later change is told as one.
    if (after && !after->unknown && isCurrent(path)) {
        m_state = *after;
        m_read = true;
    }
}

bool CurrentFile::gone() const
{
    if (!m_state.regular || m_path.isEmpty())
        return false;
    const FileState now = FileState::look(qtstd::path(m_path));
    return now.unknown || !now.regular;
}

bool CurrentFile::onlyOnScreen()
{
    if (!m_onlyOnScreen && gone())
        m_onlyOnScreen = true;
    return m_onlyOnScreen;
}

CurrentFile::Look CurrentFile::newLink(const QString &path, const FileState &now) const
{
    if (!now.link)
        return {};
    const Linked leadsTo = linkedFile(qtstd::path(path));
    if (leadsTo.error)
        return {DiskNews::Unknown, QString(), leadsTo.error};
    // (A link whose target could not be read when it was kept is taken to
    // lead where it did.)
    const QString target = qtstd::fileName(leadsTo.file);
    if (m_state.link && (m_linkTarget.isEmpty() || target == m_linkTarget))
        return {};
    return {DiskNews::NowLink, target, 0};
}

CurrentFile::Look CurrentFile::leadsWhereAgreed(const QString &path, const QString &target) const
{
    const FileState now = FileState::look(qtstd::path(path));
    if (now.unknown)
        return {DiskNews::Unknown, QString(), now.unknown};
    Look link = newLink(path, now);
    if (link.news == DiskNews::NowLink && !target.isEmpty() && link.linkTarget == target)
        return {};
    return link;
}

CurrentFile::Look CurrentFile::beforeSave(const QString &path)
{
    if (!isCurrent(path))
        return {};
    const FileState now = FileState::look(qtstd::path(path));
    if (now.unknown)
        return {DiskNews::Unknown, QString(), now.unknown};
    // A folder is never written over: the save fails and says so.
    if (now.folder)
        return {};
    if (Look link = newLink(path, now); link.news != DiskNews::Nothing)
        return link;
    if (!m_read)
        return {now.present ? DiskNews::NotRead : DiskNews::Nothing, QString(), 0};
    const DiskLook look = changeSince(m_state, qtstd::path(path), &m_state, &now);
    switch (look.change) {
    case DiskChange::Changed:
        return {m_state.present ? DiskNews::Changed : DiskNews::Created, QString(), 0};
    case DiskChange::Unreadable:
        return {DiskNews::Unreadable, QString(), look.error};
    default:
        return {};
    }
}

void CurrentFile::told(const QString &path)
{
    m_told = FileState::look(qtstd::path(path));
    m_toldLinkTarget = newLink(path, *m_told).linkTarget;
}

CurrentFile::Look CurrentFile::sinceLastLook()
{
    if (m_path.isEmpty())
        return {};
    const FileState now = FileState::look(qtstd::path(m_path));
    // Each state of the file is told once; a link, once for where it leads.
    const Look link = now.unknown ? Look{} : newLink(m_path, now);
    const auto toldBefore = [&] {
        if (m_told && m_told->sameIdentityAndTimes(now) && m_toldLinkTarget == link.linkTarget)
            return true;
        m_told = now;
        m_toldLinkTarget = link.linkTarget;
        return false;
    };
    if (now.unknown)
        return toldBefore() ? Look{} : Look{DiskNews::Unknown, QString(), now.unknown};
    // Asked about before anything is read from it.
    if (link.news != DiskNews::Nothing)
        return toldBefore() ? Look{} : link;
    const DiskLook look = changeSince(m_state, qtstd::path(m_path), &m_state, &now);
    if (look.change == DiskChange::None || toldBefore())
        return {};
    switch (look.change) {
    case DiskChange::Deleted:
        return {DiskNews::Deleted, QString(), 0};
    case DiskChange::Unreadable:
        return {DiskNews::Unreadable, QString(), look.error};
    default:
        return {DiskNews::Changed, QString(), 0};
    }
}
