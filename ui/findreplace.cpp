#include "findreplace.h"

#include "said.h"

#include "finddialog.h"
#include "newstextedit.h"
#include "notice.h"
#include "stdstrings.h"
#include "windowgeometry.h"

#include <QApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

FindReplace::FindReplace(NewsTextEdit *text, Notice *notice)
    : QObject(text), m_text(text), m_notice(notice), m_dialog(new FindDialog(text->window()))
{
    connect(m_dialog, &FindDialog::findNext, this, [this] { find(false); });
    connect(m_dialog, &FindDialog::findPrevious, this, [this] { find(true); });
    connect(m_dialog, &FindDialog::replace, this, &FindReplace::replaceOne);
    connect(m_dialog, &FindDialog::replaceAll, this, &FindReplace::replaceAll);
}

FindReplace::~FindReplace() = default;

void FindReplace::open(bool replacing)
{
    const QTextCursor cursor = m_text->textCursor();
    const QString selected = cursor.selectedText();
    // Only a selection within one line is something to find.
    const bool oneLine =
        !selected.contains(QChar::ParagraphSeparator) && !selected.contains(QChar::LineSeparator);
    m_dialog->showFor(replacing, oneLine ? selected : QString());
    // Takes the text for searching while the user types what to find.
    QTimer::singleShot(0, this, [this] { search(); });
}

void FindReplace::repeat(bool backward)
{
    if (m_dialog->needle().isEmpty()) {
        if (!backward)
            open(false);
        return;
    }
    find(backward, true);
}

const TextSearch &FindReplace::search()
{
    QTextDocument *doc = m_text->document();
    if (!m_search || m_searchedRevision != doc->revision()) {
        m_search.emplace(std::u16string(qtstd::view(doc->toRawText())));
        m_searchedRevision = doc->revision();
    }
    return *m_search;
}

void FindReplace::tell(const QString &message, bool beepWhenClosed)
{
    m_dialog->tell(message);
    if (m_dialog->isVisible())
        return;
    m_notice->tell(message);
    if (beepWhenClosed)
        QApplication::beep();
}

bool FindReplace::mayFind(const QString &needle)
{
    if (needle.isEmpty()) {
        tell(QString(), false);
        return false;
    }
    if (TextSearch::holdsLineBreak(qtstd::view(needle))) {
        tell(said(Message::SearchWithinLine), true);
        return false;
    }
    return true;
}

void FindReplace::keepMatchInView()
{
    if (!m_dialog->isVisible() || !m_dialog->screen())
        return;
    const QTextCursor selected = m_text->textCursor();
    QTextCursor start(selected);
    start.setPosition(selected.selectionStart());
    QTextCursor end(selected);
    end.setPosition(selected.selectionEnd());
    const QRect match = m_text->cursorRect(start).united(m_text->cursorRect(end));
    const QRect onScreen(m_text->viewport()->mapToGlobal(match.topLeft()), match.size());
    const QRect window = m_dialog->frameGeometry();
    const QPoint to =
        WindowGeometry::clearOf(window, onScreen, m_dialog->screen()->availableGeometry());
    if (to != window.topLeft())
        m_dialog->move(to);
}

bool FindReplace::find(bool backward, bool collapse)
{
    const QString needle = m_dialog->needle();
    if (!mayFind(needle))
        return false;
    const QTextCursor cursor = m_text->textCursor();
    const qsizetype from = backward ? cursor.selectionStart() : cursor.selectionEnd();
    const TextSearch::Result result =
        search().find(qtstd::view(needle), from, m_dialog->options(), backward);
    if (!result.match.found()) {
        if (collapse && cursor.hasSelection()) {
            QTextCursor caret(cursor);
            caret.setPosition(int(from));
            m_text->setTextCursor(caret);
        }
        tell(said(Message::NotInText, {needle}), true);
        return false;
    }
    QTextCursor found(m_text->document());
    found.setPosition(int(result.match.start));
    found.setPosition(int(result.match.end()), QTextCursor::KeepAnchor);
    m_text->setTextCursor(found);
    m_text->ensureCursorVisible();
    keepMatchInView();
    if (result.wrapped) {
        tell(backward ? said(Message::PassedStart) : said(Message::PassedEnd), true);
    } else {
        tell(QString(), false);
    }
    return true;
}

void FindReplace::replaceOne()
{
    QTextCursor cursor = m_text->textCursor();
    const TextMatch selected{cursor.selectionStart(),
                             cursor.selectionEnd() - cursor.selectionStart()};
    if (search().isMatch(qtstd::view(m_dialog->needle()), selected, m_dialog->options())) {
        NewsTextEdit::replaceAsOneStep(cursor, m_dialog->replacement());
        m_text->setTextCursor(cursor);
    }
    find(false);
}

void FindReplace::replaceAll()
{
    const QString needle = m_dialog->needle();
    if (!mayFind(needle))
        return;
    const std::vector<TextMatch> matches =
        search().findAll(qtstd::view(needle), m_dialog->options());
    if (matches.empty()) {
        tell(said(Message::NotInText, {needle}), true);
        return;
    }
    // One step of the undo history; from the last match back, so that the
    // positions of the others hold.
    const QString replacement = m_dialog->replacement();
    m_text->editAsOneStep([&](QTextCursor &cursor) {
        for (auto m = matches.crbegin(); m != matches.crend(); ++m) {
            cursor.setPosition(int(m->start));
            cursor.setPosition(int(m->end()), QTextCursor::KeepAnchor);
            cursor.insertText(replacement);
        }
    });
    tell(matches.size() == 1 ? said(Message::ReplacedOnce)
                             : said(Message::ReplacedTimes, {QString::number(matches.size())}),
         false);
}
