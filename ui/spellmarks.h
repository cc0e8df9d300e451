#pragma once

#include "spelling.h"

#include <QObject>
#include <QRectF>

#include <optional>

class QMenu;
class QPainter;
class QPlainTextEdit;
class QTextBlock;

// The spelling marks of a text area: a red wavy line under each word the
// checker does not know, painted over the text (marking changes nothing in
// it), and the suggestions and "Ignore" at the top of its context menu. The
// word being typed is marked only once the caret leaves it.
class SpellMarks : public QObject {
    Q_OBJECT

public:
    explicit SpellMarks(QPlainTextEdit *edit);

    // Null: no marks; missing then says why, at the top of the menu.
    void setChecker(SpellChecker *checker, const QString &missing = QString());
    bool active() const { return m_spelling != nullptr; }

    // Paints the marks of a block laid out in box (viewport coordinates).
    void paint(QPainter &painter, const QTextBlock &block, const QRectF &box) const;
    // Puts the suggestions for the misspelled word at position, if any, and
    // "Ignore" before the menu's first entry.
    void addToMenu(QMenu *menu, int position);

private:
    // The misspelled words of a block, checked once for each of its versions.
    const QList<WordSpan> &misspelled(const QTextBlock &block) const;
    // The misspelled word at a position of the document, if any.
    std::optional<WordSpan> misspelledAt(int position) const;
    bool isBeingTyped(int start, int end) const;

    QPlainTextEdit *m_edit;
    SpellChecker *m_spelling = nullptr;
    QString m_missing;
    // Just after the last change of the text while the caret stays there; -1.
    int m_typedAt = -1;
};
