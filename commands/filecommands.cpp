#include "filecommands.h"

#include "filedialog.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "runtimeservices.h"
#include "texts.h"

#include <QFileInfo>

namespace {
const QString kFilter = QStringLiteral("*.txt (Textfiles)|*.txt");

// Shows a load or save as long work while it lasts.
class Work {
public:
    Work(RuntimeServices &services, const QString &what) : m_services(services)
    {
        m_services.beginWork(what);
    }
    ~Work() { m_services.endWork(); }
    Work(const Work &) = delete;
    Work &operator=(const Work &) = delete;

    // Progress of step index of count steps, each as long as the others.
    ProgressSink step(int index = 0, int count = 1) const
    {
        return [this, index, count](qint64 done, qint64 total) {
            constexpr qint64 kScale = 1000000;
            const qint64 within = total > 0 ? done * kScale / total : 0;
            m_services.workProgress((index * kScale + within) / count, kScale);
        };
    }

private:
    RuntimeServices &m_services;
};

// A command under way: the check for another program's change waits.
class Busy {
public:
    explicit Busy(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~Busy() { m_flag = m_was; }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    bool &m_flag;
    bool m_was;
};
} // namespace

FileCommands::FileCommands(NewsDocument &document, FileDialog &dialog, RuntimeServices &services)
    : m_document(document), m_dialog(dialog), m_services(services)
{
}

QString FileCommands::loadErrorText()
{
    return tr(Texts::kLoadError);
}

QString FileCommands::actionExit()
{
    return tr("exiting the application");
}

QString FileCommands::actionOpen()
{
    return tr("opening a new file");
}

bool FileCommands::SecuritySave(const QString &action)
{
    const QString prompt = tr("Would you like to save your changes before %1?").arg(action);
    switch (m_services.askYesNo(prompt, tr("SecureSave"))) {
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
    if (m_dialog.FileName.isEmpty())
        return SaveAs();
    return writeFile(m_dialog.FileName);
}

FileCommands::SaveOutcome FileCommands::SaveAs()
{
    const Busy busy(m_busy);
    const QString current = m_dialog.FileName;
    prepareDialog(tr("Save text file"), FileDialog::OverwritePrompt);
    if (!m_dialog.ShowSave())
        return SaveOutcome::NotChosen;
    // The chosen file becomes the current one only once the text is in it:
    // after a failed write Ctrl+S goes on saving where it did before.
    const QString chosen = m_dialog.FileName;
    m_dialog.FileName = current;
    const SaveOutcome outcome = writeFile(chosen);
    if (outcome == SaveOutcome::Saved)
        m_dialog.FileName = chosen;
    return outcome;
}

FileCommands::SaveOutcome FileCommands::writeFile(const QString &path)
{
    QByteArray bytes;
    FileResult written;
    FileState state;
    // Another program's change is never written over unasked.
    if (!mayWriteOver(path))
        return SaveOutcome::NotChosen;
    {
        const Work work(m_services, tr("Saving %1").arg(path));
        const QString text = m_document.host().textForSave(work.step(0, 2));
        written = WriteNewsFile(path, text, m_document.codePage(), &bytes, work.step(1, 2), &state,
                                m_document.savedBytes());
    }
    if (!written) {
        m_services.showSaveFailure(path, written.error);
        return SaveOutcome::Failed;
    }
    // Bytes that decode to other characters (a letter stored decomposed) are
    // not the text as it stands.
    if (bytes.isEmpty())
        m_document.MarkClean();
    else
        m_document.MarkClean(bytes);
    remember(path, state);
    return SaveOutcome::Saved;
}

void FileCommands::prepareDialog(const QString &title, int flags)
{
    m_dialog.InitDir = m_services.currentDir();
    m_dialog.Filter = kFilter;
    m_dialog.DialogTitle = title;
    m_dialog.Flags = flags;
}

void FileCommands::Load()
{
    const Busy busy(m_busy);
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    prepareDialog(tr("Open text file"), FileDialog::HideReadOnly);
    // A cancelled dialog leaves the text, its undo history and the current
    // file as they were; the text is emptied only once a file was chosen.
    if (!m_dialog.ShowOpen())
        return;
    loadCurrentFile();
}

void FileCommands::OpenFile(const QString &path)
{
    const Busy busy(m_busy);
    m_dialog.FileName = QFileInfo(path).absoluteFilePath();
    // A file that is not there yet: an empty text, which Ctrl+S creates.
    if (!QFileInfo::exists(m_dialog.FileName)) {
        remember(m_dialog.FileName, FileState::absent());
        return;
    }
    loadCurrentFile();
}

void FileCommands::loadCurrentFile()
{
    m_document.host().setText(QString());
    if (const auto loaded = readIntoText(m_dialog.FileName))
        finishLoad(*loaded);
}

void FileCommands::LoadDropped(const QString &path)
{
    const Busy busy(m_busy);
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    const auto loaded = readIntoText(path);
    if (!loaded)
        return;
    m_dialog.FileName = path;
    finishLoad(*loaded);
}

FileCommands::Drop FileCommands::whatDropDoes(const QList<QUrl> &urls, QString *path)
{
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return Drop::Text;
    const QString local = urls.first().toLocalFile();
    if (QFileInfo(local).isDir())
        return Drop::Nothing;
    if (path)
        *path = local;
    return Drop::File;
}

void FileCommands::Quickload()
{
    const Busy busy(m_busy);
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    const QString path = QuickFilePath(m_services.currentDir());
    const auto loaded = readIntoText(path);
    if (!loaded)
        return;
    // Only a file read to its end becomes the current file.
    m_dialog.FileName = path;
    finishLoad(*loaded);
}

// Reads the file into the emptied text while LoadingFile holds; the file's
// bytes, or nothing when it could not be read and the text says so instead.
std::optional<FileCommands::Loaded> FileCommands::readIntoText(const QString &path)
{
    m_document.setLoadingFile(true);
    Loaded loaded;
    FileResult read;
    {
        const Work work(m_services, tr("Loading %1").arg(path));
        DocumentHost &host = m_document.host();
        read = ReadNewsFile(
            path, m_document.codePage(), [&host](const QString &slice) { host.appendText(slice); },
            loaded.bytes, work.step(), availableMemory(), &loaded.state);
    }
    if (read)
        return loaded;
    // Written while LoadingFile still holds, so a file that cannot be read does
    // not count the message as an edit. The read closed the file.
    m_document.host().setText(loadErrorText());
    m_document.setLoadingFile(false);
    // Whatever is there now was never read here: nothing is written over it
    // unasked.
    if (sameFile(path, m_dialog.FileName))
        remember(path, FileState::absent());
    return std::nullopt;
}

void FileCommands::finishLoad(const Loaded &loaded)
{
    m_document.setLoadingFile(false);
    m_document.MarkClean(loaded.bytes);
    remember(m_dialog.FileName, loaded.state);
}

void FileCommands::remember(const QString &path, const FileState &state)
{
    m_diskPath = path;
    m_disk = state;
    m_told.reset();
}

bool FileCommands::sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QFileInfo first(a), second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

bool FileCommands::mayWriteOver(const QString &path)
{
    if (!sameFile(path, m_diskPath) || changeSince(m_disk, path, &m_disk) != DiskChange::Changed)
        return true;
    if (m_services.askSaveOver(path) == RuntimeServices::Answer::Yes)
        return true;
    // Asked now: the next activation does not ask again about this change.
    m_told = FileState::look(path);
    return false;
}

void FileCommands::checkFileOnDisk()
{
    if (m_busy || m_diskPath.isEmpty() || !sameFile(m_diskPath, m_dialog.FileName))
        return;
    const DiskChange change = changeSince(m_disk, m_diskPath, &m_disk);
    if (change == DiskChange::None)
        return;
    // Once for each change.
    const FileState now = FileState::look(m_diskPath);
    if (m_told && m_told->present == now.present && m_told->sameIdentityAndTimes(now))
        return;
    m_told = now;
    const Busy busy(m_busy);
    if (change == DiskChange::Deleted) {
        m_services.tellDeleted(m_diskPath);
        return;
    }
    // Clean text is reloaded at once; unsaved text only when the writer says so.
    if (m_document.Unsaved() && m_services.askReload(m_diskPath) != RuntimeServices::Answer::Yes)
        return;
    loadCurrentFile();
}

void FileCommands::Exit()
{
    const Busy busy(m_busy);
    if (!mayClose())
        return;
    m_services.endProgram();
}

bool FileCommands::mayClose()
{
    return !m_document.Unsaved() || SecuritySave(actionExit());
}
