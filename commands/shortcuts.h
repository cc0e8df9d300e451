#pragma once

#include "keycommands.h"

#include <functional>

class FileCommands;

// What a window does for the shortcuts that are not file commands.
struct WindowShortcuts {
    std::function<void(bool replacing)> find;     // Ctrl+F, Ctrl+H
    std::function<void(bool backward)> findAgain; // F3, Shift+F3
    // Ctrl+Y: true when the window took it; false leaves the key to the
    // focused control.
    std::function<bool()> redo;
};

// Runs the command of a shortcut; false when it is none, or a key the
// window leaves to the focused control.
bool runShortcut(KeyCommand command, FileCommands &commands, const WindowShortcuts &window);
