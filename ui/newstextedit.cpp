#include "newstextedit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

namespace {
// Blocks the program fills hold whole lines up to about this many characters.
constexpr qsizetype kBlockChars = 4096;

// Raw document text (U+2029 between blocks, U+2028 within) with lineBreak for each.
QString joinLines(const QString &raw, QStringView lineBreak)
{
    const qsizetype blocks = raw.count(QChar::ParagraphSeparator);
    const qsizetype lines = raw.count(QChar::LineSeparator);
    if (blocks + lines == 0)
        return raw;
    QString out;
    out.reserve(raw.size() + (blocks + lines) * (lineBreak.size() - 1));
    // Two searches side by side, each as fast as one for a single character.
    qsizetype nextBlock = blocks ? raw.indexOf(QChar::ParagraphSeparator) : -1;
    qsizetype nextLine = lines ? raw.indexOf(QChar::LineSeparator) : -1;
    qsizetype start = 0;
    while (nextBlock >= 0 || nextLine >= 0) {
        const bool block = nextLine < 0 || (nextBlock >= 0 && nextBlock < nextLine);
        const qsizetype i = block ? nextBlock : nextLine;
        out.append(QStringView(raw).sliced(start, i - start));
        out.append(lineBreak);
        start = i + 1;
        if (block)
            nextBlock = raw.indexOf(QChar::ParagraphSeparator, start);
        else
            nextLine = raw.indexOf(QChar::LineSeparator, start);
    }
    out.append(QStringView(raw).sliced(start));
    return out;
}

// A block's own count of the line separators in it; the total follows.
class LineSeparators : public QTextBlockUserData {
public:
    LineSeparators(std::shared_ptr<qsizetype> total, qsizetype count)
        : m_total(std::move(total)), m_count(count)
    {
        *m_total += m_count;
    }
    ~LineSeparators() override { *m_total -= m_count; }
    void set(qsizetype count)
    {
        *m_total += count - m_count;
        m_count = count;
    }

private:
    std::shared_ptr<qsizetype> m_total;
    qsizetype m_count;
};
} // namespace

QString NewsTextEdit::toTextAreaLines(const QString &text, qsizetype blockChars)
{
    QString out = text;
    QChar *p = out.data();
    const qsizetype n = out.size();
    qsizetype blockStart = 0;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') {
            ++i;
            const bool blockEnd = kept - blockStart >= blockChars || i + 1 == n;
            p[kept++] = blockEnd ? QChar::ParagraphSeparator : QChar::LineSeparator;
            if (blockEnd)
                blockStart = kept;
        } else {
            p[kept++] = p[i];
        }
    }
    out.truncate(kept);
    return out;
}

void NewsTextEdit::countLineSeparators(int position, int charsAdded)
{
    // Every block the change touched counts its own again; the blocks it
    // removed took their counts with them.
    const QTextDocument *doc = document();
    const QTextBlock last = doc->findBlock(position + charsAdded);
    for (QTextBlock b = doc->findBlock(position); b.isValid(); b = b.next()) {
        const qsizetype count = b.text().count(QChar::LineSeparator);
        if (auto *own = static_cast<LineSeparators *>(b.userData()))
            own->set(count);
        else if (count > 0)
            b.setUserData(new LineSeparators(m_lineSeparators, count));
        if (b == last)
            break;
    }
}

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
            [this](int position, int, int charsAdded) {
                countLineSeparators(position, charsAdded);
            });
}

QString NewsTextEdit::newsText() const
{
    // Not toPlainText(): it turns non-breaking spaces into spaces.
    return joinLines(document()->toRawText(), u"\r\n");
}

qsizetype NewsTextEdit::newsTextLength() const
{
    const QTextDocument *doc = document();
    // characterCount() holds one separator per block, the last block's too;
    // each line break, of either kind, is one character there and two here.
    const qsizetype lineBreaks = doc->blockCount() - 1 + *m_lineSeparators;
    return doc->characterCount() - 1 + lineBreaks;
}

void NewsTextEdit::setNewsText(const QString &text)
{
    setPlainText(toTextAreaLines(text, kBlockChars));
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
    end.insertText(toTextAreaLines(more, kBlockChars));
    caret.setPosition(anchor);
    caret.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(caret);
    doc->setUndoRedoEnabled(undoable);
}

QString NewsTextEdit::selectedNewsText() const
{
    return joinLines(textCursor().selectedText(), u"\n");
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

void NewsTextEdit::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    // A triple click selects a block; where the block holds several lines,
    // select the one line under the mouse, as for any other line.
    QTextCursor c = textCursor();
    if (event->modifiers() != Qt::NoModifier || !c.hasSelection())
        return;
    const QTextBlock block = document()->findBlock(c.selectionStart());
    const int blockEnd = block.position() + block.length();
    if (c.selectionStart() != block.position() || c.selectionEnd() < blockEnd - 1)
        return;
    const QString text = block.text();
    const int at = cursorForPosition(event->position().toPoint()).position() - block.position();
    const qsizetype before = at > 0 ? text.lastIndexOf(QChar::LineSeparator, at - 1) : -1;
    const qsizetype after = text.indexOf(QChar::LineSeparator, at);
    if (before < 0 && after < 0)
        return;
    const int start = block.position() + int(before + 1);
    const int end = after < 0 ? c.selectionEnd() : block.position() + int(after + 1);
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
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
