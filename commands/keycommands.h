#pragma once

#include <Qt>

// The window's keyboard shortcuts, seen before the focused control.
enum class KeyCommand { None, Quicksave, Quickload, Exit, Find, Replace, FindNext, FindPrevious };

// Ctrl+S, Ctrl+L, Ctrl+E, Ctrl+F and Ctrl+H with Ctrl alone held (no Shift,
// Alt or Meta); F3 and Shift+F3.
KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers);
