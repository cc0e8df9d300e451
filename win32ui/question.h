#pragma once

#include <windows.h>

#include <string>

// A modal question with two buttons, of our own: the system's message box
// has no way to be dismissed without an answer unless it has a third
// button. Escape and the close box dismiss this one.
struct QuestionBox {
    enum Answer { First, Second, Dismissed };

    std::u16string title;
    std::u16string text;
    std::u16string first;  // the left button
    std::u16string second; // the right one
    bool firstIsDefault = true;
    bool warning = false; // a warning icon beside the text

    Answer ask(HINSTANCE instance, HWND owner) const;
};
