#pragma once

#include "codepage.h"
#include "progress.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A text read without a copy: the view stays valid as long as the holder
// (whatever keeps its characters) lives.
class HeldText {
public:
    HeldText() = default;
    explicit HeldText(std::u16string text)
    {
        auto held = std::make_shared<const std::u16string>(std::move(text));
        m_view = *held;
        m_holder = std::move(held);
    }
    HeldText(std::u16string_view view, std::shared_ptr<const void> holder)
        : m_view(view), m_holder(std::move(holder))
    {
    }

    std::u16string_view view() const { return m_view; }
    std::u16string string() const { return std::u16string(m_view); }

private:
    std::u16string_view m_view;
    std::shared_ptr<const void> m_holder;
};

// What the document needs of whoever holds the text and shows the title.
// Every change of the text, whoever makes it, calls NewsDocument::TextChanged()
// before it returns; the program's own writes come through NewsDocument.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual HeldText text() const = 0;
    // The same, telling how far building it has come, for a save of a large text.
    virtual HeldText textForSave(const ProgressSink &) const { return text(); }
    virtual void setText(std::u16string_view text) = 0;
    // The text followed by more; a host may do it without rebuilding the text.
    virtual void appendText(std::u16string_view more) { setText(text().string().append(more)); }
    // Length of text(), without building it: the change rule asks on every keystroke.
    virtual std::ptrdiff_t textLength() const = 0;
    // Writes each part's text over its span of text() (spans in order, none
    // crossing a line end), as one edit that one undo takes back.
    virtual void replaceParts(const std::vector<CodePage::Composed> &parts)
    {
        setText(withParts(text().string(), parts));
    }
    static std::u16string withParts(std::u16string text,
                                    const std::vector<CodePage::Composed> &parts)
    {
        for (auto part = parts.crbegin(); part != parts.crend(); ++part)
            text.replace(std::size_t(part->start), std::size_t(part->length), part->with);
        return text;
    }

    virtual std::u16string title() const = 0;
    virtual void setTitle(std::u16string_view title) = 0;

    // Where the writer is: the caret's line and column and the first line in
    // view, counted from 0. A host that shows no text has no place to keep.
    struct Place {
        int line = 0;
        int column = 0;
        int firstVisibleLine = 0;
        int rowsOutOfView = 0; // of that line's wrapped rows, those above the view
    };
    virtual Place writerPlace() const { return {}; }
    // The selection, in indexes of text(); start -1 where there is none to keep.
    struct Span {
        std::ptrdiff_t start = -1;
        std::ptrdiff_t length = 0;
        bool operator==(const Span &) const = default;
    };
    virtual Span selectedSpan() const { return {}; }
    // Selects span and brings it into view.
    virtual void selectSpan(const Span &) {}
    // Back to a place, as near as the text as it now is allows.
    virtual void setWriterPlace(const Place &) {}
};
