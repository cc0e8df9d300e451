#pragma once

#include "progress.h"
#include "spelling.h"

#include <QPlainTextEdit>

#include <functional>

class SpellMarks;

// The news text area. Its text, seen from the document, is the text with CR LF
// line breaks; every character is carried unchanged through typing, the
// clipboard and drag and drop (a non-breaking space stays one).
//
// Every line is a block of the text document, whether it was loaded, typed or
// pasted, so a line break looks and acts the same on every path.
class NewsTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NewsTextEdit(QWidget *parent = nullptr);

    // Texts longer than this many characters are copied out a slice at a
    // time, telling progress after each.
    static constexpr int kCopyAtOnce = 64 << 20;
    QString newsText(const ProgressSink &progress = {}, int copyAtOnce = kCopyAtOnce) const;
    // Length of newsText(), without building it.
    qsizetype newsTextLength() const;
    // Replaces the whole text; the undo history starts afresh.
    void setNewsText(const QString &text);
    // Adds to the end of the text, not undoably.
    void appendNewsText(const QString &more);

    // Replaces the cursor's selection with text as one step of the undo
    // history, which text typed right after it never joins.
    static void replaceAsOneStep(QTextCursor &cursor, const QString &text);
    // Runs edit, made with the cursor it is given, as one such step.
    void editAsOneStep(const std::function<void(QTextCursor &)> &edit);

    // Lines of the text (blocks) counted from 0: the caret's line and column
    // and the first line in view, and the way back to them within the text
    // as it now is.
    int firstLineInView() const;
    // Of the first line in view, its wrapped rows above the view.
    int rowsOutOfView() const;
    void showFromLine(int line, int rowsAbove = 0);
    void placeCaret(int line, int column);

    // The selection as other programs get it: line breaks as LF.
    QString selectedNewsText() const;

    // Marks the words this checker does not know (spellmarks.h). Null: none.
    // Null: no marks; missing then says why in the context menu.
    void setSpellChecker(SpellChecker *checker, const QString &missing = QString());

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void showContextMenu(const QPoint &at, int position);
    void showContextMenuAtCaret();

    SpellMarks *m_marks;
};
