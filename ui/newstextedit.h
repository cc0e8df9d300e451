#pragma once

#include "progress.h"

#include <QPlainTextEdit>

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

    QString newsText(const ProgressSink &progress = {}) const;
    // Length of newsText(), without building it.
    qsizetype newsTextLength() const;
    // Replaces the whole text; the undo history starts afresh.
    void setNewsText(const QString &text);
    // Adds to the end of the text, not undoably.
    void appendNewsText(const QString &more);

    // The selection as other programs get it: line breaks as LF.
    QString selectedNewsText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
};
