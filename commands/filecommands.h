#pragma once

#include "currentfile.h"
#include "documenthost.h"
#include "fileresult.h"
#include "filestate.h"
#include "newsfile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class FileDialog;
class Work;
class NewsDocument;
class RuntimeServices;

// The user's file commands: Load, Save as, Quickload, Quicksave and Exit, and
// the prompt that offers to save unsaved text before it is thrown away.
class FileCommands {
public:
    enum class SaveOutcome { Saved, NotChosen, Failed };
    using Path = std::filesystem::path;

    FileCommands(NewsDocument &document, FileDialog &dialog, RuntimeServices &services);

    // Asks whether to save before action ("exiting the application", ...).
    // True when the calling command may go on: the user said No, or the save
    // went through. A prompt closed without an answer stops the command.
    bool SecuritySave(std::u16string_view action);
    SaveOutcome Quicksave();
    void Quickload();
    void Load();          // cmd_Open
    SaveOutcome SaveAs(); // cmd_Save
    void Exit();          // cmd_Exit
    // The window is being closed by its frame or by the desktop session.
    bool mayClose();
    // Opens a file dropped on the window, as Load opens a chosen one; it
    // becomes the current file only once it was read completely.
    void LoadDropped(const Path &path);
    // Opens a file named when the program started (heraldpad FILE) as Load
    // opens a chosen one; a file not there yet is an empty text to save there.
    void OpenFile(const Path &path);
    // A file was named whose name is not valid in the system's character
    // set: it cannot be opened or saved by that name. The text says the load
    // failed, the writer is told why, and Ctrl+S asks for a name.
    void OpenUnnamable(const Path &name);
    // The window was activated: tells once of each change another program
    // made to the current file, and reloads it where the writer agrees.
    void checkFileOnDisk();
    // Unsaved, or in no file any more (its file deleted or replaced by what
    // cannot be read, told or not yet): offered for saving before it goes.
    bool textAtRisk();
    // A command, its dialogs or its progress are under way.
    bool busy() const { return m_busy; }

    static std::u16string loadErrorText();
    static std::u16string actionExit();
    static std::u16string actionOpen();

private:
    // A save's text as the file is to hold it, worked out before anything is
    // asked; its progress goes on until the write is done or a question comes.
    struct Prepared {
        HeldText text;
        std::vector<CodePage::Composed> composed; // shown once the save went through
        std::string bytes;
        bool exact = true; // the bytes decode to the very text
        std::unique_ptr<Work> work;
    };
    // Nothing, after telling why, when the code page cannot store the text
    // (path names the save in the message).
    std::optional<Prepared> prepareSave(std::u16string_view path);
    SaveOutcome writeFile(const Path &path, Prepared &prepared);
    // After a save refused for characters the code page cannot store (where
    // they are in text): one of them is selected.
    void showUnstorable(std::u16string_view text, const std::vector<std::ptrdiff_t> &where);
    void prepareDialog(std::u16string_view title, int flags);
    void loadFile(const Path &path);
    NewsRead readIntoText(const Path &path);
    void finishLoad(const Path &path, NewsRead &&loaded);

    // Another program's changes (changedondisk.cpp).
    enum class Write { Yes, No, Failed };
    // The work's progress is ended before anything is asked or told.
    Write mayWriteOver(const Path &path, std::unique_ptr<Work> &work);
    bool reload(const Path &linkTarget);
    void reloadWhereTheWriterWas(const Path &linkTarget, std::u16string_view notice);
    static std::u16string notReloadedText(const Path &path, const FileResult &read);

    NewsDocument &m_document;
    FileDialog &m_dialog;
    RuntimeServices &m_services;

    CurrentFile m_file;
    bool m_busy = false;
};
