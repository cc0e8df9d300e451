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

Key KeyRouter::keyOf(int key)
{
    switch (key) {
    case Qt::Key_S:
        return Key::S;
    case Qt::Key_L:
        return Key::L;
    case Qt::Key_E:
        return Key::E;
    case Qt::Key_F:
        return Key::F;
    case Qt::Key_H:
        return Key::H;
    case Qt::Key_Y:
        return Key::Y;
    case Qt::Key_F3:
        return Key::F3;
    default:
        return Key::Other;
    }
}

KeyModifiers KeyRouter::modifiersOf(Qt::KeyboardModifiers modifiers)
{
    return {modifiers.testFlag(Qt::ControlModifier), modifiers.testFlag(Qt::ShiftModifier),
            modifiers.testFlag(Qt::AltModifier), modifiers.testFlag(Qt::MetaModifier)};
}

bool KeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !m_windows.contains(widget->window()))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const KeyCommand command = commandForKey(keyOf(key->key()), modifiersOf(key->modifiers()));
    return command != KeyCommand::None && m_run(command);
}
