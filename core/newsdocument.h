#pragma once

#include "documenthost.h"

#include <QString>

// The one news text the editor holds: the last saved text, the unsaved flag and
// the loading flag, and the rule that keeps the title's "*" in step with them.
class NewsDocument {
public:
    explicit NewsDocument(DocumentHost &host) : m_host(host) {}

    // The change rule; the host calls it after every change of the text.
    void TextChanged();
    // Makes the current text the saved text; after a complete load or save.
    void MarkClean();
    // Once, when the window is loaded.
    void Reset();

    const QString &SavedText() const { return m_savedText; }
    bool Unsaved() const { return m_unsaved; }
    bool LoadingFile() const { return m_loadingFile; }
    void setLoadingFile(bool loading) { m_loadingFile = loading; }

    DocumentHost &host() const { return m_host; }

private:
    bool textEqualsSaved() const;
    void removeTitleMark();

    DocumentHost &m_host;
    QString m_savedText;
    bool m_unsaved = false;
    bool m_loadingFile = false;
};
