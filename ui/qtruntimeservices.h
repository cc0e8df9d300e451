#pragma once

#include "runtimeservices.h"

#include <functional>

class QWidget;

// Message boxes, the working directory and the end of the program, for the
// file commands of the window.
class QtRuntimeServices : public RuntimeServices {
public:
    QtRuntimeServices(QWidget *parent, std::function<void()> endProgram)
        : m_parent(parent), m_endProgram(std::move(endProgram))
    {
    }

    Answer AskYesNo(const QString &prompt, const QString &title) override;
    QString CurrentDir() const override;
    void EndProgram() override { m_endProgram(); }
    void ShowSaveFailure(const QString &fileName, const QString &reason) override;

private:
    QWidget *m_parent;
    std::function<void()> m_endProgram;
};
