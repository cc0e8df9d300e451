#include "newstextedit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

namespace {
// The document keeps a line break as U+2029 between blocks.
QString joinBlocks(const QString &raw, QStringView lineBreak)
{
    const qsizetype breaks = raw.count(QChar::ParagraphSeparator);
    if (breaks == 0)
        return raw;
    QString out;
    out.reserve(raw.size() + breaks * (lineBreak.size() - 1));
    qsizetype start = 0;
    for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
         i = raw.indexOf(QChar::ParagraphSeparator, start)) {
        out.append(QStringView(raw).mid(start, i - start));
        out.append(lineBreak);
        start = i + 1;
    }
    out.append(QStringView(raw).mid(start));
    return out;
}
} // namespace

NewsTextEdit::NewsTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Always there, so the wrap width never changes with the text's length.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab and Shift+Tab walk the window's controls; a tab character that comes
    // in through a file or the clipboard stays as it is.
    setTabChangesFocus(true);
}

QString NewsTextEdit::newsText() const
{
    // Not toPlainText(): it turns non-breaking spaces into spaces.
    return joinBlocks(document()->toRawText(), u"\r\n");
}

qsizetype NewsTextEdit::newsTextLength() const
{
    const QTextDocument *doc = document();
    // characterCount() holds one separator per block, the last block's too.
    const qsizetype lineBreaks = doc->blockCount() - 1;
    return doc->characterCount() - 1 + lineBreaks;
}

void NewsTextEdit::setNewsText(const QString &text)
{
    setPlainText(text);
}

void NewsTextEdit::appendNewsText(const QString &more)
{
    QTextDocument *doc = document();
    const bool undoable = doc->isUndoRedoEnabled();
    // Appending belongs to a load, which is not undoable; switching undo off
    // also forgets what came before.
    doc->setUndoRedoEnabled(false);
    // The caret stays where it was (at the start after a load), not pushed
    // along by the insertion.
    QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertText(more);
    caret.setPosition(anchor);
    caret.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(caret);
    doc->setUndoRedoEnabled(undoable);
}

QString NewsTextEdit::selectedNewsText() const
{
    return joinBlocks(textCursor().selectedText(), u"\n");
}

void NewsTextEdit::keyPressEvent(QKeyEvent *event)
{
    // Shift+Enter would put a soft line separator into the text; news has
    // only ordinary line breaks.
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        textCursor().insertBlock();
        ensureCursorVisible();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData *NewsTextEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    data->setText(selectedNewsText());
    return data;
}

void NewsTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText())
        return;
    // The text as it comes; insertText() makes CR LF, CR and LF line breaks.
    QTextCursor cursor = textCursor();
    cursor.insertText(source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}
