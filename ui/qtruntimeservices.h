#pragma once

#include "runtimeservices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

class ProgressWindow;

class QWidget;

// Message boxes, the working directory and the end of the program, for the
// file commands of the window.
class QtRuntimeServices : public RuntimeServices {
    Q_DECLARE_TR_FUNCTIONS(QtRuntimeServices)

public:
    QtRuntimeServices(QWidget *parent, std::function<void()> endProgram);
    ~QtRuntimeServices() override;

    Answer askYesNo(const QString &prompt, const QString &title) override;
    QString currentDir() const override;
    void endProgram() override { m_endProgram(); }
    void showSaveFailure(const QString &fileName, const QString &reason) override;
    Answer askSaveOver(const QString &fileName, DiskNews why, const QString &detail) override;
    Answer askReload(const QString &fileName) override;
    Answer askReloadFromLink(const QString &fileName, const QString &linkTarget,
                             bool unsaved) override;
    void showLoadFailure(const QString &source, const QString &reason) override;
    void tellDeleted(const QString &fileName) override;
    void tellNotReloaded(const QString &what) override;
    // Progress shows once the work has taken half a second.
    void beginWork(const QString &what) override;
    // The same without the wait cursor and with the text area painted; the
    // progress shows after half a second also when nothing came meanwhile.
    void beginWaiting(const QString &what) override;
    void workProgress(qint64 done, qint64 total) override;
    void endWork() override;
    void tell(const QString &notice) override
    {
        if (m_tell)
            m_tell(notice);
    }

    static constexpr int kProgressAfterMs = 500;

    // A control that is not painted while a load or save runs.
    void holdWhileWorking(QWidget *control) { m_heldWhileWorking = control; }
    // Where what needs no answer is shown.
    void tellThrough(std::function<void(const QString &)> tell) { m_tell = std::move(tell); }

private:
    // A question with one button that acts and one that keeps things as they
    // are; the latter is the default, and Escape and the close button mean it.
    Answer askToAct(const QString &name, const QString &title, const QString &text,
                    const QString &act, const QString &keep);

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
