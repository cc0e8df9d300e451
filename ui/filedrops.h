#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

// Files dropped anywhere on a window, the text area and the info box
// included: the first local file is opened once the drop has returned; a
// folder does nothing; anything else is left to the control as text.
class FileDrops : public QObject {
public:
    FileDrops(const QWidget *window, std::function<void(const QString &)> open, QObject *parent);
    ~FileDrops() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QWidget *m_window;
    std::function<void(const QString &)> m_open;
};
