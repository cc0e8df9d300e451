#include "windowplacement.h"

#include "windowgeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

void WindowPlacement::start()
{
    centre();
    // A window manager frames the window only once it is shown: centre the
    // frame once more as soon as it is known, and only then. Without a window
    // manager no frame ever comes, and a later move is the user's own.
    m_awaitingFrame = true;
    QTimer::singleShot(kFrameWaitMs, m_window, [this] { m_awaitingFrame = false; });
}

void WindowPlacement::moved()
{
    centreOnceFramed();
}

void WindowPlacement::resized()
{
    keepFixedSize();
    centreOnceFramed();
}

void WindowPlacement::stateChanged()
{
    keepFixedSize();
}

void WindowPlacement::centre()
{
    const QScreen *s = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect frame = m_window->frameGeometry();
    const QPoint target = WindowGeometry::centredTopLeft(s->geometry(), frame.size());
    if (frame.topLeft() != target)
        m_window->move(target);
}

void WindowPlacement::centreOnceFramed()
{
    const QWindow *handle = m_window->windowHandle();
    if (!m_awaitingFrame || m_window->windowState() != Qt::WindowNoState || !handle ||
        handle->frameMargins().isNull())
        return;
    m_awaitingFrame = false;
    centre();
}

void WindowPlacement::keepFixedSize()
{
    if (WindowGeometry::mustRestoreSize(m_window->windowState(), m_window->size(), m_fixedSize))
        m_window->resize(m_fixedSize);
}
