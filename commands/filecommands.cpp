#include "filecommands.h"

#include "filedialog.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "runtimeservices.h"

namespace {
const QString kFilter = QStringLiteral("*.txt (Textfiles)|*.txt");
}

FileCommands::FileCommands(NewsDocument &document, FileDialog &dialog, RuntimeServices &services)
    : m_document(document), m_dialog(dialog), m_services(services)
{
}

QString FileCommands::loadErrorText()
{
    return tr("Error while opening file");
}

QString FileCommands::actionExit()
{
    return tr("exiting the application");
}

QString FileCommands::actionOpen()
{
    return tr("opening a new file");
}

bool FileCommands::SecuritySave(const QString &Action)
{
    const QString prompt = tr("Would you like to save your changes before ") + Action + u'?';
    switch (m_services.AskYesNo(prompt, tr("SecureSave"))) {
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
    return writeCurrentFile();
}

FileCommands::SaveOutcome FileCommands::SaveAs()
{
    prepareDialog(tr("Save text file"), FileDialog::OverwritePrompt);
    m_dialog.ShowSave();
    if (m_dialog.FileName.isEmpty())
        return SaveOutcome::NotChosen;
    return writeCurrentFile();
}

FileCommands::SaveOutcome FileCommands::writeCurrentFile()
{
    const QString text = m_document.host().text();
    QByteArray bytes;
    const FileResult written = WriteNewsFile(m_dialog.FileName, text, &bytes);
    if (!written) {
        m_services.ShowSaveFailure(m_dialog.FileName, written.error);
        return SaveOutcome::Failed;
    }
    m_document.noteTextIsFileBytes(bytes);
    m_document.MarkClean();
    return SaveOutcome::Saved;
}

void FileCommands::prepareDialog(const QString &title, int flags)
{
    m_dialog.InitDir = m_services.CurrentDir();
    m_dialog.Filter = kFilter;
    m_dialog.DialogTitle = title;
    m_dialog.Flags = flags;
}

void FileCommands::Load()
{
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    prepareDialog(tr("Open text file"), FileDialog::HideReadOnly);
    m_dialog.ShowOpen();
    if (m_dialog.FileName.isEmpty())
        return;
    m_document.setLoadingFile(true);
    if (!ReadNewsFile(m_dialog.FileName, m_document)) {
        loadFailed();
        return;
    }
    m_document.setLoadingFile(false);
    m_document.MarkClean();
}

void FileCommands::Quickload()
{
    if (m_document.Unsaved() && !SecuritySave(actionOpen()))
        return;
    m_document.host().setText(QString());
    const QString path = QuickFilePath(m_services.CurrentDir());
    m_document.setLoadingFile(true);
    if (!ReadNewsFile(path, m_document)) {
        loadFailed();
        return;
    }
    // Only a file read to its end becomes the current file.
    m_dialog.FileName = path;
    m_document.setLoadingFile(false);
    m_document.MarkClean();
}

void FileCommands::loadFailed()
{
    // Written while LoadingFile still holds what it held when the load failed,
    // so a file that cannot be read does not count the message as an edit.
    // The file was closed by the read that failed.
    m_document.host().setText(loadErrorText());
    m_document.setLoadingFile(false);
}

void FileCommands::Exit()
{
    if (!MayClose())
        return;
    m_services.EndProgram();
}

bool FileCommands::MayClose()
{
    return !m_document.Unsaved() || SecuritySave(actionExit());
}
