#pragma once

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Hands the widget which() gives to act, once it gives one; gives up after
// two seconds. For windows that a test opens and that block until closed.
inline void whenShown(std::function<QWidget *()> which, std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (QWidget *w = which()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (++*tries > 100) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(20);
}

// The next modal window; seenTitle, when given, receives its title.
inline void whenModalShows(std::function<void(QWidget *)> act, QString *seenTitle = nullptr)
{
    whenShown([] { return QApplication::activeModalWidget(); },
              [act, seenTitle](QWidget *modal) {
                  if (seenTitle)
                      *seenTitle = modal->windowTitle();
                  act(modal);
              });
}

// The next popup menu.
inline void whenMenuShows(std::function<void(QMenu *)> act)
{
    whenShown([] { return QApplication::activePopupWidget(); },
              [act](QWidget *w) { act(qobject_cast<QMenu *>(w)); });
}
