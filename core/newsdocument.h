#pragma once

#include "codepage.h"
#include "documenthost.h"

#include <cstddef>
#include <string>
#include <string_view>

// The one news text the editor holds: the last saved text, the unsaved flag and
// the loading flag, and the rule that keeps the title's "*" in step with them.
class NewsDocument {
public:
    // News files are in the given code page; it lives as long as the program.
    NewsDocument(DocumentHost &host, const CodePage &codePage) : m_host(host), m_codePage(codePage)
    {
    }

    // The change rule. The host calls it after every change of the text, the
    // writer's (typing, pasting, undoing) and the program's alike.
    void TextChanged();
    // Makes the current text the saved text; after a complete load or save.
    void MarkClean();
    // The same when the text is what these news file bytes decode to, as after
    // the file was just read or written: the bytes become the saved text
    // without a large text being read back from the host.
    void MarkClean(std::string fileBytes);
    // Once, when the window is loaded.
    void Reset();

    std::u16string SavedText() const;
    // The saved text as news file bytes, when it is held so (after every
    // load, and every save that stored no character decomposed); else empty.
    std::string_view savedBytes() const
    {
        return m_savedAsBytes ? std::string_view(m_savedBytes) : std::string_view();
    }
    bool Unsaved() const { return m_unsaved; }
    bool LoadingFile() const { return m_loadingFile; }

    // The program's own writes of the text go through here, never to the
    // host directly. A write reaches the change rule once, after the whole
    // write: the host's calls of TextChanged() while it lasts are let pass,
    // so that a large text is not compared with the saved one at every step.
    void setText(std::u16string_view text);
    void appendText(std::u16string_view more);

    // A load: the text is filled while LoadingFile holds, and the change rule
    // stays inert (the writes of a load are no edit) until the load ends in
    // one of the three ways below. Emptying the text before beginLoad() is an
    // edit like any other, as the title mark shows while the load lasts.
    void beginLoad();
    // The text is now these news file bytes, read from a file: saved.
    void finishLoad(std::string fileBytes);
    // The text came from no file: unsaved, unless it is empty.
    void finishLoadFromNoFile();
    // The load failed: the text becomes the message, which is no edit either.
    void failLoad(std::u16string_view message);

    HeldText textForSave(const ProgressSink &progress) const
    {
        return m_host.textForSave(progress);
    }
    // Letters with combining marks that the code page stores only composed
    // are composed in text (as textForSave() gave it; a copy is made only
    // when there are any); the parts composed.
    std::vector<CodePage::Composed> composeForSave(HeldText &text) const;
    // Once the composed text is saved: the same on screen, as one edit, so
    // that the text shown is the text saved.
    void showComposed(const std::vector<CodePage::Composed> &parts);
    std::ptrdiff_t textLength() const { return m_host.textLength(); }
    DocumentHost::Place writerPlace() const { return m_host.writerPlace(); }
    DocumentHost::Span selectedSpan() const { return m_host.selectedSpan(); }
    void selectSpan(const DocumentHost::Span &span) { m_host.selectSpan(span); }
    void setWriterPlace(const DocumentHost::Place &place) { m_host.setWriterPlace(place); }

    const CodePage &codePage() const { return m_codePage; }

private:
    bool textEqualsSaved() const;
    void removeTitleMark();
    void keepAsSaved(std::u16string_view text);
    void keepBytesAsSaved(std::string bytes);
    void becomeClean();

    DocumentHost &m_host;
    const CodePage &m_codePage;
    // The saved text, held as news file bytes (half the memory of UTF-16)
    // whenever they decode to the very text, else as it is.
    std::string m_savedBytes;
    std::ptrdiff_t m_savedLength = 0; // of the text the saved bytes decode to
    std::u16string m_savedText;
    bool m_savedAsBytes = false;

    bool m_unsaved = false;
    bool m_loadingFile = false;
    bool m_writing = false; // a write of the program's is under way
};
