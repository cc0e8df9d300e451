#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

// The text of a window or control, as it holds it (an edit control's with
// CR LF line ends).
inline std::u16string controlText(HWND control)
{
    std::u16string text(std::size_t(GetWindowTextLengthW(control)), u'\0');
    const int got =
        GetWindowTextW(control, reinterpret_cast<wchar_t *>(text.data()), int(text.size() + 1));
    text.resize(std::size_t(std::max(got, 0)));
    return text;
}

// An edit control's selection: from start to end, equal where there is none.
struct Selection {
    DWORD start = 0, end = 0;
};

inline Selection selectionOf(HWND edit)
{
    Selection s;
    SendMessageW(edit, EM_GETSEL, WPARAM(&s.start), LPARAM(&s.end));
    return s;
}
