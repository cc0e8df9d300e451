#pragma once

#include "runtimeservices.h"

#include <QElapsedTimer>

#include <functional>
#include <memory>

class ProgressWindow;

class QWidget;

// Message boxes, the working directory and the end of the program, for the
// file commands of the window.
class QtRuntimeServices : public RuntimeServices {
public:
    QtRuntimeServices(QWidget *parent, std::function<void()> endProgram);
    ~QtRuntimeServices() override;

    Answer AskYesNo(const QString &prompt, const QString &title) override;
    QString CurrentDir() const override;
    void EndProgram() override { m_endProgram(); }
    void ShowSaveFailure(const QString &fileName, const QString &reason) override;
    // Progress shows once the work has taken half a second.
    void BeginWork(const QString &what) override;
    void WorkProgress(qint64 done, qint64 total) override;
    void EndWork() override;

    static constexpr int kProgressAfterMs = 500;

private:
    QWidget *m_parent;
    std::function<void()> m_endProgram;
    QString m_work;
    QElapsedTimer m_workTime;
    std::unique_ptr<ProgressWindow> m_progress;
};
