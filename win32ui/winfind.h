#pragma once

#include "textsearch.h"

#include <windows.h>

#include <commdlg.h>

#include <optional>
#include <string>

class WinRuntimeServices;

// Find and Replace on the text area with the system's Find and Replace
// dialogs: found text is selected and scrolled into view; replacing is an
// edit like any other, so the title mark follows. What a search came to is
// told in the window's notice.
class WinFind {
public:
    WinFind(HWND owner, HWND text, WinRuntimeServices &services);
    ~WinFind();

    // Ctrl+F and Ctrl+H: the dialog, with the selection to find when it is
    // within one line.
    void open(bool replacing);
    // F3 and Shift+F3: the last search again; before any, F3 opens Find.
    void repeat(bool backward);
    // The dialog while it shows, else null.
    HWND dialog() const { return m_dialog; }
    // A message to the owner window: true when it was the dialog's, now handled.
    bool handles(UINT message, LPARAM lParam);

private:
    bool find(bool backward, bool collapse = false);
    bool mayFind(const std::u16string &needle);
    void replaceOne();
    void replaceAll();
    void tell(const std::u16string &message, bool beep);
    const TextSearch &search();
    std::u16string needle() const;
    FindOptions options() const;

    HWND m_owner;
    HWND m_text;
    WinRuntimeServices &m_services;
    HWND m_dialog = nullptr;
    FINDREPLACEW m_request{};
    wchar_t m_what[512] = {};
    wchar_t m_with[512] = {};
    // The text as last searched, kept while the text stays the same.
    std::optional<TextSearch> m_search;
    std::u16string m_searched;
};
