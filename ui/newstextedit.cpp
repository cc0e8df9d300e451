#include "newstextedit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace {
// The document's raw text (U+2029 between blocks) with lineBreak for each,
// telling progress every million characters or so.
QString joinBlocks(const QString &raw, QLatin1StringView lineBreak, qsizetype breaks,
                   const ProgressSink &progress = {})
{
    if (breaks == 0)
        return raw;
    constexpr qsizetype kProgressEvery = 1 << 20;
    QString out;
    out.reserve(raw.size() + breaks * (lineBreak.size() - 1));
    qsizetype start = 0;
    qsizetype told = 0;
    for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
         i = raw.indexOf(QChar::ParagraphSeparator, start)) {
        out.append(QStringView(raw).sliced(start, i - start));
        out.append(lineBreak);
        start = i + 1;
        if (progress && start - told >= kProgressEvery) {
            progress(start, raw.size());
            told = start;
        }
    }
    out.append(QStringView(raw).sliced(start));
    return out;
}

QString joinBlocks(const QString &raw, QLatin1StringView lineBreak)
{
    return joinBlocks(raw, lineBreak, raw.count(QChar::ParagraphSeparator));
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

QString NewsTextEdit::newsText(const ProgressSink &progress) const
{
    // Not toPlainText(): it turns non-breaking spaces into spaces.
    return joinBlocks(document()->toRawText(), QLatin1StringView("\r\n"),
                      document()->blockCount() - 1, progress);
}

qsizetype NewsTextEdit::newsTextLength() const
{
    const QTextDocument *doc = document();
    // characterCount() holds one separator per block, the last block's too;
    // each line break is one character there and two here.
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

void NewsTextEdit::setNewsText(const QString &text)
{
    // CR LF, a lone CR and a lone LF each start a new block.
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
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    {
        QTextCursor end(doc);
        end.movePosition(QTextCursor::End);
        end.insertText(more);
    }
    QTextCursor caret(doc);
    caret.setPosition(anchor);
    caret.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(caret);
    doc->setUndoRedoEnabled(undoable);
}

QString NewsTextEdit::selectedNewsText() const
{
    return joinBlocks(textCursor().selectedText(), QLatin1StringView("\n"));
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
    // insertText() makes a block of every CR LF, CR, LF and paragraph
    // separator; a line separator is a line break of the text too.
    QString text = source->text();
    text.replace(QChar::LineSeparator, u'\n');
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}
