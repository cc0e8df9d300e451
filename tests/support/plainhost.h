#pragma once

#include "documenthost.h"
#include "newsdocument.h"
#include "said.h"

// A host without any window: the text and the title as plain strings.
class PlainHost : public DocumentHost {
public:
    static inline const QString kTitle = said(Message::WindowTitle);

    NewsDocument *document = nullptr;
    QString textValue;
    QString titleValue = kTitle;
    int textReads = 0;
    int titleWrites = 0;

    QString text() const override
    {
        ++const_cast<PlainHost *>(this)->textReads;
        return textValue;
    }
    void setText(const QString &text) override
    {
        textValue = text;
        if (document)
            document->TextChanged();
    }
    // Building the text for a save tells its progress, as a text area does.
    bool tellsProgress = false;
    QString textForSave(const ProgressSink &progress) const override
    {
        for (qint64 done = 1; tellsProgress && progress && done <= 4; ++done)
            progress(done, 4);
        return text();
    }
    qsizetype textLength() const override { return textValue.size(); }
    Span selected;
    Span selectedSpan() const override { return selected; }
    void selectSpan(const Span &span) override { selected = span; }
    QString title() const override { return titleValue; }
    void setTitle(const QString &title) override
    {
        titleValue = title;
        ++titleWrites;
    }
};

// A document with its plain host, wired together.
struct PlainDocument {
    PlainHost host;
    NewsDocument document{host, CodePage::get(1252)};
    PlainDocument() { host.document = &document; }
};
