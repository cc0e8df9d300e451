#include "newsdocument.h"

namespace {
const QChar kTitleMark = u'*';

bool endsWithMark(const QString &title)
{
    return !title.isEmpty() && title.back() == kTitleMark;
}

// Holds a flag while a write lasts, also when the write throws.
class Writing {
public:
    explicit Writing(bool &flag) : m_flag(flag) { m_flag = true; }
    ~Writing() { m_flag = false; }
    Writing(const Writing &) = delete;
    Writing &operator=(const Writing &) = delete;

private:
    bool &m_flag;
};
} // namespace

QString NewsDocument::SavedText() const
{
    return m_savedAsBytes ? qtstd::string(m_codePage.decode(m_savedBytes)) : m_savedText;
}

bool NewsDocument::textEqualsSaved() const
{
    // Lengths first: an edit that changes the length needs no look at the text.
    const qsizetype savedLength = m_savedAsBytes ? m_savedLength : m_savedText.size();
    if (m_host.textLength() != savedLength)
        return false;
    const QString text = m_host.text();
    return m_savedAsBytes ? m_codePage.equals(qtstd::view(text), m_savedBytes)
                          : text == m_savedText;
}

void NewsDocument::removeTitleMark()
{
    const QString title = m_host.title();
    if (endsWithMark(title))
        m_host.setTitle(title.left(title.size() - 1));
}

void NewsDocument::TextChanged()
{
    if (m_loadingFile || m_writing)
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

void NewsDocument::setText(const QString &text)
{
    {
        const Writing writing(m_writing);
        m_host.setText(text);
    }
    TextChanged();
}

std::vector<CodePage::Composed> NewsDocument::composeForSave(QString &text) const
{
    const std::vector<CodePage::Composed> parts = m_codePage.composable(qtstd::view(text));
    if (!parts.empty())
        text = DocumentHost::withParts(std::move(text), parts);
    return parts;
}

void NewsDocument::showComposed(const std::vector<CodePage::Composed> &parts)
{
    if (parts.empty())
        return;
    {
        const Writing writing(m_writing);
        m_host.replaceParts(parts);
    }
    TextChanged();
}

void NewsDocument::appendText(const QString &more)
{
    {
        const Writing writing(m_writing);
        m_host.appendText(more);
    }
    TextChanged();
}

void NewsDocument::beginLoad()
{
    m_loadingFile = true;
}

void NewsDocument::finishLoad(std::string fileBytes)
{
    m_loadingFile = false;
    MarkClean(std::move(fileBytes));
}

void NewsDocument::finishLoadFromNoFile()
{
    m_loadingFile = false;
    TextChanged();
}

void NewsDocument::failLoad(const QString &message)
{
    setText(message);
    m_loadingFile = false;
}

void NewsDocument::keepBytesAsSaved(std::string bytes)
{
    // The bytes decode to the text as it stands (the contract of MarkClean):
    // its length is the host's, without a pass over the bytes.
    m_savedLength = m_codePage.isDoubleByte() ? m_host.textLength() : qsizetype(bytes.size());
    m_savedBytes = std::move(bytes);
    m_savedText = QString();
    m_savedAsBytes = true;
}

void NewsDocument::keepAsSaved(const QString &text)
{
    bool exact = false;
    std::ptrdiff_t join = -1;
    std::string bytes;
    if (m_codePage.firstUnstorable(qtstd::view(text)) < 0)
        bytes = m_codePage.encode(qtstd::view(text), &exact, &join);
    if (exact && join < 0) {
        keepBytesAsSaved(std::move(bytes));
    } else {
        m_savedText = text;
        m_savedBytes = std::string();
        m_savedAsBytes = false;
    }
}

void NewsDocument::becomeClean()
{
    m_unsaved = false;
    removeTitleMark();
}

void NewsDocument::MarkClean()
{
    keepAsSaved(m_host.text());
    becomeClean();
}

void NewsDocument::MarkClean(std::string fileBytes)
{
    keepBytesAsSaved(std::move(fileBytes));
    becomeClean();
}

void NewsDocument::Reset()
{
    m_unsaved = false;
    m_loadingFile = false;
    m_writing = false;
}
