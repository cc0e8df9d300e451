#pragma once

#include <filesystem>
#include <string>

// The file dialog the commands use. Its FileName is the current file name: the
// file Quicksave writes to. It is empty at start and keeps its value between
// uses; a cancelled dialog leaves it as it was.
class FileDialog {
public:
    enum Flag { OverwritePrompt = 2, HideReadOnly = 4 };

    virtual ~FileDialog() = default;

    std::filesystem::path FileName;
    std::u16string DialogTitle;
    std::u16string Filter; // "description|pattern"
    std::filesystem::path InitDir;
    int Flags = 0;

    // Modal. True when the user chose a file, which FileName then holds;
    // false when the dialog was cancelled or closed, and FileName is unchanged.
    virtual bool ShowOpen() = 0;
    virtual bool ShowSave() = 0;
};
