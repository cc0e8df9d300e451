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
    const QString prompt = tr("Would you like to save your changes before ") + action + u'?';
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
    if (m_dialog.FileName.isEmpty())
        return SaveAs();
    return writeFile(m_dialog.FileName);
}

FileCommands::SaveOutcome FileCommands::SaveAs()
{
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
    {
        const Work work(m_services, tr("Saving %1").arg(path));
        const QString text = m_document.host().textForSave(work.step(0, 2));
        written = WriteNewsFile(path, text, m_document.codePage(), &bytes, work.step(1, 2));
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
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    prepareDialog(tr("Open text file"), FileDialog::HideReadOnly);
    // A cancelled dialog leaves the text, its undo history and the current
    // file as they were; the text is emptied only once a file was chosen.
    if (!m_dialog.ShowOpen())
        return;
    m_document.host().setText(QString());
    if (const auto bytes = readIntoText(m_dialog.FileName))
        finishLoad(*bytes);
}

void FileCommands::LoadDropped(const QString &path)
{
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    const auto bytes = readIntoText(path);
    if (!bytes)
        return;
    m_dialog.FileName = path;
    finishLoad(*bytes);
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
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    const QString path = QuickFilePath(m_services.currentDir());
    const auto bytes = readIntoText(path);
    if (!bytes)
        return;
    // Only a file read to its end becomes the current file.
    m_dialog.FileName = path;
    finishLoad(*bytes);
}

// Reads the file into the emptied text while LoadingFile holds; the file's
// bytes, or nothing when it could not be read and the text says so instead.
std::optional<QByteArray> FileCommands::readIntoText(const QString &path)
{
    m_document.setLoadingFile(true);
    QByteArray bytes;
    FileResult read;
    {
        const Work work(m_services, tr("Loading %1").arg(path));
        DocumentHost &host = m_document.host();
        read = ReadNewsFile(
            path, m_document.codePage(), [&host](const QString &slice) { host.appendText(slice); },
            bytes, work.step());
    }
    if (read)
        return bytes;
    // Written while LoadingFile still holds, so a file that cannot be read does
    // not count the message as an edit. The read closed the file.
    m_document.host().setText(loadErrorText());
    m_document.setLoadingFile(false);
    return std::nullopt;
}

void FileCommands::finishLoad(const QByteArray &fileBytes)
{
    m_document.setLoadingFile(false);
    m_document.MarkClean(fileBytes);
}

void FileCommands::Exit()
{
    if (!mayClose())
        return;
    m_services.endProgram();
}

bool FileCommands::mayClose()
{
    return !m_document.Unsaved() || SecuritySave(actionExit());
}
