#include "keyrouter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

KeyRouter::KeyRouter(QList<const QWidget *> windows, Runner run, QObject *parent)
    : QObject(parent), m_windows(std::move(windows)), m_run(std::move(run))
{
    qApp->installEventFilter(this);
}

KeyRouter::~KeyRouter()
{
    qApp->removeEventFilter(this);
}

bool KeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_windows.contains(widget->window()))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const KeyCommand command = commandForKey(key->key(), key->modifiers());
    return command != KeyCommand::None && m_run(command);
}
