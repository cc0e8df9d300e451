#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// A small modal window with a progress bar, for a load or a save that takes
// long. It takes no input: the work runs on, and the events it paints with
// are the only ones handled until the work is done.
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    ProgressWindow(const QString &what, QWidget *parent);

    // Shows how far the work has come and repaints at once.
    void setProgress(qint64 done, qint64 total);

private:
    QLabel *m_what;
    QProgressBar *m_bar;
};
