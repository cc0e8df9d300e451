#pragma once

#include <QString>

// The file dialog the commands use. Its FileName is the current file name: the
// file Quicksave writes to. It is empty at start and keeps its value between
// uses; a cancelled dialog empties it.
class FileDialog {
public:
    enum Flag { OverwritePrompt = 2, HideReadOnly = 4 };

    virtual ~FileDialog() = default;

    QString FileName;
    QString DialogTitle;
    QString Filter; // "description|pattern"
    QString InitDir;
    int Flags = 0;

    // Modal. Afterwards FileName holds the chosen file, or is empty when the
    // user cancelled.
    virtual void ShowOpen() = 0;
    virtual void ShowSave() = 0;
};
