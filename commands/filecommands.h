#pragma once

#include <QCoreApplication>
#include <QString>

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

    static QString loadErrorText();
    static QString actionExit();
    static QString actionOpen();

private:
    SaveOutcome writeCurrentFile();
    void prepareDialog(const QString &title, int flags);
    std::optional<QByteArray> readIntoText(const QString &path);
    void finishLoad(const QByteArray &fileBytes);

    NewsDocument &m_document;
    FileDialog &m_dialog;
    RuntimeServices &m_services;
};
