#include "question.h"

#include "resourceids.h"
#include "wide.h"

#include <algorithm>

namespace {
RECT rectOf(HWND dialog, int id)
{
    RECT r{};
    HWND control = GetDlgItem(dialog, id);
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// Sizes the box to its words: the text as tall as it needs at a fixed
// width, the buttons under it, as wide as their captions, at the right.
void fitToWords(HWND dialog, const QuestionBox &q)
{
    RECT units{7, 7, 246, 14}; // margin, gap, text width, button height in dialog units
    MapDialogRect(dialog, &units);
    const int margin = units.left, textWidth = units.right, buttonHeight = units.bottom;
    HWND text = GetDlgItem(dialog, kQuestionTextId);
    HDC dc = GetDC(text);
    HGDIOBJ before = SelectObject(dc, HFONT(SendMessageW(text, WM_GETFONT, 0, 0)));
    const int iconWidth = q.warning ? rectOf(dialog, kQuestionIconId).right : 0;
    RECT needed{0, 0, textWidth - iconWidth, 0};
    DrawTextW(dc, wide(q.text), int(q.text.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    auto buttonWidth = [dc, margin](const std::u16string &caption) {
        RECT r{};
        DrawTextW(dc, wide(caption), int(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        return std::max(int(r.right) + 2 * margin, 8 * margin);
    };
    const int firstWidth = buttonWidth(q.first), secondWidth = buttonWidth(q.second);
    SelectObject(dc, before);
    ReleaseDC(text, dc);

    const int textLeft = margin + (q.warning ? iconWidth : 0);
    const int textHeight = std::max<int>(needed.bottom, q.warning ? 3 * margin : 0);
    // A little room to spare: the box may wrap a hair earlier than it measured.
    needed.right += margin;
    SetWindowPos(text, nullptr, textLeft, margin, needed.right, textHeight, SWP_NOZORDER);
    const int clientWidth =
        std::max<int>(textLeft + needed.right, firstWidth + secondWidth + margin) + margin;
    const int buttonsTop = margin + textHeight + 2 * margin;
    SetWindowPos(GetDlgItem(dialog, IDNO), nullptr, clientWidth - margin - secondWidth, buttonsTop,
                 secondWidth, buttonHeight, SWP_NOZORDER);
    SetWindowPos(GetDlgItem(dialog, IDYES), nullptr,
                 clientWidth - margin - secondWidth - margin / 2 - firstWidth, buttonsTop,
                 firstWidth, buttonHeight, SWP_NOZORDER);
    RECT frame{0, 0, clientWidth, buttonsTop + buttonHeight + margin};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    // Over the middle of the window that asks.
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER) ? GetWindow(dialog, GW_OWNER) : dialog, &owner);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (owner.left + owner.right - width) / 2,
                 (owner.top + owner.bottom - height) / 2, width, height, SWP_NOZORDER);
}

INT_PTR CALLBACK questionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        const auto &q = *reinterpret_cast<const QuestionBox *>(lParam);
        SetWindowTextW(dialog, wide(q.title));
        SetDlgItemTextW(dialog, kQuestionTextId, wide(q.text));
        SetDlgItemTextW(dialog, IDYES, wide(q.first));
        SetDlgItemTextW(dialog, IDNO, wide(q.second));
        HWND icon = GetDlgItem(dialog, kQuestionIconId);
        if (q.warning)
            SendMessageW(icon, STM_SETICON, WPARAM(LoadIconW(nullptr, IDI_WARNING)), 0);
        else
            ShowWindow(icon, SW_HIDE);
        fitToWords(dialog, q);
        const int defaultId = q.firstIsDefault ? IDYES : IDNO;
        SendMessageW(dialog, DM_SETDEFID, WPARAM(defaultId), 0);
        SetFocus(GetDlgItem(dialog, defaultId));
        if (q.warning)
            MessageBeep(MB_ICONWARNING);
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES:
            EndDialog(dialog, QuestionBox::First);
            return TRUE;
        case IDNO:
            EndDialog(dialog, QuestionBox::Second);
            return TRUE;
        case IDCANCEL: // Escape, or the close box
            EndDialog(dialog, QuestionBox::Dismissed);
            return TRUE;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return FALSE;
}
} // namespace

QuestionBox::Answer QuestionBox::ask(HINSTANCE instance, HWND owner) const
{
    const INT_PTR answer = DialogBoxParamW(instance, MAKEINTRESOURCEW(kQuestionDialogId), owner,
                                           questionProc, LPARAM(this));
    return answer == First || answer == Second ? Answer(answer) : Dismissed;
}
