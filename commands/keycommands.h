#pragma once

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

// The keys the shortcuts use, whatever the window system calls them; Other
// for every other key.
enum class Key { Other, S, L, E, F, H, Y, F3 };

// The modifier keys held with a key (a keypad key is no modifier here).
struct KeyModifiers {
    bool control = false;
    bool shift = false;
    bool alt = false;
    bool meta = false; // the Windows or Super key
};

// Ctrl+S, Ctrl+L, Ctrl+E, Ctrl+F, Ctrl+H and Ctrl+Y with Ctrl alone held (no
// Shift, Alt or Meta); F3 and Shift+F3.
KeyCommand commandForKey(Key key, KeyModifiers held);
