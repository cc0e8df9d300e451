#pragma once

#include "documenthost.h"
#include "newsdocument.h"
#include "said.h"
#include "stdstrings.h"

#include <memory>

// A host without any window: the text and the title as plain strings.
class PlainHost : public DocumentHost {
public:
    static inline const QString kTitle = said(Message::WindowTitle);

    NewsDocument *document = nullptr;
    QString textValue;
    QString titleValue = kTitle;
    int textReads = 0;
    int titleWrites = 0;

    HeldText text() const override
    {
        ++const_cast<PlainHost *>(this)->textReads;
        auto holder = std::make_shared<const QString>(textValue);
        const std::u16string_view view = qtstd::view(*holder);
        return {view, std::move(holder)};
    }
    void setText(std::u16string_view text) override { setText(qtstd::string(text)); }
    void setText(const QString &text)
    {
        textValue = text;
        if (document)
            document->TextChanged();
    }
    // Building the text for a save tells its progress, as a text area does.
    bool tellsProgress = false;
    HeldText textForSave(const ProgressSink &progress) const override
    {
        for (qint64 done = 1; tellsProgress && progress && done <= 4; ++done)
            progress(done, 4);
        return text();
    }
    std::ptrdiff_t textLength() const override { return textValue.size(); }
    Span selected;
    Span selectedSpan() const override { return selected; }
    void selectSpan(const Span &span) override { selected = span; }
    std::u16string title() const override { return qtstd::u16(titleValue); }
    void setTitle(std::u16string_view title) override
    {
        titleValue = qtstd::string(title);
        ++titleWrites;
    }
};

// A document with its plain host, wired together.
struct PlainDocument {
    PlainHost host;
    NewsDocument document{host, CodePage::get(1252)};
    PlainDocument() { host.document = &document; }
};
