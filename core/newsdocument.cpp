#include "newsdocument.h"

namespace {
const QChar kTitleMark = u'*';

bool endsWithMark(const QString &title) {
    return !title.isEmpty() && title.back() == kTitleMark;
}
} // namespace

bool NewsDocument::textEqualsSaved() const {
    // Lengths first: an edit that changes the length needs no look at the text.
    if (m_host.textLength() != m_savedText.size())
        return false;
    return m_host.text() == m_savedText;
}

void NewsDocument::removeTitleMark() {
    const QString title = m_host.title();
    if (endsWithMark(title))
        m_host.setTitle(title.left(title.size() - 1));
}

void NewsDocument::TextChanged() {
    if (m_loadingFile)
        return;
    if (!textEqualsSaved()) {
        m_unsaved = true;
        const QString title = m_host.title();
        if (!endsWithMark(title))
            m_host.setTitle(title + kTitleMark);
    } else {
        m_unsaved = false;
        removeTitleMark();
    }
}

void NewsDocument::MarkClean() {
    m_unsaved = false;
    m_savedText = m_host.text();
    removeTitleMark();
}

void NewsDocument::Reset() {
    m_unsaved = false;
    m_loadingFile = false;
}
