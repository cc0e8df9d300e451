#pragma once

#include "keycommands.h"

#include <QList>
#include <QObject>

#include <functional>

class QWidget;

// The window's keyboard shortcuts, seen before the focused control does, in
// the windows it serves (the main window and the Find window). A key that
// is a shortcut goes to run and, when run took it, no further.
class KeyRouter : public QObject {
public:
    using Runner = std::function<bool(KeyCommand)>;
    KeyRouter(QList<const QWidget *> windows, Runner run, QObject *parent);
    ~KeyRouter() override;

    // The shortcut keys and modifiers of a Qt key event.
    static Key keyOf(int key);
    static KeyModifiers modifiersOf(Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<const QWidget *> m_windows;
    Runner m_run;
};
