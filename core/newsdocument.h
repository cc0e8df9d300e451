#pragma once

#include "codepage.h"
#include "documenthost.h"

#include <QByteArray>
#include <QString>

// The one news text the editor holds: the last saved text, the unsaved flag and
// the loading flag, and the rule that keeps the title's "*" in step with them.
class NewsDocument {
public:
    // News files are in the given code page; it lives as long as the program.
    NewsDocument(DocumentHost &host, const CodePage &codePage) : m_host(host), m_codePage(codePage)
    {
    }

    // The change rule; the host calls it after every change of the text.
    void TextChanged();
    // Makes the current text the saved text; after a complete load or save.
    void MarkClean();
    // The same when the text is what these news file bytes decode to, as after
    // the file was just read or written: the bytes become the saved text
    // without a large text being read back from the host.
    void MarkClean(const QByteArray &fileBytes);
    // Once, when the window is loaded.
    void Reset();

    QString SavedText() const;
    // The saved text as news file bytes, when it is held so (after every
    // load, and every save that stored no character decomposed); else empty.
    QByteArrayView savedBytes() const
    {
        return m_savedAsBytes ? QByteArrayView(m_savedBytes) : QByteArrayView();
    }
    bool Unsaved() const { return m_unsaved; }
    bool LoadingFile() const { return m_loadingFile; }
    void setLoadingFile(bool loading) { m_loadingFile = loading; }

    DocumentHost &host() const { return m_host; }
    const CodePage &codePage() const { return m_codePage; }

private:
    bool textEqualsSaved() const;
    void removeTitleMark();
    void keepAsSaved(const QString &text);
    void keepBytesAsSaved(const QByteArray &bytes);
    void becomeClean();

    DocumentHost &m_host;
    const CodePage &m_codePage;
    // The saved text, held as news file bytes (half the memory of a QString)
    // whenever they decode to the very text, else as it is.
    QByteArray m_savedBytes;
    qsizetype m_savedLength = 0; // of the text the saved bytes decode to
    QString m_savedText;
    bool m_savedAsBytes = false;

    bool m_unsaved = false;
    bool m_loadingFile = false;
};
