#include "winservices.h"

#include "messages.h"
#include "question.h"
#include "questions.h"
#include "wide.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace {
const wchar_t kPanelClass[] = L"HeraldpadPanel";

// A plain window for the progress and the notice: the dialog colour, nothing
// handled of its own.
void registerPanel(HINSTANCE instance)
{
    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = DefWindowProcW;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    panel.lpszClassName = kPanelClass;
    RegisterClassExW(&panel);
}

HFONT dialogFont(HWND window)
{
    return HFONT(SendMessageW(window, WM_GETFONT, 0, 0));
}

} // namespace

WinRuntimeServices *WinRuntimeServices::s_noticeShower = nullptr;

WinRuntimeServices::WinRuntimeServices(HINSTANCE instance, std::function<void()> endProgram)
    : m_instance(instance), m_endProgram(std::move(endProgram))
{
    registerPanel(instance);
}

WinRuntimeServices::~WinRuntimeServices()
{
    hideNotice();
    if (m_progress)
        DestroyWindow(m_progress);
}

RuntimeServices::Answer WinRuntimeServices::askYesNo(std::u16string_view prompt,
                                                     std::u16string_view title)
{
    const QuestionBox box{std::u16string(title), std::u16string(prompt), say(Message::YesButton),
                          say(Message::NoButton)};
    switch (box.ask(m_instance, m_owner)) {
    case QuestionBox::First:
        return Answer::Yes;
    case QuestionBox::Second:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

RuntimeServices::Answer WinRuntimeServices::askToAct(const Question &question)
{
    // The button that keeps things as they are is the default.
    const QuestionBox box{question.title, question.text, question.act, question.keep, false, true};
    return box.ask(m_instance, m_owner) == QuestionBox::First ? Answer::Yes : Answer::Cancel;
}

std::filesystem::path WinRuntimeServices::currentDir() const
{
    std::vector<wchar_t> folder(GetCurrentDirectoryW(0, nullptr) + 1, L'\0');
    const DWORD length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    return std::filesystem::path(std::wstring(folder.data(), length));
}

void WinRuntimeServices::showMessage(std::u16string_view title, const std::u16string &text,
                                     UINT icon)
{
    MessageBoxW(m_owner, wide(text), wideString(title).c_str(), MB_OK | icon);
}

void WinRuntimeServices::showSaveFailure(std::u16string_view file, std::u16string_view reason)
{
    showMessage(say(Message::SaveFailedTitle), say(Message::SaveFailedText, {file, reason}),
                MB_ICONWARNING);
}

RuntimeServices::Answer WinRuntimeServices::askSaveOver(std::u16string_view file, DiskNews why,
                                                        std::u16string_view detail)
{
    return askToAct(saveOverQuestion(file, why, detail));
}

RuntimeServices::Answer WinRuntimeServices::askReload(std::u16string_view file)
{
    return askToAct(reloadQuestion(file));
}

RuntimeServices::Answer WinRuntimeServices::askReloadFromLink(std::u16string_view file,
                                                              std::u16string_view linkTarget,
                                                              bool unsaved)
{
    return askToAct(reloadFromLinkQuestion(file, linkTarget, unsaved));
}

void WinRuntimeServices::showLoadFailure(std::u16string_view source, std::u16string_view reason)
{
    showMessage(say(Message::NotOpenedTitle), say(Message::NotOpenedText, {source, reason}),
                MB_ICONWARNING);
}

void WinRuntimeServices::tellDeleted(std::u16string_view file)
{
    showMessage(say(Message::DeletedTitle), say(Message::DeletedText, {file}), MB_ICONINFORMATION);
}

void WinRuntimeServices::tellNotReloaded(std::u16string_view what)
{
    showMessage(say(Message::NotReloadedTitle), say(Message::NotReloadedText, {what}),
                MB_ICONWARNING);
}

void WinRuntimeServices::beginWork(std::u16string_view what)
{
    m_work = std::u16string(what);
    m_workStart = GetTickCount();
    m_working = true;
    m_done = 0;
    m_cursorBefore = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // The text area is painted again once the work is done, not while its
    // text is half there.
    if (m_held)
        SendMessageW(m_held, WM_SETREDRAW, FALSE, 0);
}

void WinRuntimeServices::showProgress()
{
    const std::wstring what = wideString(m_work);
    const std::u16string caption = say(Message::WindowTitle);
    const UINT dpi = m_owner ? GetDpiForWindow(m_owner) : 96;
    auto scaled = [dpi](int pixels) { return MulDiv(pixels, int(dpi), 96); };
    RECT frame{0, 0, scaled(340), scaled(70)};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    RECT owner{};
    GetWindowRect(m_owner, &owner);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Shown without taking the focus: keys typed meanwhile go where they
    // were sent, once the work is done.
    m_progress = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                                 kPanelClass, wide(caption), WS_POPUP | WS_CAPTION,
                                 (owner.left + owner.right - width) / 2,
                                 (owner.top + owner.bottom - height) / 2, width, height, m_owner,
                                 nullptr, m_instance, nullptr);
    HWND label = CreateWindowExW(0, L"STATIC", what.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                 scaled(10), scaled(8), scaled(320), scaled(36), m_progress,
                                 nullptr, m_instance, nullptr);
    m_progressBar = CreateWindowExW(0, PROGRESS_CLASSW, what.c_str(), WS_CHILD | WS_VISIBLE,
                                    scaled(10), scaled(46), scaled(320), scaled(16), m_progress,
                                    nullptr, m_instance, nullptr);
    SendMessageW(label, WM_SETFONT, WPARAM(dialogFont(m_owner)), TRUE);
    SendMessageW(m_progressBar, PBM_SETRANGE32, 0, 1000);
    ShowWindow(m_progress, SW_SHOWNOACTIVATE);
}

void WinRuntimeServices::workProgress(std::int64_t done, std::int64_t total)
{
    if (!m_working)
        return;
    m_done = total > 0 ? int(done * 1000 / total) : 0;
    stillWorking();
}

void WinRuntimeServices::stillWorking()
{
    if (!m_working)
        return;
    if (!m_progress && GetTickCount() - m_workStart >= kProgressAfterMs)
        showProgress();
    if (m_progress)
        SendMessageW(m_progressBar, PBM_SETPOS, WPARAM(m_done), 0);
    // Painted now, and the window system's news taken in (the focus the
    // window is given, above all); the keys and clicks that came meanwhile
    // wait in the queue and go, in order, where they were sent once the work
    // is done.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageW(&message);
    if (m_progress)
        UpdateWindow(m_progress);
}

void WinRuntimeServices::endWork()
{
    if (!m_working)
        return;
    m_working = false;
    if (m_progress) {
        DestroyWindow(m_progress);
        m_progress = m_progressBar = nullptr;
    }
    SetCursor(m_cursorBefore);
    if (m_held) {
        SendMessageW(m_held, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(m_held, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void WinRuntimeServices::tell(std::u16string_view notice)
{
    hideNotice();
    const std::wstring text = wideString(notice);
    const UINT dpi = m_owner ? GetDpiForWindow(m_owner) : 96;
    const int height = MulDiv(24, int(dpi), 96), margin = MulDiv(4, int(dpi), 96);
    RECT area{};
    GetWindowRect(m_held, &area);
    // A line over the bottom edge of the text area; it never takes the focus.
    m_notice = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC",
                               text.c_str(), WS_POPUP | WS_BORDER | SS_CENTERIMAGE | SS_LEFT,
                               area.left + margin, area.bottom - height - margin,
                               area.right - area.left - 2 * margin - GetSystemMetrics(SM_CXVSCROLL),
                               height, m_owner, nullptr, m_instance, nullptr);
    SendMessageW(m_notice, WM_SETFONT, WPARAM(dialogFont(m_owner)), TRUE);
    ShowWindow(m_notice, SW_SHOWNOACTIVATE);
    s_noticeShower = this;
    m_noticeTimer = SetTimer(nullptr, 0, kNoticeShownMs, noticeTimeUp);
}

void CALLBACK WinRuntimeServices::noticeTimeUp(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_noticeShower)
        s_noticeShower->hideNotice();
}

void WinRuntimeServices::hideNotice()
{
    if (m_noticeTimer)
        KillTimer(nullptr, std::exchange(m_noticeTimer, 0));
    if (!m_notice)
        return;
    DestroyWindow(m_notice);
    m_notice = nullptr;
}
