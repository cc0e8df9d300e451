#include "filedrops.h"

#include "filecommands.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

FileDrops::FileDrops(const QWidget *window, std::function<void(const QString &)> open,
                     QObject *parent)
    : QObject(parent), m_window(window), m_open(std::move(open))
{
    qApp->installEventFilter(this);
}

FileDrops::~FileDrops()
{
    qApp->removeEventFilter(this);
}

bool FileDrops::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    QString path;
    const FileCommands::Drop does = FileCommands::whatDropDoes(drop->mimeData()->urls(), &path);
    if (does == FileCommands::Drop::Text)
        return false; // the control takes it as text
    drop->acceptProposedAction();
    if (type == QEvent::Drop && does == FileCommands::Drop::File) {
        // After the drop has returned, so a prompt does not hold the other
        // program's drag.
        QTimer::singleShot(0, this, [this, path] { m_open(path); });
    }
    return true;
}
