#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

struct FindOptions {
    bool matchCase = false;
    bool wholeWords = false;
};

// Where a match lies in the searched text.
struct TextMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
    bool operator==(const TextMatch &) const = default;
};

// A text searched as the user reads it: canonically equal texts match (normal
// form C), whatever form each was typed or loaded in. Positions are those of
// the text as given.
class TextSearch {
public:
    explicit TextSearch(QString text);

    struct Result {
        TextMatch match;
        bool wrapped = false; // went on from the other end of the text
    };
    // The next match that starts at or after from, or (backward) the one
    // before from that ends at or before it; past the end the search goes on
    // from the other end.
    Result find(QStringView needle, qsizetype from, FindOptions options,
                bool backward = false) const;
    // Every match, in order, none overlapping another.
    QList<TextMatch> findAll(QStringView needle, FindOptions options) const;
    // Whether the needle holds a line break (CR, LF or a line or paragraph
    // separator): no match ever crosses one, each line is searched alone.
    static bool holdsLineBreak(QStringView needle);
    // Whether the range is exactly one match.
    bool isMatch(QStringView needle, TextMatch range, FindOptions options) const;

private:
    qsizetype toSearched(qsizetype position) const;
    TextMatch toText(qsizetype start, qsizetype length) const;
    qsizetype next(const QString &needle, qsizetype from, FindOptions options) const;
    qsizetype previous(const QString &needle, qsizetype before, FindOptions options) const;
    bool isWholeWord(qsizetype start, qsizetype length) const;

    QString m_text;
    // The text in normal form C, with where each of its characters came from
    // (and the end); both empty when the text already is in that form.
    QString m_normal;
    std::vector<qsizetype> m_origin;
};
