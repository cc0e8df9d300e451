#include "currentfile.h"

#include "filename.h"
#include "filewriting.h"

#include <system_error>

bool CurrentFile::isCurrent(const Path &path) const
{
    if (path.empty() || m_path.empty())
        return false;
    if (cleanName(path) == cleanName(m_path))
        return true;
    // The same file by another spelling or through a link: both are there.
    std::error_code error;
    const Path canonical = std::filesystem::canonical(path, error);
    if (error)
        return false;
    const Path other = std::filesystem::canonical(m_path, error);
    return !error && canonical == other;
}

CurrentFile::Path CurrentFile::takeChosen()
{
    const Path chosen = m_name;
    m_name = m_path;
    return chosen;
}

void CurrentFile::adopt(const Path &path, const FileState &state)
{
    m_path = m_name = path;
    m_state = state;
    m_linkTarget = state.link ? linkedFile(path).file : Path();
    m_read = true;
    m_onlyOnScreen = false;
    m_told.reset();
}

void CurrentFile::adoptUnread(const Path &path)
{
    adopt(path, FileState::look(path));
    m_read = !m_state.present;
}

void CurrentFile::readFailed(const Path &path)
{
    // The text it was about is gone: what it says now is that the read failed.
    m_onlyOnScreen = false;
    if (isCurrent(path)) {
        adoptUnread(m_path);
        return;
    }
    // The current file holds another text, which a save of the error line
    // would destroy: the text belongs to no file now. (What was kept of the
    // file goes unread without a name, and the next adopt() sets it anew.)
    m_path = m_name = Path();
}

void CurrentFile::saveFailed(const Path &path, const std::optional<FileState> &after)
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
    if (!m_state.regular || m_path.empty())
        return false;
    const FileState now = FileState::look(m_path);
    return now.unknown || !now.regular;
}

bool CurrentFile::onlyOnScreen()
{
    if (!m_onlyOnScreen && gone())
        m_onlyOnScreen = true;
    return m_onlyOnScreen;
}

CurrentFile::Look CurrentFile::newLink(const Path &path, const FileState &now) const
{
    if (!now.link)
        return {};
    const Linked leadsTo = linkedFile(path);
    if (leadsTo.error)
        return {DiskNews::Unknown, Path(), leadsTo.error};
    // (A link whose target could not be read when it was kept is taken to
    // lead where it did.)
    const Path &target = leadsTo.file;
    if (m_state.link && (m_linkTarget.empty() || target == m_linkTarget))
        return {};
    return {DiskNews::NowLink, target, 0};
}

CurrentFile::Look CurrentFile::leadsWhereAgreed(const Path &path, const Path &target) const
{
    const FileState now = FileState::look(path);
    if (now.unknown)
        return {DiskNews::Unknown, Path(), now.unknown};
    Look link = newLink(path, now);
    if (link.news == DiskNews::NowLink && !target.empty() && link.linkTarget == target)
        return {};
    return link;
}

CurrentFile::Look CurrentFile::beforeSave(const Path &path)
{
    if (!isCurrent(path))
        return {};
    const FileState now = FileState::look(path);
    if (now.unknown)
        return {DiskNews::Unknown, Path(), now.unknown};
    // A folder is never written over: the save fails and says so.
    if (now.folder)
        return {};
    if (Look link = newLink(path, now); link.news != DiskNews::Nothing)
        return link;
    if (!m_read)
        return {now.present ? DiskNews::NotRead : DiskNews::Nothing, Path(), 0};
    const DiskLook look = changeSince(m_state, path, &m_state, &now);
    switch (look.change) {
    case DiskChange::Changed:
        return {m_state.present ? DiskNews::Changed : DiskNews::Created, Path(), 0};
    case DiskChange::Unreadable:
        return {DiskNews::Unreadable, Path(), look.error};
    default:
        return {};
    }
}

void CurrentFile::told(const Path &path)
{
    m_told = FileState::look(path);
    m_toldLinkTarget = newLink(path, *m_told).linkTarget;
}

CurrentFile::Look CurrentFile::sinceLastLook()
{
    if (m_path.empty())
        return {};
    const FileState now = FileState::look(m_path);
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
        return toldBefore() ? Look{} : Look{DiskNews::Unknown, Path(), now.unknown};
    // Asked about before anything is read from it.
    if (link.news != DiskNews::Nothing)
        return toldBefore() ? Look{} : link;
    const DiskLook look = changeSince(m_state, m_path, &m_state, &now);
    if (look.change == DiskChange::None || toldBefore())
        return {};
    switch (look.change) {
    case DiskChange::Deleted:
        return {DiskNews::Deleted, Path(), 0};
    case DiskChange::Unreadable:
        return {DiskNews::Unreadable, Path(), look.error};
    default:
        return {DiskNews::Changed, Path(), 0};
    }
}
