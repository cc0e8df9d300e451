// What the file commands do about another program's change to the current
// file: the look at activation, the reload, the question before a save.
// What is remembered of the file, and what counts as a change, is CurrentFile's.
#include "filecommands.h"

#include "failurewords.h"
#include "filedialog.h"
#include "filename.h"
#include "messages.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "runtimeservices.h"
#include "work.h"

#include <algorithm>
#include <utility>

namespace {
// Runs a step when the scope ends, however it ends.
template <typename Step> class AtEnd {
public:
    explicit AtEnd(Step step) : m_step(std::move(step)) {}
    ~AtEnd() { m_step(); }
    AtEnd(const AtEnd &) = delete;
    AtEnd &operator=(const AtEnd &) = delete;

private:
    Step m_step;
};
} // namespace

void FileCommands::checkFileOnDisk()
{
    if (m_busy)
        return;
    const CurrentFile::Look look = m_file.sinceLastLook();
    if (look.news == DiskNews::Nothing)
        return;
    const Busy busy(m_busy);
    const Path &path = m_file.name();
    const std::u16string shown = shownName(path);
    const std::u16string file = shownName(path.filename());
    switch (look.news) {
    case DiskNews::Deleted:
        m_file.lost();
        m_services.tellDeleted(shown);
        return;
    case DiskNews::Unreadable:
    case DiskNews::Unknown:
        // Whether it still holds the text shown cannot be known: the text is
        // offered for saving before it goes.
        m_file.lost();
        m_services.tellNotReloaded(notReloadedText(path, FileResult::system(look.error)));
        return;
    case DiskNews::NowLink:
        // Nothing is read from where the link leads unless the writer says so.
        if (m_services.askReloadFromLink(shown, shownName(look.linkTarget), m_document.Unsaved()) !=
            RuntimeServices::Answer::Yes)
            return;
        reloadWhereTheWriterWas(look.linkTarget,
                                say(Message::ReloadedFromLink, {file, shownName(look.linkTarget)}));
        return;
    default:
        break;
    }
    // Clean text is reloaded at once; unsaved text only when the writer says
    // so, and not asked about when what is there now is no file to read.
    if (m_document.Unsaved() && FileState::look(path).regular &&
        m_services.askReload(shown) != RuntimeServices::Answer::Yes)
        return;
    reloadWhereTheWriterWas(Path(), say(Message::ReloadedChanged, {file}));
}

void FileCommands::reloadWhereTheWriterWas(const Path &linkTarget, std::u16string_view notice)
{
    const DocumentHost::Place place = m_document.writerPlace();
    if (reload(linkTarget)) {
        m_document.setWriterPlace(place);
        m_services.tell(notice);
    }
}

FileCommands::Write FileCommands::mayWriteOver(const Path &path, std::unique_ptr<Work> &work)
{
    const CurrentFile::Look look = m_file.beforeSave(path);
    if (look.news == DiskNews::Nothing)
        return Write::Yes;
    // Nothing is asked or told over the work's progress.
    work.reset();
    // Asked or told now: the next activation does not tell of this state
    // again, also when the save that follows fails.
    const AtEnd told([&] { m_file.told(path); });
    const std::u16string shown = shownName(path);
    if (look.news == DiskNews::Unknown) {
        // Not knowing whether another program changed it, write nothing.
        m_services.showSaveFailure(shown, failureWords(FileResult::system(look.error)));
        return Write::Failed;
    }
    const std::u16string detail = look.news == DiskNews::Unreadable
                                      ? failureWords(FileResult::system(look.error))
                                      : shownName(look.linkTarget);
    return m_services.askSaveOver(shown, look.news, detail) == RuntimeServices::Answer::Yes
               ? Write::Yes
               : Write::No;
}

// Reads and decodes the whole file before the text is touched: a file that
// cannot be read leaves the text, its undo history and the mark as they were.
// A name that became a link is read only where the writer agreed it leads
// (linkTarget); one that became a link meanwhile is left for the next look.
bool FileCommands::reload(const Path &linkTarget)
{
    const Path path = m_file.name();
    NewsRead loaded;
    {
        const Work work(m_services, say(Message::Loading, {shownName(path)}));
        // The text shown stays until the new one is whole: count it too.
        const std::int64_t available = availableMemory();
        const std::int64_t kept = m_document.textLength() * kBytesPerKeptChar;
        std::vector<std::u16string> slices;
        loaded = ReadNewsFile(
            path, m_document.codePage(),
            [&slices](std::u16string_view slice) { slices.emplace_back(slice); }, work.step(0, 2),
            available < 0 ? available : std::max<std::int64_t>(0, available - kept));
        if (const CurrentFile::Look lead = m_file.leadsWhereAgreed(path, linkTarget);
            loaded && lead.news != DiskNews::Nothing) {
            if (lead.news != DiskNews::Unknown)
                return false;
            loaded.result = FileResult::system(lead.error);
        }
        if (loaded) {
            m_document.beginLoad();
            m_document.setText({});
            const ProgressSink filled = work.step(1, 2);
            for (std::size_t i = 0; i < slices.size(); ++i) {
                m_document.appendText(std::exchange(slices[i], std::u16string()));
                filled(std::int64_t(i + 1), std::int64_t(slices.size()));
            }
        }
    }
    if (!loaded) {
        // The file no longer holds the text shown: it is offered for saving
        // before it is thrown away.
        m_file.lost();
        m_services.tellNotReloaded(notReloadedText(path, loaded.result));
        return false;
    }
    finishLoad(path, std::move(loaded));
    return true;
}

std::u16string FileCommands::notReloadedText(const Path &path, const FileResult &read)
{
    const std::u16string file = shownName(path);
    switch (read.kind) {
    case FileResult::Kind::Folder:
        return say(Message::NowFolder, {file});
    case FileResult::Kind::NotRegular:
        return say(Message::NowNotRegular, {file});
    case FileResult::Kind::TooLarge:
        return say(Message::NowTooLarge, {file});
    default:
        return say(Message::CannotBeRead, {file, failureWords(read)});
    }
}
