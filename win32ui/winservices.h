#pragma once

#include "runtimeservices.h"

#include <windows.h>

#include <functional>
#include <string>

struct Question;

// Questions, messages, the working folder, progress and notices for the file
// commands of the Windows window.
class WinRuntimeServices : public RuntimeServices {
public:
    WinRuntimeServices(HINSTANCE instance, std::function<void()> endProgram);
    ~WinRuntimeServices() override;

    // The window the boxes belong to, and the text area: its painting waits
    // while a load or save runs, and the notice shows over its bottom edge.
    void setOwner(HWND owner, HWND heldWhileWorking)
    {
        m_owner = owner;
        m_held = heldWhileWorking;
    }

    Answer askYesNo(std::u16string_view prompt, std::u16string_view title) override;
    std::filesystem::path currentDir() const override;
    void endProgram() override { m_endProgram(); }
    void showSaveFailure(std::u16string_view file, std::u16string_view reason) override;
    Answer askSaveOver(std::u16string_view file, DiskNews why, std::u16string_view detail) override;
    Answer askReload(std::u16string_view file) override;
    Answer askReloadFromLink(std::u16string_view file, std::u16string_view linkTarget,
                             bool unsaved) override;
    void showLoadFailure(std::u16string_view source, std::u16string_view reason) override;
    void tellDeleted(std::u16string_view file) override;
    void tellNotReloaded(std::u16string_view what) override;
    // Progress shows once the work has taken 0.4 s, so that the writer sees
    // it within half a second of a long load's start.
    void beginWork(std::u16string_view what) override;
    void workProgress(std::int64_t done, std::int64_t total) override;
    void endWork() override;
    // Work under way that tells no figure: its progress shows all the same
    // once it is due.
    void stillWorking();
    bool showsProgress() const { return m_progress != nullptr; }
    void tell(std::u16string_view notice) override;

    // A key was pressed: the notice goes.
    void keyPressed() { hideNotice(); }

    static constexpr DWORD kProgressAfterMs = 400;
    static constexpr UINT kNoticeShownMs = 6000;

private:
    Answer askToAct(const Question &question);
    void showMessage(std::u16string_view title, const std::u16string &text, UINT icon);
    void showProgress();
    void hideNotice();
    static void CALLBACK noticeTimeUp(HWND, UINT, UINT_PTR, DWORD);

    HINSTANCE m_instance;
    HWND m_owner = nullptr;
    HWND m_held = nullptr;
    std::function<void()> m_endProgram;

    std::u16string m_work;
    DWORD m_workStart = 0;
    bool m_working = false;
    int m_done = 0; // of 1000
    HCURSOR m_cursorBefore = nullptr;
    HWND m_progress = nullptr;
    HWND m_progressBar = nullptr;

    HWND m_notice = nullptr;
    UINT_PTR m_noticeTimer = 0;
    static WinRuntimeServices *s_noticeShower;
};
