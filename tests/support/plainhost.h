#pragma once

#include "documenthost.h"
#include "messages.h"
#include "newsdocument.h"

#include <string>

// A host without any window: the text and the title as plain strings.
class PlainHost : public DocumentHost {
public:
    static inline const std::u16string kTitle = say(Message::WindowTitle);
    static inline const std::u16string kMarked = kTitle + u'*';

    NewsDocument *document = nullptr;
    std::u16string textValue;
    std::u16string titleValue = kTitle;
    mutable int textReads = 0;
    int titleWrites = 0;

    // (A view of textValue, which outlives every use a test makes of it.)
    HeldText text() const override
    {
        ++textReads;
        return {textValue, nullptr};
    }
    void setText(std::u16string_view text) override
    {
        textValue = text;
        if (document)
            document->TextChanged();
    }
    // Building the text for a save tells its progress, as a text area does.
    bool tellsProgress = false;
    HeldText textForSave(const ProgressSink &progress) const override
    {
        for (std::int64_t done = 1; tellsProgress && progress && done <= 4; ++done)
            progress(done, 4);
        return text();
    }
    std::ptrdiff_t textLength() const override { return std::ptrdiff_t(textValue.size()); }
    Span selected;
    Span selectedSpan() const override { return selected; }
    void selectSpan(const Span &span) override { selected = span; }
    std::u16string title() const override { return titleValue; }
    void setTitle(std::u16string_view title) override
    {
        titleValue = title;
        ++titleWrites;
    }
};

// A document with its plain host, wired together.
struct PlainDocument {
    PlainHost host;
    NewsDocument document;
    explicit PlainDocument(int codePage = 1252) : document(host, CodePage::get(codePage))
    {
        host.document = &document;
    }
};
