#pragma once

#include <Qt>

// The window's keyboard shortcuts, seen before the focused control.
enum class KeyCommand {
    None,
    Quicksave,
    Quickload,
    Exit,
    Find,
    Replace,
    FindNext,
    FindPrevious,
    Redo, // of the text area, beside Ctrl+Shift+Z, as on Windows
};

// Ctrl+S, Ctrl+L, Ctrl+E, Ctrl+F, Ctrl+H and Ctrl+Y with Ctrl alone held (no
// Shift, Alt or Meta); F3 and Shift+F3.
KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers);
