#pragma once

#include <Qt>

// The window's keyboard shortcuts, seen before the focused control.
enum class KeyCommand { None, Quicksave, Quickload, Exit };

// Ctrl+S, Ctrl+L and Ctrl+E, with Ctrl alone held (no Shift, Alt or Meta).
KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers);
