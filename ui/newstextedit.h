#pragma once

#include <QPlainTextEdit>

#include <memory>

// The news text area. Its text, seen from the document, is the text with CR LF
// line breaks; every character is carried unchanged through typing, the
// clipboard and drag and drop (a non-breaking space stays one).
//
// Inside, a line break is either a break between two of the text document's
// blocks or a line separator (U+2028) within a block: the document spends
// about a microsecond on every block, so text put in by the program is kept
// in blocks of a few kilobytes of whole lines each. Both look and act the same
// to the user, and both are a CR LF in the text.
class NewsTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NewsTextEdit(QWidget *parent = nullptr);

    QString newsText() const;
    // Length of newsText(), without building it.
    qsizetype newsTextLength() const;
    // Replaces the whole text; the undo history starts afresh.
    void setNewsText(const QString &text);
    // Adds to the end of the text, not undoably.
    void appendNewsText(const QString &more);

    // The selection as other programs get it: line breaks as LF.
    QString selectedNewsText() const;

    // Text with CR LF line breaks as the text area holds it: within blocks of
    // at least blockChars characters, line separators; a block break after
    // that and at the very end.
    static QString toTextAreaLines(const QString &text, qsizetype blockChars);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    void countLineSeparators(int position, int charsAdded);

    // Line separators in the whole text, kept by the blocks that hold them.
    std::shared_ptr<qsizetype> m_lineSeparators = std::make_shared<qsizetype>(0);
};
