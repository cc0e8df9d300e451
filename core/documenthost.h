#pragma once

#include "codepage.h"
#include "progress.h"
#include "stdstrings.h"

#include <QString>

// What the document needs of whoever holds the text and shows the title.
// Every change of the text, whoever makes it, calls NewsDocument::TextChanged()
// before it returns; the program's own writes come through NewsDocument.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    virtual QString text() const = 0;
    // The same, telling how far building it has come, for a save of a large text.
    virtual QString textForSave(const ProgressSink &progress) const
    {
        Q_UNUSED(progress);
        return text();
    }
    virtual void setText(const QString &text) = 0;
    // The text followed by more; a host may do it without rebuilding the text.
    virtual void appendText(const QString &more) { setText(text() + more); }
    // Length of text(), without building it: the change rule asks on every keystroke.
    virtual qsizetype textLength() const = 0;
    // Writes each part's text over its span of text() (spans in order, none
    // crossing a line end), as one edit that one undo takes back.
    virtual void replaceParts(const std::vector<CodePage::Composed> &parts)
    {
        setText(withParts(text(), parts));
    }
    static QString withParts(QString text, const std::vector<CodePage::Composed> &parts)
    {
        for (auto part = parts.crbegin(); part != parts.crend(); ++part)
            text.replace(part->start, part->length, qtstd::string(part->with));
        return text;
    }

    virtual QString title() const = 0;
    virtual void setTitle(const QString &title) = 0;

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
        qsizetype start = -1;
        qsizetype length = 0;
        bool operator==(const Span &) const = default;
    };
    virtual Span selectedSpan() const { return {}; }
    // Selects span and brings it into view.
    virtual void selectSpan(const Span &span) { Q_UNUSED(span); }
    // Back to a place, as near as the text as it now is allows.
    virtual void setWriterPlace(const Place &place) { Q_UNUSED(place); }
};
