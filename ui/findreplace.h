#pragma once

#include "textsearch.h"

#include <QObject>

#include <memory>
#include <optional>

class FindDialog;
class NewsTextEdit;
class Notice;

// Find and Replace on the news text area: the Find window, the searches it
// and F3 ask for, and the replacing. Found text is selected and scrolled
// into view; replacing is an edit like any other, so the title mark follows.
// What a search came to shows in the Find window, or, while it is closed, in
// the window's notice.
class FindReplace : public QObject {
    Q_OBJECT

public:
    FindReplace(NewsTextEdit *text, Notice *notice);
    ~FindReplace() override;

    // Ctrl+F and Ctrl+H: the Find window, with the selection to find when it
    // is within one line.
    void open(bool replacing);
    // F3 and Shift+F3: the last search again; before any, F3 opens Find.
    void repeat(bool backward);

    FindDialog *dialog() const { return m_dialog; }

private:
    // Searches from the selection and selects what is found; false when
    // nothing is. With collapse, nothing found leaves the caret at the end of
    // the selection (at its start, backward), which no longer looks like a hit.
    bool find(bool backward, bool collapse = false);
    // Whether a search for the needle can find anything; if not, says why.
    bool mayFind(const QString &needle);
    // Moves the Find window off the selected match.
    void keepMatchInView();
    void replaceOne();
    void replaceAll();
    const TextSearch &search();
    void tell(const QString &message, bool beepWhenClosed);

    NewsTextEdit *m_text;
    Notice *m_notice;
    FindDialog *m_dialog;
    // The text as last searched, kept while the text stays the same.
    std::optional<TextSearch> m_search;
    int m_searchedRevision = -1;
};
