#include "winfind.h"

#include "controltext.h"
#include "messages.h"
#include "wide.h"
#include "winservices.h"

#include <algorithm>

namespace {
const UINT kFindMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
} // namespace

WinFind::WinFind(HWND owner, HWND text, WinRuntimeServices &services)
    : m_owner(owner), m_text(text), m_services(services)
{
    m_request.lStructSize = sizeof m_request;
    m_request.hwndOwner = owner;
    m_request.Flags = FR_DOWN;
    m_request.lpstrFindWhat = m_what;
    m_request.wFindWhatLen = WORD(std::size(m_what));
    m_request.lpstrReplaceWith = m_with;
    m_request.wReplaceWithLen = WORD(std::size(m_with));
}

WinFind::~WinFind()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
}

void WinFind::open(bool replacing)
{
    const auto [start, end] = selectionOf(m_text);
    if (end > start) {
        const std::u16string selected = controlText(m_text).substr(start, end - start);
        // Only a selection within one line is something to find.
        if (!TextSearch::holdsLineBreak(selected) && selected.size() < std::size(m_what)) {
            std::fill(std::begin(m_what), std::end(m_what), L'\0');
            std::copy(selected.begin(), selected.end(), m_what);
        }
    }
    if (m_dialog)
        DestroyWindow(m_dialog);
    m_request.Flags &= FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD;
    m_dialog = replacing ? ReplaceTextW(&m_request) : FindTextW(&m_request);
}

void WinFind::repeat(bool backward)
{
    if (needle().empty()) {
        if (!backward)
            open(false);
        return;
    }
    find(backward, true);
}

bool WinFind::handles(UINT message, LPARAM lParam)
{
    if (message != kFindMessage)
        return false;
    const auto *request = reinterpret_cast<const FINDREPLACEW *>(lParam);
    if (request->Flags & FR_DIALOGTERM) {
        m_dialog = nullptr;
        // Back to the text, where the writer was.
        SetFocus(m_text);
    } else if (request->Flags & FR_FINDNEXT) {
        find(!(request->Flags & FR_DOWN));
    } else if (request->Flags & FR_REPLACE) {
        replaceOne();
    } else if (request->Flags & FR_REPLACEALL) {
        replaceAll();
    }
    return true;
}

std::u16string WinFind::needle() const
{
    return std::u16string(u16view(m_what));
}

FindOptions WinFind::options() const
{
    return {(m_request.Flags & FR_MATCHCASE) != 0, (m_request.Flags & FR_WHOLEWORD) != 0};
}

const TextSearch &WinFind::search()
{
    std::u16string text = controlText(m_text);
    if (!m_search || text != m_searched) {
        m_search.emplace(text);
        m_searched = std::move(text);
    }
    return *m_search;
}

void WinFind::tell(const std::u16string &message, bool beep)
{
    if (!message.empty())
        m_services.tell(message);
    if (beep)
        MessageBeep(MB_OK);
}

bool WinFind::mayFind(const std::u16string &needle)
{
    if (needle.empty())
        return false;
    if (TextSearch::holdsLineBreak(needle)) {
        tell(say(Message::SearchWithinLine), true);
        return false;
    }
    return true;
}

bool WinFind::find(bool backward, bool collapse)
{
    const std::u16string what = needle();
    if (!mayFind(what))
        return false;
    const auto [start, end] = selectionOf(m_text);
    const DWORD from = backward ? start : end;
    const TextSearch::Result result = search().find(what, from, options(), backward);
    if (!result.match.found()) {
        if (collapse && end > start)
            SendMessageW(m_text, EM_SETSEL, from, from);
        tell(say(Message::NotInText, {what}), true);
        return false;
    }
    SendMessageW(m_text, EM_SETSEL, WPARAM(result.match.start), LPARAM(result.match.end()));
    SendMessageW(m_text, EM_SCROLLCARET, 0, 0);
    if (result.wrapped)
        tell(backward ? say(Message::PassedStart) : say(Message::PassedEnd), true);
    return true;
}

void WinFind::replaceOne()
{
    const auto [start, end] = selectionOf(m_text);
    if (search().isMatch(needle(), {std::ptrdiff_t(start), std::ptrdiff_t(end - start)}, options()))
        SendMessageW(m_text, EM_REPLACESEL, TRUE, LPARAM(m_with));
    find(false);
}

void WinFind::replaceAll()
{
    const std::u16string what = needle();
    if (!mayFind(what))
        return;
    const std::vector<TextMatch> matches = search().findAll(what, options());
    if (matches.empty()) {
        tell(say(Message::NotInText, {what}), true);
        return;
    }
    // The text from the first match to the end of the last, replaced at once:
    // the control's one step of undo takes it all back.
    const std::u16string with(u16view(m_with));
    const std::u16string &text = m_searched;
    const std::ptrdiff_t from = matches.front().start, to = matches.back().end();
    std::u16string middle;
    std::ptrdiff_t at = from;
    for (const TextMatch &m : matches) {
        middle.append(text, std::size_t(at), std::size_t(m.start - at)).append(with);
        at = m.end();
    }
    SendMessageW(m_text, EM_SETSEL, WPARAM(from), LPARAM(to));
    SendMessageW(m_text, EM_REPLACESEL, TRUE, LPARAM(wideString(middle).c_str()));
    tell(matches.size() == 1 ? say(Message::ReplacedOnce)
                             : say(Message::ReplacedTimes, {number(long(matches.size()))}),
         false);
}
