#include "filecommands.h"

#include "failurewords.h"
#include "filedialog.h"
#include "filename.h"
#include "filewriting.h"
#include "messages.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "runtimeservices.h"
#include "unicode.h"
#include "work.h"

#include <algorithm>

namespace {
constexpr std::u16string_view kFilter = u"*.txt (Textfiles)|*.txt";
} // namespace

FileCommands::FileCommands(NewsDocument &document, FileDialog &dialog, RuntimeServices &services)
    : m_document(document), m_dialog(dialog), m_services(services), m_file(dialog.FileName)
{
}

std::u16string FileCommands::loadErrorText()
{
    return say(Message::LoadError);
}

std::u16string FileCommands::actionExit()
{
    return say(Message::ActionExit);
}

std::u16string FileCommands::actionOpen()
{
    return say(Message::ActionOpen);
}

bool FileCommands::SecuritySave(std::u16string_view action)
{
    switch (m_services.askYesNo(say(Message::SaveChangesBefore, {action}),
                                say(Message::SaveChangesTitle))) {
    case RuntimeServices::Answer::No:
        return true;
    case RuntimeServices::Answer::Cancel:
        // Escape or the frame's close button means "not now", never "throw it away".
        return false;
    case RuntimeServices::Answer::Yes:
        break;
    }
    // Text the user asked to keep is never thrown away: a save that fails or
    // writes nothing stops the command that asked.
    return Quicksave() == SaveOutcome::Saved;
}

FileCommands::SaveOutcome FileCommands::Quicksave()
{
    const Busy busy(m_busy);
    if (m_file.name().empty())
        return SaveAs();
    std::optional<Prepared> prepared = prepareSave(shownName(m_file.name()));
    return prepared ? writeFile(m_file.name(), *prepared) : SaveOutcome::Failed;
}

FileCommands::SaveOutcome FileCommands::SaveAs()
{
    const Busy busy(m_busy);
    // Text that cannot be stored is refused before a name is asked for.
    std::optional<Prepared> prepared = prepareSave(say(Message::ActionNewFile));
    if (!prepared)
        return SaveOutcome::Failed;
    prepared->work.reset();
    prepareDialog(say(Message::SaveDialogTitle), FileDialog::OverwritePrompt);
    if (!m_dialog.ShowSave())
        return SaveOutcome::NotChosen;
    // The chosen file becomes the current one only once the text is in it:
    // after a failed write Ctrl+S goes on saving where it did before.
    return writeFile(m_file.takeChosen(), *prepared);
}

std::optional<FileCommands::Prepared> FileCommands::prepareSave(std::u16string_view path)
{
    Prepared prepared;
    prepared.work = std::make_unique<Work>(m_services, say(Message::Saving, {path}));
    prepared.text = m_document.textForSave(prepared.work->step(0, 3));
    // Shown composed only once the save went through: a failed one changes
    // nothing on screen.
    prepared.composed = m_document.composeForSave(prepared.text);
    NewsBytes encoded = EncodeNewsText(prepared.text.view(), m_document.codePage(),
                                       prepared.work->step(1, 3), m_document.savedBytes());
    if (encoded) {
        prepared.bytes = std::move(encoded.bytes);
        prepared.exact = encoded.exact;
        return prepared;
    }
    prepared.work.reset();
    m_services.showSaveFailure(path, failureWords(encoded.result));
    // What another program did to the current file meanwhile is asked about
    // at the next save, not as soon as the window is active again.
    if (!m_file.name().empty())
        m_file.told(m_file.name());
    showUnstorable(prepared.text.view(), encoded.result.unstorable);
    return std::nullopt;
}

FileCommands::SaveOutcome FileCommands::writeFile(const Path &path, Prepared &prepared)
{
    // Another program's change is never written over unasked.
    switch (mayWriteOver(path, prepared.work)) {
    case Write::Yes:
        break;
    case Write::No:
        return SaveOutcome::NotChosen;
    case Write::Failed:
        return SaveOutcome::Failed;
    }
    const std::u16string shown = shownName(path);
    if (!prepared.work)
        prepared.work = std::make_unique<Work>(m_services, say(Message::Saving, {shown}));
    std::optional<FileState> state;
    const FileResult written =
        writeFileBytes(path, prepared.bytes, prepared.work->step(2, 3), &state);
    prepared.work.reset();
    if (!written) {
        m_file.saveFailed(path, state);
        m_services.showSaveFailure(shown, failureWords(written));
        // Told now: the next activation does not tell of the same state again.
        m_file.told(path);
        return SaveOutcome::Failed;
    }
    m_document.showComposed(prepared.composed);
    // Bytes that decode to other characters (a letter stored decomposed) are
    // not the text as it stands.
    if (prepared.exact && !prepared.bytes.empty())
        m_document.MarkClean(std::move(prepared.bytes));
    else
        m_document.MarkClean();
    m_file.adopt(path, state.value_or(FileState::absent()));
    // Said, so that a screen reader says it too.
    m_services.tell(say(Message::SavedTo, {shownName(path.filename())}));
    return SaveOutcome::Saved;
}

