#include "form1.h"

#include "controltext.h"
#include "layout.h"
#include "messages.h"
#include "resourceids.h"
#include "shortcuts.h"
#include "wide.h"
#include "winfind.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace {
const wchar_t kWindowClass[] = L"HeraldpadForm1";
// Posted to the window: look whether another program changed the file, once
// the activation that asked for it is over.
constexpr UINT kLookAtTheFile = WM_APP + 1;
// Posted: back to the fixed size, when the window is shown normally.
constexpr UINT kKeepSize = WM_APP + 2;

enum ControlId {
    kOpenId = 1001,
    kImage1Id,
    kImage2Id,
    kSaveId,
    kTextId,
    kFrameId,
    kInfoId,
    kExitId,
};

int scaled(int twips, UINT dpi)
{
    return MulDiv(twips, int(dpi), 1440);
}

// The default dialog font of the system, at the window's DPI.
HFONT dialogFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight =
            MulDiv(metrics.lfMessageFont.lfHeight, int(dpi), int(GetDpiForSystem()));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The control ends its text at a null character: one that came from a file
// is shown as the symbol for null and read back as the null it was, so that
// a save writes the file's byte back.
constexpr char16_t kNullShown = u'\x2400';

std::wstring shownText(std::u16string_view text)
{
    std::wstring shown = wideString(text);
    std::replace(shown.begin(), shown.end(), L'\0', wchar_t(kNullShown));
    return shown;
}

std::u16string newsText(HWND control)
{
    std::u16string text = controlText(control);
    std::replace(text.begin(), text.end(), kNullShown, u'\0');
    return text;
}

// Where each line of text starts: the index after each LF.
std::ptrdiff_t lineStartBefore(std::u16string_view text, std::ptrdiff_t at)
{
    const std::size_t lf = text.substr(0, std::size_t(at)).rfind(u'\n');
    return lf == std::u16string_view::npos ? 0 : std::ptrdiff_t(lf + 1);
}
} // namespace

Form1::Form1(HINSTANCE instance, const CodePage &codePage)
    : m_instance(instance), m_document(*this, codePage),
      m_services(instance, [this] { endProgram(); })
{
}

Form1::~Form1()
{
    if (m_font)
        DeleteObject(m_font);
    if (m_openPicture)
        DeleteObject(m_openPicture);
    if (m_savePicture)
        DeleteObject(m_savePicture);
}

