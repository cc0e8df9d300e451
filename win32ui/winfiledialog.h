#pragma once

#include "filedialog.h"

#include <windows.h>

// The system's Open and Save As dialogs. The current file is offered: its
// folder and its name in the name field, so that Enter saves to it.
class WinFileDialog : public FileDialog {
public:
    explicit WinFileDialog(HWND owner = nullptr) : m_owner(owner) {}
    void setOwner(HWND owner) { m_owner = owner; }

    bool ShowOpen() override { return show(false); }
    bool ShowSave() override { return show(true); }

private:
    bool show(bool save);
    HWND m_owner;
};
