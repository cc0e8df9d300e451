#include "spellmarks.h"

#include "newstextedit.h"
#include "stdstrings.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>

namespace {
// The fewest words a paint asks the dictionary about.
constexpr int kAtLeast = 16;

// A block's misspelled words, as one checker found them for one version of
// the block's text and of the ignored words: those before toCheck[next].
class BlockMarks : public QTextBlockUserData {
public:
    const SpellChecker *checker = nullptr;
    int revision = -1;
    int generation = -1;
    std::vector<WordSpan> toCheck;
    std::size_t next = 0;
    std::vector<WordSpan> words;
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

SpellMarks::SpellMarks(QPlainTextEdit *edit) : QObject(edit), m_edit(edit), m_more(new QTimer(this))
{
    m_more->setSingleShot(true);
    m_more->setInterval(0);
    connect(m_more, &QTimer::timeout, this, [this] { m_edit->viewport()->update(); });
    connect(edit->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int charsAdded) { m_typedAt = position + charsAdded; });
    connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        // The caret has left the word being typed: it may be marked now.
        if (m_typedAt >= 0 && m_edit->textCursor().position() != m_typedAt) {
            m_typedAt = -1;
            if (m_spelling)
                m_edit->viewport()->update();
        }
    });
}

void SpellMarks::setChecker(SpellChecker *checker, const QString &missing)
{
    m_spelling = checker;
    m_missing = checker ? QString() : missing;
    m_edit->viewport()->update();
}

void SpellMarks::beginPaint()
{
    m_sliceEnds = QDeadlineTimer(m_sliceMs);
}

const std::vector<WordSpan> &SpellMarks::misspelled(const QTextBlock &block, bool whole) const
{
    auto *marks = static_cast<BlockMarks *>(block.userData());
    if (!marks) {
        marks = new BlockMarks;
        QTextBlock(block).setUserData(marks);
    }
    const bool stale = marks->checker != m_spelling || marks->revision != block.revision() ||
                       marks->generation != m_spelling->generation();
    if (!stale && marks->next == marks->toCheck.size())
        return marks->words;
    const QString text = block.text();
    if (stale) {
        marks->toCheck = wordsToCheck(qtstd::view(text));
        marks->next = 0;
        marks->words.clear();
        marks->checker = m_spelling;
        marks->revision = block.revision();
        marks->generation = m_spelling->generation();
    }
    // A few new words each time, however long the rest took: marking
    // always gets on.
    int asked = 0;
    for (; marks->next < marks->toCheck.size(); ++marks->next) {
        const WordSpan &word = marks->toCheck.at(marks->next);
        const std::u16string_view view =
            qtstd::view(QStringView(text).sliced(word.start, word.length));
        std::optional<bool> correct = m_spelling->isCorrectAtOnce(view);
        if (!correct && (whole || asked++ < kAtLeast || !m_sliceEnds.hasExpired()))
            correct = m_spelling->isCorrect(view);
        if (!correct) {
            m_more->start(); // the rest in a later slice
            break;
        }
        if (!*correct)
            marks->words.push_back(word);
    }
    return marks->words;
}

bool SpellMarks::isBeingTyped(int start, int end) const
{
    // The caret at the end of the word that was just changed.
    const QTextCursor caret = m_edit->textCursor();
    return m_typedAt >= start && m_typedAt <= end && caret.position() == end &&
           !caret.hasSelection();
}

std::optional<WordSpan> SpellMarks::misspelledAt(int position) const
{
    if (!m_spelling)
        return std::nullopt;
    const QTextBlock block = m_edit->document()->findBlock(position);
    const int at = position - block.position();
    for (const WordSpan &word : misspelled(block, true)) {
        const int start = block.position() + int(word.start);
        if (at >= word.start && at <= word.end() && !isBeingTyped(start, start + int(word.length)))
            return WordSpan{start, word.length};
    }
    return std::nullopt;
}

void SpellMarks::paint(QPainter &painter, const QTextBlock &block, const QRectF &box) const
{
    if (!m_spelling)
        return;
    const std::vector<WordSpan> &words = misspelled(block);
    if (words.empty())
        return;
    // Only the rows in view, and on each only its words: a paragraph of
    // thousands of rows costs no more than a short one.
    const QTextLayout *layout = block.layout();
    const QRectF view = m_edit->viewport()->rect();
    const int rows = layout->lineCount();
    int row = 0;
    for (int step = rows; step > 0; step /= 2) {
        while (row + step < rows &&
               box.top() + layout->lineAt(row + step).rect().bottom() < view.top())
            row += step;
    }
    for (; row < rows; ++row) {
        const QTextLine line = layout->lineAt(row);
        if (box.top() + line.y() > view.bottom())
            break;
        const int lineStart = line.textStart(), lineEnd = lineStart + line.textLength();
        auto word = std::lower_bound(words.cbegin(), words.cend(), lineStart,
                                     [](const WordSpan &w, int at) { return w.end() <= at; });
        for (; word != words.cend() && word->start < lineEnd; ++word) {
            const int start = block.position() + int(word->start);
            if (isBeingTyped(start, start + int(word->length)))
                continue;
            const int from = std::max<int>(int(word->start), lineStart);
            const int to = std::min<int>(int(word->end()), lineEnd);
            const qreal y = box.top() + line.y() + line.ascent() + 2.5;
            drawWave(painter, box.left() + line.cursorToX(from), box.left() + line.cursorToX(to),
                     y);
        }
    }
}

void SpellMarks::addToMenu(QMenu *menu, int position)
{
    if (!m_missing.isEmpty()) {
        QAction *why = new QAction(m_missing, menu);
        why->setEnabled(false);
        menu->insertAction(menu->actions().value(0), why);
        menu->insertSeparator(menu->actions().value(1));
        return;
    }
    const std::optional<WordSpan> word = misspelledAt(position);
    if (!word)
        return;
    QTextCursor range(m_edit->document());
    range.setPosition(int(word->start));
    range.setPosition(int(word->end()), QTextCursor::KeepAnchor);
    const QString wrong = range.selectedText();
    QAction *first = menu->actions().value(0);
    const std::vector<std::u16string> suggestions = m_spelling->suggestions(qtstd::view(wrong));
    for (const std::u16string &offered : suggestions) {
        const QString suggestion = qtstd::string(offered);
        QAction *take = new QAction(suggestion, menu);
        connect(take, &QAction::triggered, this, [range, suggestion]() mutable {
            NewsTextEdit::replaceAsOneStep(range, suggestion);
        });
        menu->insertAction(first, take);
    }
    if (suggestions.empty()) {
        QAction *none = new QAction(tr("No suggestions"), menu);
        none->setEnabled(false);
        menu->insertAction(first, none);
    }
    QAction *ignore = new QAction(tr("Ignore"), menu);
    connect(ignore, &QAction::triggered, this, [this, wrong] {
        m_spelling->ignore(qtstd::view(wrong));
        m_edit->viewport()->update();
    });
    menu->insertAction(first, ignore);
    menu->insertSeparator(first);
}