bool Form1::create(int show)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(kIconId));
    windowClass.hIconSm =
        HICON(LoadImageW(m_instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass))
        return false;
    const std::u16string title = say(Message::WindowTitle);
    m_window = CreateWindowExW(0, kWindowClass, wide(title), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 100, 100, nullptr, nullptr, m_instance, this);
    if (!m_window)
        return false;
    m_openPicture = HBITMAP(LoadImageW(m_instance, MAKEINTRESOURCEW(kOpenPictureId), IMAGE_BITMAP,
                                       0, 0, LR_DEFAULTCOLOR));
    m_savePicture = HBITMAP(LoadImageW(m_instance, MAKEINTRESOURCEW(kSavePictureId), IMAGE_BITMAP,
                                       0, 0, LR_DEFAULTCOLOR));
    buildControls();
    Dialog1.setOwner(m_window);
    m_services.setOwner(m_window, Text);
    m_find = std::make_unique<WinFind>(m_window, Text, m_services);
    layOut(GetDpiForWindow(m_window));

    // Centred on the monitor the window opens on, by its outer size.
    RECT frame{};
    GetWindowRect(m_window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT &screen = monitor.rcMonitor;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(m_window, nullptr, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_document.Reset();
    // A file dropped anywhere on the window is opened.
    DragAcceptFiles(m_window, TRUE);
    ShowWindow(m_window, show);
    UpdateWindow(m_window);
    SetFocus(Text);
    return true;
}

void Form1::buildControls()
{
    auto control = [this](DWORD exStyle, const wchar_t *kind, const std::u16string &caption,
                          DWORD style, int id) {
        return CreateWindowExW(exStyle, kind, wide(caption),
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                               m_window, HMENU(INT_PTR(id)), m_instance, nullptr);
    };
    // Made in the tab order: the text area first, the exit button last.
    Text = control(WS_EX_CLIENTEDGE, L"EDIT", u"",
                   WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL |
                       ES_NOHIDESEL,
                   kTextId);
    // No limit but the system's: the control's own would stop at 30,000 characters.
    SendMessageW(Text, EM_SETLIMITTEXT, 0, 0);
    cmd_Open = control(0, L"BUTTON", say(Message::LoadButton), WS_TABSTOP | BS_PUSHBUTTON, kOpenId);
    // The pictures have no border and are no tab stop; their names are what
    // a screen reader reads.
    Image1 = control(0, L"BUTTON", say(Message::QuickloadName), BS_OWNERDRAW, kImage1Id);
    Image2 = control(0, L"BUTTON", say(Message::QuicksaveName), BS_OWNERDRAW, kImage2Id);
    cmd_Save =
        control(0, L"BUTTON", say(Message::SaveAsButton), WS_TABSTOP | BS_PUSHBUTTON, kSaveId);
    Frame2 = control(0, L"BUTTON", say(Message::InfoFrame), BS_GROUPBOX, kFrameId);
    // Read-only, without a border of its own: what is typed there would be
    // thrown away unasked.
    Text1 = control(0, L"EDIT", say(Message::InfoText), WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                    kInfoId);
    cmd_Exit = control(0, L"BUTTON", say(Message::ExitButton), WS_TABSTOP | BS_PUSHBUTTON, kExitId);
    // The frame under the box it holds (it is no tab stop, the order stays).
    SetWindowPos(Frame2, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                m_window, nullptr, m_instance, nullptr);
    const std::pair<HWND, Message> tips[] = {
        {cmd_Open, Message::LoadTip}, {cmd_Save, Message::SaveTip}, {cmd_Exit, Message::ExitTip}};
    for (const auto &[button, words] : tips) {
        std::u16string tip = say(words);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = UINT_PTR(button);
        tool.lpszText = reinterpret_cast<wchar_t *>(tip.data());
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, LPARAM(&tool));
    }
    // The frame lets the mouse through to the window: its tip is the
    // window's, over the frame's place.
    std::u16string credit = say(Message::InfoCredit);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = kFrameId;
    tool.lpszText = reinterpret_cast<wchar_t *>(credit.data());
    SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, LPARAM(&tool));
}

SIZE Form1::fixedOuterSize(UINT dpi) const
{
    RECT r{0, 0, scaled(Layout::kClientWidthTwips, dpi), scaled(Layout::kClientHeightTwips, dpi)};
    AdjustWindowRectExForDpi(&r, DWORD(GetWindowLongPtrW(m_window, GWL_STYLE)), FALSE,
                             DWORD(GetWindowLongPtrW(m_window, GWL_EXSTYLE)), dpi);
    return {r.right - r.left, r.bottom - r.top};
}