void FileCommands::showUnstorable(std::u16string_view text,
                                  const std::vector<std::ptrdiff_t> &where)
{
    if (where.empty())
        return;
    // The first at or after the caret; after one of them, the next, so that
    // each refused save shows the writer another (also when the one shown
    // was deleted meanwhile).
    const DocumentHost::Span selected = m_document.selectedSpan();
    const bool onOne = std::binary_search(where.cbegin(), where.cend(), selected.start);
    const std::ptrdiff_t from = selected.start + (onOne ? 1 : 0);
    const auto next = std::lower_bound(where.cbegin(), where.cend(), from);
    const std::ptrdiff_t at = next == where.cend() ? where.front() : *next;
    const bool pair =
        unicode::isHighSurrogate(text[std::size_t(at)]) && std::size_t(at) + 1 < text.size();
    m_document.selectSpan({at, pair ? 2 : 1});
}

void FileCommands::prepareDialog(std::u16string_view title, int flags)
{
    m_dialog.InitDir = m_services.currentDir();
    m_dialog.Filter = kFilter;
    m_dialog.DialogTitle = std::u16string(title);
    m_dialog.Flags = flags;
}

void FileCommands::Load()
{
    const Busy busy(m_busy);
    if (textAtRisk() && !SecuritySave(actionOpen()))
        return;
    prepareDialog(say(Message::OpenDialogTitle), FileDialog::HideReadOnly);
    // A cancelled dialog leaves the text, its undo history and the current
    // file as they were; the text is emptied only once a file was chosen.
    if (!m_dialog.ShowOpen())
        return;
    loadFile(m_file.takeChosen());
}

void FileCommands::OpenFile(const Path &path)
{
    const Busy busy(m_busy);
    // The name every message shows, and the one a save writes to.
    const Path absolute = cleanName(path);
    // A file that is not there yet: an empty text, which Ctrl+S creates.
    // (A link that leads nowhere yet: the save creates the file it names.)
    if (const FileState state = FileState::look(absolute); !state.present && !state.unknown) {
        m_file.adopt(absolute, state);
        return;
    }
    loadFile(absolute);
}

void FileCommands::OpenUnnamable(const Path &name)
{
    const Busy busy(m_busy);
    m_document.beginLoad();
    m_document.failLoad(loadErrorText());
    m_services.showLoadFailure(shownName(name), say(Message::NameNotValid));
}

void FileCommands::loadFile(const Path &path)
{
    m_document.setText({});
    // Its name becomes the current one also when it cannot be read.
    if (auto loaded = readIntoText(path))
        finishLoad(path, std::move(loaded));
    else
        m_file.adoptUnread(path);
}

void FileCommands::LoadDropped(const Path &path)
{
    const Busy busy(m_busy);
    if (textAtRisk() && !SecuritySave(actionOpen()))
        return;
    m_document.setText({});
    if (auto loaded = readIntoText(path))
        finishLoad(path, std::move(loaded));
}

void FileCommands::Quickload()
{
    const Busy busy(m_busy);
    if (textAtRisk() && !SecuritySave(actionOpen()))
        return;
    m_document.setText({});
    const Path path = QuickFilePath(m_services.currentDir());
    // Only a file read to its end becomes the current file.
    if (auto loaded = readIntoText(path))
        finishLoad(path, std::move(loaded));
}

// Reads the file into the emptied text; when it could not be read, the text
// says so instead.
NewsRead FileCommands::readIntoText(const Path &path)
{
    m_document.beginLoad();
    NewsRead loaded;
    {
        const Work work(m_services, say(Message::Loading, {shownName(path)}));
        NewsDocument &document = m_document;
        loaded = ReadNewsFile(
            path, m_document.codePage(),
            [&document](std::u16string_view slice) { document.appendText(slice); }, work.step());
    }
    if (!loaded) {
        m_document.failLoad(loadErrorText());
        // Whatever is there now was never read here: nothing is written over
        // it unasked.
        m_file.readFailed(path);
    }
    return loaded;
}

void FileCommands::finishLoad(const Path &path, NewsRead &&loaded)
{
    m_document.finishLoad(std::move(loaded.bytes));
    m_file.adopt(path, loaded.state);
}

void FileCommands::Exit()
{
    const Busy busy(m_busy);
    if (!mayClose())
        return;
    m_services.endProgram();
}

bool FileCommands::textAtRisk()
{
    return m_document.Unsaved() || m_file.onlyOnScreen();
}

bool FileCommands::mayClose()
{
    return !textAtRisk() || SecuritySave(actionExit());
}
