#pragma once

#include "runtimeservices.h"
#include "stdstrings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

class ProgressWindow;
struct Question;

class QWidget;

// Message boxes, the working directory and the end of the program, for the
// file commands of the window.
class QtRuntimeServices : public RuntimeServices {
public:
    QtRuntimeServices(QWidget *parent, std::function<void()> endProgram);
    ~QtRuntimeServices() override;

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
    // Progress shows once the work has taken half a second.
    void beginWork(std::u16string_view what) override;
    // The same without the wait cursor and with the text area painted; the
    // progress shows after half a second also when nothing came meanwhile.
    void beginWaiting(std::u16string_view what) override;
    void workProgress(std::int64_t done, std::int64_t total) override;
    void endWork() override;
    void tell(std::u16string_view notice) override
    {
        if (m_tell)
            m_tell(qtstd::string(notice));
    }

    static constexpr int kProgressAfterMs = 500;

    // A control that is not painted while a load or save runs.
    void holdWhileWorking(QWidget *control) { m_heldWhileWorking = control; }
    // Where what needs no answer is shown.
    void tellThrough(std::function<void(const QString &)> tell) { m_tell = std::move(tell); }

private:
    // A question with one button that acts and one that keeps things as they
    // are; the latter is the default, and Escape and the close button mean it.
    Answer askToAct(const QString &name, const Question &question);

    QWidget *m_parent;
    QWidget *m_heldWhileWorking = nullptr;
    std::function<void()> m_endProgram;
    std::function<void(const QString &)> m_tell;
    QString m_work;
    QElapsedTimer m_workTime;
    bool m_waiting = false;
    qint64 m_waited = 0; // bytes so far, of a whole not known
    QTimer m_showProgress;
    std::unique_ptr<ProgressWindow> m_progress;
};
