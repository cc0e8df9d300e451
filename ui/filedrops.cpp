#include "filedrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {
// What a drop of these URLs does: opens the first one when it is a local
// file (path receives it), does nothing for a local folder, and is text
// otherwise.
enum class Drop { File, Nothing, Text };

Drop whatDropDoes(const QList<QUrl> &urls, QString *path)
{
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return Drop::Text;
    const QString local = urls.first().toLocalFile();
    if (QFileInfo(local).isDir())
        return Drop::Nothing;
    *path = local;
    return Drop::File;
}
} // namespace

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
    const Drop does = whatDropDoes(drop->mimeData()->urls(), &path);
    if (does == Drop::Text)
        return false; // the control takes it as text
    drop->acceptProposedAction();
    if (type == QEvent::Drop && does == Drop::File) {
        // After the drop has returned, so a prompt does not hold the other
        // program's drag.
        QTimer::singleShot(0, this, [this, path] { m_open(path); });
    }
    return true;
}
