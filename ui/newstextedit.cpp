#include "newstextedit.h"

#include <QAbstractUndoItem>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {
// The document's raw text (U+2029 between blocks) with lineBreak for each,
// telling progress every million characters or so.
// Appends raw text of the document (U+2029 between blocks) with lineBreak
// for each block separator, telling progress every million characters or so.
void appendJoined(QString &out, QStringView raw, QLatin1StringView lineBreak,
                  const ProgressSink &progress = {})
{
    constexpr qsizetype kProgressEvery = 1 << 20;
    qsizetype start = 0;
    qsizetype told = 0;
    for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
         i = raw.indexOf(QChar::ParagraphSeparator, start)) {
        out.append(raw.sliced(start, i - start));
        out.append(lineBreak);
        start = i + 1;
        if (progress && start - told >= kProgressEvery) {
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

// A block's misspelled words, as one checker found them for one version of
// the block's text and of the ignored words.
class SpellMarks : public QTextBlockUserData {
public:
    const SpellChecker *checker = nullptr;
    int revision = -1;
    int generation = -1;
    QList<WordSpan> words;
};

// The last item of an edit of the program's: Qt's undo history joins an
// insertion typed right after an edit to that edit's last insertion; an item
// of another kind there keeps the typed text a step of its own.
class UndoStepEnd : public QAbstractUndoItem {
public:
    void undo() override {}
    void redo() override {}
};

// The red wavy line under a misspelled word, from x1 to x2 at height y.
void drawWave(QPainter &painter, qreal x1, qreal x2, qreal y)
{
    QPainterPath wave(QPointF(x1, y));
    bool up = true;
    for (qreal x = x1 + 2; x < x2 + 2; x += 2, up = !up)
        wave.lineTo(std::min(x, x2), up ? y - 2 : y);
    painter.drawPath(wave);
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
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int charsAdded) { m_typedAt = position + charsAdded; });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        // The caret has left the word being typed: it may be marked now.
        if (m_typedAt >= 0 && textCursor().position() != m_typedAt) {
            m_typedAt = -1;
            if (m_spelling)
                viewport()->update();
        }
    });
}

void NewsTextEdit::setSpellChecker(SpellChecker *checker)
{
    m_spelling = checker;
    viewport()->update();
}

const QList<WordSpan> &NewsTextEdit::misspelled(const QTextBlock &block) const
{
    auto *marks = static_cast<SpellMarks *>(block.userData());
    if (!marks) {
        marks = new SpellMarks;
        QTextBlock(block).setUserData(marks);
    }
    if (marks->checker != m_spelling || marks->revision != block.revision() ||
        marks->generation != m_spelling->generation()) {
        const QString text = block.text();
        marks->words.clear();
        for (const WordSpan &word : wordsToCheck(text)) {
            if (!m_spelling->isCorrect(QStringView(text).sliced(word.start, word.length)))
                marks->words.append(word);
        }
        marks->checker = m_spelling;
        marks->revision = block.revision();
        marks->generation = m_spelling->generation();
    }
    return marks->words;
}

bool NewsTextEdit::isBeingTyped(int start, int end) const
{
    // The caret at the end of the word that was just changed.
    return m_typedAt >= start && m_typedAt <= end && textCursor().position() == end &&
           !textCursor().hasSelection();
}

std::optional<WordSpan> NewsTextEdit::misspelledAt(int position) const
{
    if (!m_spelling)
        return std::nullopt;
    const QTextBlock block = document()->findBlock(position);
    const int at = position - block.position();
    for (const WordSpan &word : misspelled(block)) {
        const int start = block.position() + int(word.start);
        if (at >= word.start && at <= word.end() && !isBeingTyped(start, start + int(word.length)))
            return WordSpan{start, word.length};
    }
    return std::nullopt;
}

void NewsTextEdit::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    if (!m_spelling)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::red, 1));
    const QPointF offset = contentOffset();
    // Only what is on screen is checked.
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > event->rect().bottom())
            break;
        if (!block.isVisible() || box.bottom() < event->rect().top())
            continue;
        const QTextLayout *layout = block.layout();
        for (const WordSpan &word : misspelled(block)) {
            const int start = block.position() + int(word.start);
            if (isBeingTyped(start, start + int(word.length)))
                continue;
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int from = std::max<int>(int(word.start), line.textStart());
                const int to = std::min<int>(int(word.end()), line.textStart() + line.textLength());
                if (from >= to)
                    continue;
                const qreal y = box.top() + line.y() + line.ascent() + 2.5;
                drawWave(painter, box.left() + line.cursorToX(from),
                         box.left() + line.cursorToX(to), y);
            }
        }
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
    if (const std::optional<WordSpan> word = misspelledAt(position)) {
        QTextCursor range(document());
        range.setPosition(int(word->start));
        range.setPosition(int(word->end()), QTextCursor::KeepAnchor);
        const QString wrong = range.selectedText();
        QAction *first = menu->actions().value(0);
        const QStringList suggestions = m_spelling->suggestions(wrong);
        for (const QString &suggestion : suggestions) {
            QAction *take = new QAction(suggestion, menu.get());
            connect(take, &QAction::triggered, this,
                    [range, suggestion]() mutable { replaceAsOneStep(range, suggestion); });
            menu->insertAction(first, take);
        }
        if (suggestions.isEmpty()) {
            QAction *none = new QAction(tr("No suggestions"), menu.get());
            none->setEnabled(false);
            menu->insertAction(first, none);
        }
        QAction *ignore = new QAction(tr("Ignore"), menu.get());
        connect(ignore, &QAction::triggered, this, [this, wrong] {
            m_spelling->ignore(wrong);
            viewport()->update();
        });
        menu->insertAction(first, ignore);
        menu->insertSeparator(first);
    }
    menu->exec(at);
}

void NewsTextEdit::replaceAsOneStep(QTextCursor &cursor, const QString &text)
{
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.document()->appendUndoItem(new UndoStepEnd);
    cursor.endEditBlock();
}

void NewsTextEdit::editAsOneStep(const std::function<void(QTextCursor &)> &edit)
{
    QTextCursor cursor(document());
    cursor.beginEditBlock();
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
    constexpr int kSlice = 1 << 20;
    const int total = doc->characterCount() - 1; // the last block's separator is no text
    if (total <= copyAtOnce)
        return joinBlocks(doc->toRawText(), lineBreak, progress);
    QString out;
    out.reserve(newsTextLength());
    QTextCursor slice(doc);
    for (int start = 0; start < total;) {
        const int end = std::min(total, start + kSlice);
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