void Form1::layOut(UINT dpi)
{
    m_dpi = dpi;
    const std::pair<const char *, HWND> controls[] = {
        {"cmd_Open", cmd_Open}, {"Image1", Image1}, {"Image2", Image2}, {"cmd_Save", cmd_Save},
        {"Text", Text},         {"Frame2", Frame2}, {"Text1", Text1},   {"cmd_Exit", cmd_Exit}};
    const Layout::Control &frame = Layout::control("Frame2");
    for (const auto &[name, hwnd] : controls) {
        const Layout::Control &c = Layout::control(name);
        // Text1 stands inside the frame.
        const int left = c.left + (hwnd == Text1 ? frame.left : 0);
        const int top = c.top + (hwnd == Text1 ? frame.top : 0);
        SetWindowPos(hwnd, nullptr, scaled(left, dpi), scaled(top, dpi), scaled(c.width, dpi),
                     scaled(c.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HFONT font = dialogFont(dpi);
    for (HWND hwnd : {cmd_Open, cmd_Save, Text, Frame2, Text1, cmd_Exit})
        SendMessageW(hwnd, WM_SETFONT, WPARAM(font), TRUE);
    SendMessageW(m_window, WM_SETFONT, WPARAM(font), FALSE);
    if (m_font)
        DeleteObject(m_font);
    m_font = font;

    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_window;
    tool.uId = kFrameId;
    tool.rect = {scaled(frame.left, dpi), scaled(frame.top, dpi),
                 scaled(frame.left + frame.width, dpi), scaled(frame.top + frame.height, dpi)};
    SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, LPARAM(&tool));

    const SIZE outer = fixedOuterSize(dpi);
    SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Form1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *form =
            static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(form));
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        drawPicture(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            m_lastFocus = GetFocus();
        } else {
            // Back where the writer was; and another program may have
            // changed the file meanwhile.
            SetFocus(m_lastFocus && IsChild(m_window, m_lastFocus) ? m_lastFocus : Text);
            lookAtTheFileSoon();
        }
        return 0;
    case kLookAtTheFile:
        if (!m_commands.busy() && !m_ending)
            m_commands.checkFileOnDisk();
        return 0;
    case WM_DROPFILES: {
        HDROP drop = HDROP(wParam);
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring name(length, L'\0');
        DragQueryFileW(drop, 0, name.data(), length + 1);
        DragFinish(drop);
        if (!m_commands.busy())
            fromControl([this, name] { m_commands.LoadDropped(std::filesystem::path(name)); });
        return 0;
    }
    case WM_SIZING: {
        // Dragging the border changes nothing: the window keeps its size.
        auto *r = reinterpret_cast<RECT *>(lParam);
        const SIZE outer = fixedOuterSize(m_dpi);
        if (wParam == WMSZ_LEFT || wParam == WMSZ_TOPLEFT || wParam == WMSZ_BOTTOMLEFT)
            r->left = r->right - outer.cx;
        else
            r->right = r->left + outer.cx;
        if (wParam == WMSZ_TOP || wParam == WMSZ_TOPLEFT || wParam == WMSZ_TOPRIGHT)
            r->top = r->bottom - outer.cy;
        else
            r->bottom = r->top + outer.cy;
        return TRUE;
    }
    case WM_SIZE:
        // Shown normally, it has its one size again (after a restore too):
        // once the change at hand is over, which a window manager may have made.
        if (wParam == SIZE_RESTORED)
            PostMessageW(m_window, kKeepSize, 0, 0);
        return 0;
    case kKeepSize: {
        RECT r{};
        GetWindowRect(m_window, &r);
        const SIZE outer = fixedOuterSize(m_dpi);
        if (!IsZoomed(m_window) && !IsIconic(m_window) &&
            (r.right - r.left != outer.cx || r.bottom - r.top != outer.cy))
            SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DPICHANGED: {
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(HIWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        // Closing by the frame asks like Exit, so unsaved news is not lost.
        if (!m_commands.busy() && (m_ending || m_commands.mayClose())) {
            m_ending = true;
            DestroyWindow(m_window);
        }
        return 0;
    case WM_QUERYENDSESSION:
        if (m_ending || !m_commands.textAtRisk())
            return TRUE;
        if (m_commands.busy() || !m_commands.mayClose())
            return FALSE;
        m_ending = true;
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (m_find && m_find->handles(message, lParam))
            return 0;
        return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void Form1::onCommand(int id, int code)
{
    switch (id) {
    case kTextId:
        if (code == EN_CHANGE)
            m_document.TextChanged();
        return;
    case IDOK: {
        // Enter on a button presses it (the window has no default button).
        HWND focused = GetFocus();
        if (focused == cmd_Open || focused == cmd_Save || focused == cmd_Exit)
            SendMessageW(focused, BM_CLICK, 0, 0);
        return;
    }
    default:
        break;
    }
    if (code != BN_CLICKED || m_commands.busy())
        return;
    switch (id) {
    case kOpenId:
        fromControl([this] { m_commands.Load(); });
        break;
    case kSaveId:
        fromControl([this] { m_commands.SaveAs(); });
        break;
    case kExitId:
        fromControl([this] { m_commands.Exit(); });
        break;
    case kImage1Id:
        fromControl([this] { m_commands.Quickload(); });
        break;
    case kImage2Id:
        fromControl([this] { m_commands.Quicksave(); });
        break;
    default:
        break;
    }
}

void Form1::drawPicture(const DRAWITEMSTRUCT &item)
{
    HBITMAP picture = item.hwndItem == Image1 ? m_openPicture : m_savePicture;
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ before = SelectObject(source, picture);
    // At its natural size at 96 dots per inch, scaled with the window else.
    SetStretchBltMode(item.hDC, COLORONCOLOR);
    StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
               item.rcItem.bottom - item.rcItem.top, source, 0, 0, size.bmWidth, size.bmHeight,
               SRCCOPY);
    SelectObject(source, before);
    DeleteDC(source);
}

void Form1::fromControl(const std::function<void()> &command)
{
    command();
    // Once its dialogs are closed, the keys go to the text again, not to the
    // button, where a space would run the command once more.
    if (!m_ending)
        SetFocus(Text);
}

void Form1::openFile(const std::filesystem::path &path)
{
    m_commands.OpenFile(path);
}

bool Form1::preTranslate(MSG &message)
{
    const bool key = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    const bool ours = root == m_window || (m_find && root == m_find->dialog());
    if (key && ours) {
        m_services.keyPressed();
        Key pressed = Key::Other;
        switch (message.wParam) {
        case 'S':
            pressed = Key::S;
            break;
        case 'L':
            pressed = Key::L;
            break;
        case 'E':
            pressed = Key::E;
            break;
        case 'F':
            pressed = Key::F;
            break;
        case 'H':
            pressed = Key::H;
            break;
        case 'Y':
            pressed = Key::Y;
            break;
        case VK_F3:
            pressed = Key::F3;
            break;
        default:
            break;
        }
        const KeyModifiers held{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                                GetKeyState(VK_MENU) < 0,
                                GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0};
        if (!m_commands.busy() && runKeyCommand(commandForKey(pressed, held)))
            return true;
        // Escape changes nothing here: the edit controls would close the
        // window with it, as they do in a dialog.
        if (message.wParam == VK_ESCAPE && root == m_window)
            return true;
        // Tab and Shift+Tab walk the controls from the text areas too, which
        // would take a tab character.
        if (message.wParam == VK_TAB && root == m_window && !held.control && !held.alt) {
            SetFocus(GetNextDlgTabItem(m_window, GetFocus(), held.shift));
            return true;
        }
    }
    if (m_find && m_find->dialog() && IsDialogMessageW(m_find->dialog(), &message))
        return true;
    return root == m_window && IsDialogMessageW(m_window, &message);
}

bool Form1::runKeyCommand(KeyCommand command)
{
    return runShortcut(command, m_commands,
                       {[this](bool replacing) { m_find->open(replacing); },
                        [this](bool backward) { m_find->repeat(backward); },
                        // The text area's own Ctrl+Z takes back and brings back
                        // its last edit; elsewhere (the Find dialog's fields) the
                        // control's keys hold.
                        [this] { return GetFocus() == Text; }});
}

void Form1::lookAtTheFileSoon()
{
    if (!m_commands.busy())
        PostMessageW(m_window, kLookAtTheFile, 0, 0);
}

void Form1::endProgram()
{
    m_ending = true;
    DestroyWindow(m_window);
}

HeldText Form1::text() const
{
    return HeldText(newsText(Text));
}

void Form1::setText(std::u16string_view text)
{
    SetWindowTextW(Text, shownText(text).c_str());
}

void Form1::appendText(std::u16string_view more)
{
    // After the text there is, with the caret and the view left where they were.
    const Selection kept = selectionOf(Text);
    // In small pieces until a long load's progress shows, so that it shows in
    // time; then at once, since each piece costs the control a pass over all
    // the text it holds.
    constexpr std::size_t kPiece = 1 << 15;
    for (std::size_t at = 0, piece = 0; at < more.size(); at += piece) {
        piece = m_services.showsProgress() ? more.size() : kPiece;
        const int length = GetWindowTextLengthW(Text);
        SendMessageW(Text, EM_SETSEL, WPARAM(length), LPARAM(length));
        SendMessageW(Text, EM_REPLACESEL, FALSE, LPARAM(shownText(more.substr(at, piece)).c_str()));
        m_services.stillWorking();
    }
    SendMessageW(Text, EM_SETSEL, WPARAM(kept.start), LPARAM(kept.end));
}

std::ptrdiff_t Form1::textLength() const
{
    return GetWindowTextLengthW(Text);
}

void Form1::replaceSpan(std::ptrdiff_t start, std::ptrdiff_t length, std::u16string_view with)
{
    SendMessageW(Text, EM_SETSEL, WPARAM(start), LPARAM(start + length));
    SendMessageW(Text, EM_REPLACESEL, TRUE, LPARAM(shownText(with).c_str()));
}

void Form1::replaceParts(const std::vector<CodePage::Composed> &parts)
{
    if (parts.empty())
        return;
    // One replacement from the first part to the end of the last, so that the
    // control's one step of undo takes all of them back.
    const Place place = writerPlace();
    const std::u16string text = controlText(Text);
    const std::ptrdiff_t from = parts.front().start;
    const std::ptrdiff_t to = parts.back().start + parts.back().length;
    std::vector<CodePage::Composed> shifted = parts;
    for (CodePage::Composed &part : shifted)
        part.start -= from;
    replaceSpan(from, to - from,
                withParts(text.substr(std::size_t(from), std::size_t(to - from)), shifted));
    setWriterPlace(place);
}

std::u16string Form1::title() const
{
    return controlText(m_window);
}

void Form1::setTitle(std::u16string_view title)
{
    SetWindowTextW(m_window, wideString(title).c_str());
}

DocumentHost::Place Form1::writerPlace() const
{
    // The control counts wrapped rows as lines; a place is of the text's lines.
    const std::u16string text = controlText(Text);
    const std::u16string_view view(text);
    const auto linesBefore = [view](std::ptrdiff_t at) {
        return int(std::count(view.begin(), view.begin() + at, u'\n'));
    };
    const std::ptrdiff_t caret = std::min<std::ptrdiff_t>(selectionOf(Text).end, view.size());
    const std::ptrdiff_t caretLine = lineStartBefore(view, caret);
    const int firstRow = int(SendMessageW(Text, EM_GETFIRSTVISIBLELINE, 0, 0));
    const std::ptrdiff_t firstIndex = std::min<std::ptrdiff_t>(
        SendMessageW(Text, EM_LINEINDEX, WPARAM(firstRow), 0), std::ptrdiff_t(view.size()));
    const std::ptrdiff_t firstLine = lineStartBefore(view, firstIndex);
    const int rowOfLine = int(SendMessageW(Text, EM_LINEFROMCHAR, WPARAM(firstLine), 0));
    return {linesBefore(caret), int(caret - caretLine), linesBefore(firstIndex),
            firstRow - rowOfLine};
}

void Form1::setWriterPlace(const Place &place)
{
    const std::u16string text = controlText(Text);
    const std::u16string_view view(text);
    // The start of line number line, or the end of the text.
    const auto lineStart = [view](int line) {
        std::size_t at = 0;
        for (int i = 0; i < line && at < view.size(); ++i) {
            const std::size_t lf = view.find(u'\n', at);
            at = lf == std::u16string_view::npos ? view.size() : lf + 1;
        }
        return std::ptrdiff_t(at);
    };
    const std::ptrdiff_t start = lineStart(place.line);
    std::size_t end = view.find(u'\r', std::size_t(start));
    end = std::min(end, view.find(u'\n', std::size_t(start)));
    const std::ptrdiff_t lineEnd = end == std::u16string_view::npos ? view.size() : end;
    const std::ptrdiff_t caret = std::min(start + place.column, lineEnd);
    SendMessageW(Text, EM_SETSEL, WPARAM(caret), LPARAM(caret));
    const int row =
        int(SendMessageW(Text, EM_LINEFROMCHAR, WPARAM(lineStart(place.firstVisibleLine)), 0)) +
        place.rowsOutOfView;
    const int firstRow = int(SendMessageW(Text, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(Text, EM_LINESCROLL, 0, LPARAM(row - firstRow));
}

DocumentHost::Span Form1::selectedSpan() const
{
    const Selection s = selectionOf(Text);
    if (s.start == s.end)
        return {};
    return {std::ptrdiff_t(s.start), std::ptrdiff_t(s.end - s.start)};
}

void Form1::selectSpan(const Span &span)
{
    SendMessageW(Text, EM_SETSEL, WPARAM(span.start), LPARAM(span.start + span.length));
    SendMessageW(Text, EM_SCROLLCARET, 0, 0);
}
