#pragma once

#include <QSize>

class QWidget;

// Where the main window stands and how large it is: centred on the screen
// at start, and again once a window manager has framed it (only then: a
// later move is the user's own); back at its fixed size whenever it shows
// normally.
class WindowPlacement {
public:
    WindowPlacement(QWidget *window, QSize fixedSize) : m_window(window), m_fixedSize(fixedSize) {}

    // Before the window is first shown.
    void start();
    // After each move, resize or change of the window's state.
    void moved();
    void resized();
    void stateChanged();

private:
    void centre();
    void centreOnceFramed();
    void keepFixedSize();

    QWidget *m_window;
    QSize m_fixedSize;
    bool m_awaitingFrame = false;
    static constexpr int kFrameWaitMs = 1000;
};
