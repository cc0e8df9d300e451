#pragma once

#include "spelling.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QRectF>

#include <optional>

class QMenu;
class QPainter;
class QPlainTextEdit;
class QTextBlock;
class QTimer;

// The spelling marks of a text area: a red wavy line under each word the
// checker does not know, painted over the text (marking changes nothing in
// it), and the suggestions and "Ignore" at the top of its context menu. The
// word being typed is marked only once the caret leaves it. Words the
// dictionary has not seen are checked a slice at a time between paints, so
// that a long paragraph never holds up a key.
class SpellMarks : public QObject {
    Q_OBJECT

public:
    explicit SpellMarks(QPlainTextEdit *edit);

    // Null: no marks; missing then says why, at the top of the menu.
    void setChecker(SpellChecker *checker, const QString &missing = QString());
    bool active() const { return m_spelling != nullptr; }

    // Before the blocks of one paint: the dictionary's time for it starts.
    void beginPaint();
    // The dictionary's time in one paint; a few words are checked in each
    // however short it is.
    void setSliceMs(int ms) { m_sliceMs = ms; }
    // Paints the marks of a block laid out in box (viewport coordinates).
    void paint(QPainter &painter, const QTextBlock &block, const QRectF &box) const;
    // Puts the suggestions for the misspelled word at position, if any, and
    // "Ignore" before the menu's first entry.
    void addToMenu(QMenu *menu, int position);

private:
    // The misspelled words of a block, checked once for each of its versions;
    // those found so far in this paint's time unless whole.
    const std::vector<WordSpan> &misspelled(const QTextBlock &block, bool whole = false) const;
    // The misspelled word at a position of the document, if any.
    std::optional<WordSpan> misspelledAt(int position) const;
    bool isBeingTyped(int start, int end) const;

    QPlainTextEdit *m_edit;
    SpellChecker *m_spelling = nullptr;
    QString m_missing;
    // Just after the last change of the text while the caret stays there; -1.
    int m_typedAt = -1;
    // When this paint's slice of the dictionary's work ends.
    int m_sliceMs = 5;
    QDeadlineTimer m_sliceEnds;
    // Paints again while words in view are still to be checked.
    QTimer *m_more;
};
