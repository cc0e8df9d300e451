#pragma once

#include "documenthost.h"
#include "filecommands.h"
#include "keycommands.h"
#include "newsdocument.h"
#include "winfiledialog.h"
#include "winservices.h"

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>

class WinFind;

// The editor's one window on Windows' own controls: the news text area (the
// system's multi-line edit control, which wraps as the news window does),
// the file buttons, the two picture buttons and the info panel. It holds the
// document's text and title and routes clicks and shortcuts to the commands.
class Form1 : public DocumentHost {
public:
    Form1(HINSTANCE instance, const CodePage &codePage);
    ~Form1() override;

    // Builds the window at its fixed size for the monitor's DPI, centred,
    // and shows it.
    bool create(int show);
    // A file named on the command line.
    void openFile(const std::filesystem::path &path);
    // Sees each message of the program's message loop before it is
    // dispatched: the shortcuts and Tab act before the focused control.
    // True when the message was handled.
    bool preTranslate(MSG &message);

    HWND window() const { return m_window; }

    // DocumentHost
    HeldText text() const override;
    void setText(std::u16string_view text) override;
    void appendText(std::u16string_view more) override;
    std::ptrdiff_t textLength() const override;
    void replaceParts(const std::vector<CodePage::Composed> &parts) override;
    std::u16string title() const override;
    void setTitle(std::u16string_view title) override;
    Place writerPlace() const override;
    void setWriterPlace(const Place &place) override;
    Span selectedSpan() const override;
    void selectSpan(const Span &span) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls();
    // Places and sizes every control, and the window, for dots per inch.
    void layOut(UINT dpi);
    SIZE fixedOuterSize(UINT dpi) const;
    void onCommand(int id, int code);
    void drawPicture(const DRAWITEMSTRUCT &item);
    // Runs a command that a button, a picture or a dropped file started.
    void fromControl(const std::function<void()> &command);
    bool runKeyCommand(KeyCommand command);
    void endProgram();
    void lookAtTheFileSoon();
    void replaceSpan(std::ptrdiff_t start, std::ptrdiff_t length, std::u16string_view with);

    HINSTANCE m_instance;
    HWND m_window = nullptr;
    HWND cmd_Open = nullptr;
    HWND Image1 = nullptr;
    HWND Image2 = nullptr;
    HWND cmd_Save = nullptr;
    HWND Text = nullptr;
    HWND Frame2 = nullptr;
    HWND Text1 = nullptr;
    HWND cmd_Exit = nullptr;
    HWND m_tooltip = nullptr;
    HWND m_lastFocus = nullptr; // the control with the focus when the window was left
    HFONT m_font = nullptr;
    HBITMAP m_openPicture = nullptr;
    HBITMAP m_savePicture = nullptr;
    UINT m_dpi = 96;

    NewsDocument m_document;
    WinFileDialog Dialog1;
    WinRuntimeServices m_services;
    FileCommands m_commands{m_document, Dialog1, m_services};
    std::unique_ptr<WinFind> m_find;

    bool m_ending = false; // Exit has asked already; close without asking
};
