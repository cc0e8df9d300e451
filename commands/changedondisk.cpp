// What the file commands do about another program's change to the current
// file: the look at activation, the reload, the question before a save.
// What is remembered of the file, and what counts as a change, is DiskRecord's.
#include "filecommands.h"

#include "filedialog.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "runtimeservices.h"
#include "work.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

void FileCommands::checkFileOnDisk()
{
    if (m_busy)
        return;
    int error = 0;
    QString linkTarget;
    const DiskRecord::Tell tell = m_disk.sinceLastLook(m_dialog.FileName, &error, &linkTarget);
    if (tell == DiskRecord::Tell::Nothing)
        return;
    const Busy busy(m_busy);
    const QString file = QFileInfo(m_disk.path()).fileName();
    switch (tell) {
    case DiskRecord::Tell::Deleted:
        m_onlyOnScreen = true;
        m_services.tellDeleted(m_disk.path());
        return;
    case DiskRecord::Tell::Unreadable:
    case DiskRecord::Tell::Unknown:
        // Whether it still holds the text shown cannot be known: the text is
        // offered for saving before it goes.
        m_onlyOnScreen = true;
        m_services.tellNotReloaded(notReloadedText(m_disk.path(), FileResult::system(error)));
        return;
    case DiskRecord::Tell::NowLink:
        // Nothing is read from where the link leads unless the writer says so.
        if (m_services.askReloadFromLink(m_disk.path(), linkTarget, m_document.Unsaved()) !=
            RuntimeServices::Answer::Yes)
            return;
        reloadWhereTheWriterWas(linkTarget, tr("Reloaded from %1, which is now a link to %2.")
                                                .arg(file, QDir::toNativeSeparators(linkTarget)));
        return;
    default:
        break;
    }
    // Clean text is reloaded at once; unsaved text only when the writer says
    // so, and not asked about when what is there now is no file to read.
    if (m_document.Unsaved() && FileState::look(m_disk.path()).regular &&
        m_services.askReload(m_disk.path()) != RuntimeServices::Answer::Yes)
        return;
    reloadWhereTheWriterWas(QString(),
                            tr("Reloaded from %1, which another program changed.").arg(file));
}

void FileCommands::reloadWhereTheWriterWas(const QString &linkTarget, const QString &notice)
{
    const DocumentHost::Place place = m_document.writerPlace();
    if (reload(linkTarget)) {
        m_document.setWriterPlace(place);
        m_services.tell(notice);
    }
}

FileCommands::Write FileCommands::mayWriteOver(const QString &path, std::optional<Work> &work)
{
    QString linkTarget;
    int error = 0;
    RuntimeServices::SaveOver why = RuntimeServices::SaveOver::Changed;
    const DiskRecord::Ask ask = m_disk.beforeSave(path, &linkTarget, &error);
    if (ask == DiskRecord::Ask::Nothing)
        return Write::Yes;
    // Nothing is asked or told over the work's progress.
    work.reset();
    switch (ask) {
    case DiskRecord::Ask::Nothing:
        break;
    case DiskRecord::Ask::Unknown:
        // Not knowing whether another program changed it, write nothing.
        m_services.showSaveFailure(path, FileResult::system(error).error);
        m_disk.told(path);
        return Write::Failed;
    case DiskRecord::Ask::Unreadable:
        why = RuntimeServices::SaveOver::Unreadable;
        linkTarget = FileResult::system(error).error;
        break;
    case DiskRecord::Ask::Changed:
        why = RuntimeServices::SaveOver::Changed;
        break;
    case DiskRecord::Ask::NotRead:
        why = RuntimeServices::SaveOver::NotRead;
        break;
    case DiskRecord::Ask::NowLink:
        why = RuntimeServices::SaveOver::NowLink;
        break;
    case DiskRecord::Ask::Created:
        why = RuntimeServices::SaveOver::Created;
        break;
    }
    const bool saveOver =
        m_services.askSaveOver(path, why, linkTarget) == RuntimeServices::Answer::Yes;
    // Asked now: the next activation does not tell of this change again,
    // also when the save that follows fails.
    m_disk.told(path);
    return saveOver ? Write::Yes : Write::No;
}

// Reads and decodes the whole file before the text is touched: a file that
// cannot be read leaves the text, its undo history and the mark as they were.
// A name that became a link is read only where the writer agreed it leads
// (linkTarget); one that became a link meanwhile is left for the next look.
bool FileCommands::reload(const QString &linkTarget)
{
    const QString path = m_dialog.FileName;
    Loaded loaded;
    FileResult read;
    {
        const Work work(m_services, tr("Loading %1").arg(path));
        // The text shown stays until the new one is whole: count it too.
        const qint64 available = availableMemory();
        const qint64 kept = m_document.textLength() * kBytesPerKeptChar;
        QStringList slices;
        read = ReadNewsFile(
            path, m_document.codePage(), [&slices](const QString &slice) { slices.append(slice); },
            loaded.bytes, work.step(0, 2),
            available < 0 ? available : std::max<qint64>(0, available - kept), &loaded.state);
        if (int error = 0; read && !m_disk.leadsWhereAgreed(path, linkTarget, &error)) {
            if (!error)
                return false;
            read = FileResult::system(error);
        }
        if (read) {
            m_document.beginLoad();
            m_document.setText(QString());
            const ProgressSink filled = work.step(1, 2);
            for (qsizetype i = 0; i < slices.size(); ++i) {
                m_document.appendText(std::exchange(slices[i], QString()));
                filled(i + 1, slices.size());
            }
        }
    }
    if (!read) {
        // The file no longer holds the text shown: it is offered for saving
        // before it is thrown away.
        m_onlyOnScreen = true;
        m_services.tellNotReloaded(notReloadedText(path, read));
        return false;
    }
    finishLoad(loaded);
    return true;
}

QString FileCommands::notReloadedText(const QString &path, const FileResult &read)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (read.kind) {
    case FileResult::Kind::Folder:
        return tr("%1 is now a folder.").arg(file);
    case FileResult::Kind::NotRegular:
        return tr("%1 is now a pipe or a device, not a file.").arg(file);
    case FileResult::Kind::TooLarge:
        return tr("%1 is now too large to be held in memory beside the text shown here.").arg(file);
    default:
        return tr("%1 cannot be read: %2").arg(file, read.error);
    }
}
