#pragma once

#include "textsearch.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The small window of Find and Replace: what to find, what to put instead,
// the options and the buttons. Not modal, kept above the main window; Escape
// or Close hides it. It only asks: the main window does the searching.
class FindDialog : public QDialog {
    Q_OBJECT

public:
    explicit FindDialog(QWidget *parent);

    // Shown as "Find", or as "Replace" with its replacing controls; raised,
    // with the focus in "Find what" (filled with text, when not empty).
    void showFor(bool replacing, const QString &text);

    QString needle() const;
    QString replacement() const;
    FindOptions options() const;
    // What the last search came to, for the user to read.
    void tell(const QString &message);

signals:
    void findNext();
    void findPrevious();
    void replace();
    void replaceAll();

private:
    QLineEdit *m_what;
    QLabel *m_replaceLabel;
    QLineEdit *m_with;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QPushButton *m_next;
    QPushButton *m_previous;
    QPushButton *m_replace;
    QPushButton *m_replaceAll;
    QPushButton *m_close;
    QLabel *m_message;
};
