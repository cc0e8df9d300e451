#pragma once

#include <QLabel>
#include <QTimer>

// A short message near the text area that needs no answer: it never takes
// the focus, closes at the next key pressed anywhere in the program or after
// a few seconds, and is announced to a screen reader as a notification.
class Notice : public QLabel {
    Q_OBJECT

public:
    // Shown over the bottom edge of area, a sibling of it in the window; over
    // the top edge when the bottom rows hold the caret or the selection.
    explicit Notice(QWidget *area);
    ~Notice() override;

    static constexpr int kShownMs = 6000;

    void tell(const QString &message);

    // Makes label read by a screen reader as a notification whose name is
    // its text; showAnew() then shows a new text so that it is spoken.
    static void announce(QLabel *label);
    static void showAnew(QLabel *label, const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The rows of the area's caret and selection, in the parent's coordinates.
    QRect keptClear() const;

    QWidget *m_area;
    QTimer m_timer;
};
