#include "newstextedit.h"

#include "spellmarks.h"

#include <QAbstractTextDocumentLayout>
#include <QAbstractUndoItem>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace {
// Appends raw text of the document (U+2029 between blocks) with lineBreak
// for each block separator, telling progress every million characters or so.
void appendJoined(QString &out, QStringView raw, QLatin1StringView lineBreak,
                  const ProgressSink &progress = {})
{
    qsizetype start = 0;
    qsizetype told = 0;
    for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
         i = raw.indexOf(QChar::ParagraphSeparator, start)) {
        out.append(raw.sliced(start, i - start));
        out.append(lineBreak);
        start = i + 1;
        if (progress && start - told >= kSlice) {
            progress(start, raw.size());
            told = start;
        }
    }
    out.append(raw.sliced(start));
}

QString joinBlocks(QStringView raw, QLatin1StringView lineBreak, const ProgressSink &progress = {})
{
    QString out;
    out.reserve(raw.size() + raw.count(QChar::ParagraphSeparator) * (lineBreak.size() - 1));
    appendJoined(out, raw, lineBreak, progress);
    return out;
}

// The first and last items of an edit of the program's. Qt's undo history
// joins an insertion typed right after an edit to that edit's last insertion:
// an item of another kind there keeps the typed text a step of its own. And
// undoing an edit of several changes leaves the caret at the start of the
// text unless the edit begins with an item of another kind.
class UndoStepEnd : public QAbstractUndoItem {
public:
    void undo() override {}
    void redo() override {}
};
} // namespace

NewsTextEdit::NewsTextEdit(QWidget *parent) : QPlainTextEdit(parent), m_marks(new SpellMarks(this))
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

void NewsTextEdit::setSpellChecker(SpellChecker *checker, const QString &missing)
{
    m_marks->setChecker(checker, missing);
}

void NewsTextEdit::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    if (!m_marks->active())
        return;
    m_marks->beginPaint();
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::red, 1));
    const QPointF offset = contentOffset();
    // Only what is on screen is checked.
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > event->rect().bottom())
            break;
        if (block.isVisible() && box.bottom() >= event->rect().top())
            m_marks->paint(painter, block, box);
    }
}

void NewsTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        showContextMenu(event->globalPos(), cursorForPosition(event->pos()).position());
    } else {
        showContextMenuAtCaret();
    }
    event->accept();
}

void NewsTextEdit::showContextMenuAtCaret()
{
    showContextMenu(viewport()->mapToGlobal(cursorRect().bottomLeft()), textCursor().position());
}

void NewsTextEdit::showContextMenu(const QPoint &at, int position)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(viewport()->mapFromGlobal(at)));
    menu->setObjectName(QStringLiteral("TextMenu"));
    m_marks->addToMenu(menu.get(), position);
    menu->exec(at);
}

void NewsTextEdit::replaceAsOneStep(QTextCursor &cursor, const QString &text)
{
    cursor.beginEditBlock();
    cursor.document()->appendUndoItem(new UndoStepEnd);
    cursor.insertText(text);
    cursor.document()->appendUndoItem(new UndoStepEnd);
    cursor.endEditBlock();
}

void NewsTextEdit::editAsOneStep(const std::function<void(QTextCursor &)> &edit)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    document()->appendUndoItem(new UndoStepEnd);
    edit(cursor);
    document()->appendUndoItem(new UndoStepEnd);
    cursor.endEditBlock();
}

QString NewsTextEdit::newsText(const ProgressSink &progress, int copyAtOnce) const
{
    // Not toPlainText(): it turns non-breaking spaces into spaces.
    const QLatin1StringView lineBreak("\r\n");
    QTextDocument *doc = document();
    // The document's own copy of its whole text is the fastest way, but it
    // tells nothing while it runs: past some 64 million characters it takes
    // more than a few tenths of a second (1.4 s for 250 MB), so a longer text
    // is copied a slice at a time, telling progress after each.
    const int total = doc->characterCount() - 1; // the last block's separator is no text
    if (total <= copyAtOnce)
        return joinBlocks(doc->toRawText(), lineBreak, progress);
    QString out;
    out.reserve(newsTextLength());
    QTextCursor slice(doc);
    for (int start = 0; start < total;) {
        const int end = std::min(total, start + int(kSlice));
        slice.setPosition(start);
        slice.setPosition(end, QTextCursor::KeepAnchor);
        appendJoined(out, slice.selectedText(), lineBreak);
        start = end;
        if (progress)
            progress(start, total);
    }
    return out;
}

qsizetype NewsTextEdit::newsTextLength() const
{
    const QTextDocument *doc = document();
    // characterCount() holds one separator per block, the last block's too;
    // each line break is one character there and two here.
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

int NewsTextEdit::firstLineInView() const
{
    return firstVisibleBlock().blockNumber();
}

int NewsTextEdit::rowsOutOfView() const
{
    // The view's scroll bar counts the lines as laid out, wrapped ones too.
    return std::max(0, verticalScrollBar()->value() - firstVisibleBlock().firstLineNumber());
}

void NewsTextEdit::showFromLine(int line, int rowsAbove)
{
    const QTextBlock block =
        document()->findBlockByNumber(std::clamp(line, 0, document()->blockCount() - 1));
    // Laid out now, so that its wrapped rows are known.
    document()->documentLayout()->blockBoundingRect(block);
    const int rows = std::max(1, block.lineCount());
    verticalScrollBar()->setValue(block.firstLineNumber() + std::clamp(rowsAbove, 0, rows - 1));
}

void NewsTextEdit::placeCaret(int line, int column)
{
    const QTextBlock block =
        document()->findBlockByNumber(std::clamp(line, 0, document()->blockCount() - 1));
    QTextCursor caret(block);
    caret.setPosition(block.position() + std::clamp(column, 0, block.length() - 1));
    setTextCursor(caret);
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
    // Shift+F10 opens the context menu at the caret, as the menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        showContextMenuAtCaret();
        event->accept();
        return;
    }
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
