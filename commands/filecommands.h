#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <optional>

class FileDialog;
class NewsDocument;
class RuntimeServices;

// The user's file commands: Load, Save as, Quickload, Quicksave and Exit, and
// the prompt that offers to save unsaved text before it is thrown away.
class FileCommands {
    Q_DECLARE_TR_FUNCTIONS(FileCommands)

public:
    enum class SaveOutcome { Saved, NotChosen, Failed };

    FileCommands(NewsDocument &document, FileDialog &dialog, RuntimeServices &services);

    // Asks whether to save before action ("exiting the application", ...).
    // True when the calling command may go on: the user said No, or the save
    // went through. A prompt closed without an answer stops the command.
    bool SecuritySave(const QString &action);
    SaveOutcome Quicksave();
    void Quickload();
    void Load();          // cmd_Open
    SaveOutcome SaveAs(); // cmd_Save
    void Exit();          // cmd_Exit
    // The window is being closed by its frame or by the desktop session.
    bool mayClose();
    // Opens a file dropped on the window, as Load opens a chosen one; it
    // becomes the current file only once it was read completely.
    void LoadDropped(const QString &path);

    // What a drop of these URLs does: opens the first one when it is a local
    // file (path receives it), does nothing for a local folder, and is text
    // otherwise.
    enum class Drop { File, Nothing, Text };
    static Drop whatDropDoes(const QList<QUrl> &urls, QString *path);

    static QString loadErrorText();
    static QString actionExit();
    static QString actionOpen();

private:
    SaveOutcome writeFile(const QString &path);
    void prepareDialog(const QString &title, int flags);
    std::optional<QByteArray> readIntoText(const QString &path);
    void finishLoad(const QByteArray &fileBytes);

    NewsDocument &m_document;
    FileDialog &m_dialog;
    RuntimeServices &m_services;
};
