#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// A small window with a progress bar, for a load or a save that takes long.
// It is not modal, takes neither the focus nor any input: keys typed meanwhile
// stay with the main window and are handled there once the work is done.
class ProgressWindow : public QWidget {
    Q_OBJECT

public:
    ProgressWindow(const QString &what, QWidget *parent);

    // Shows how far the work has come (total < 0: done bytes of a length not
    // known) and repaints at once.
    void setProgress(qint64 done, qint64 total);

private:
    QLabel *m_what;
    QProgressBar *m_bar;
};
