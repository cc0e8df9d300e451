#include "newsdocument.h"

namespace {
const char16_t kTitleMark = u'*';

bool endsWithMark(std::u16string_view title)
{
    return !title.empty() && title.back() == kTitleMark;
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

std::u16string NewsDocument::SavedText() const
{
    return m_savedAsBytes ? m_codePage.decode(m_savedBytes) : m_savedText;
}

bool NewsDocument::textEqualsSaved() const
{
    // Lengths first: an edit that changes the length needs no look at the text.
    const std::ptrdiff_t savedLength =
        m_savedAsBytes ? m_savedLength : std::ptrdiff_t(m_savedText.size());
    if (m_host.textLength() != savedLength)
        return false;
    const HeldText text = m_host.text();
    return m_savedAsBytes ? m_codePage.equals(text.view(), m_savedBytes)
                          : text.view() == m_savedText;
}

void NewsDocument::removeTitleMark()
{
    const std::u16string title = m_host.title();
    if (endsWithMark(title))
        m_host.setTitle(std::u16string_view(title).substr(0, title.size() - 1));
}

void NewsDocument::TextChanged()
{
    if (m_loadingFile || m_writing)
        return;
    if (!textEqualsSaved()) {
        m_unsaved = true;
        std::u16string title = m_host.title();
        if (!endsWithMark(title))
            m_host.setTitle(title += kTitleMark);
    } else {
        m_unsaved = false;
        removeTitleMark();
    }
}

void NewsDocument::setText(std::u16string_view text)
{
    {
        const Writing writing(m_writing);
        m_host.setText(text);
    }
    TextChanged();
}

std::vector<CodePage::Composed> NewsDocument::composeForSave(HeldText &text) const
{
    const std::vector<CodePage::Composed> parts = m_codePage.composable(text.view());
    if (!parts.empty())
        text = HeldText(DocumentHost::withParts(text.string(), parts));
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

void NewsDocument::appendText(std::u16string_view more)
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

void NewsDocument::failLoad(std::u16string_view message)
{
    setText(message);
    m_loadingFile = false;
}

void NewsDocument::keepBytesAsSaved(std::string bytes)
{
    // The bytes decode to the text as it stands (the contract of MarkClean):
    // its length is the host's, without a pass over the bytes.
    m_savedLength = m_codePage.isDoubleByte() ? m_host.textLength() : std::ptrdiff_t(bytes.size());
    m_savedBytes = std::move(bytes);
    m_savedText = std::u16string();
    m_savedAsBytes = true;
}

void NewsDocument::keepAsSaved(std::u16string_view text)
{
    bool exact = false;
    std::ptrdiff_t join = -1;
    std::string bytes;
    if (m_codePage.firstUnstorable(text) < 0)
        bytes = m_codePage.encode(text, &exact, &join);
    if (exact && join < 0) {
        keepBytesAsSaved(std::move(bytes));
    } else {
        m_savedText = std::u16string(text);
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
    keepAsSaved(m_host.text().view());
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
