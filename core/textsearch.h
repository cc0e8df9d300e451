#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct FindOptions {
    bool matchCase = false;
    bool wholeWords = false;
};

// Where a match lies in the searched text.
struct TextMatch {
    std::ptrdiff_t start = -1;
    std::ptrdiff_t length = 0;
    bool found() const { return start >= 0; }
    std::ptrdiff_t end() const { return start + length; }
    bool operator==(const TextMatch &) const = default;
};

// A text searched as the user reads it: canonically equal texts match (normal
// form C), whatever form each was typed or loaded in. Positions are those of
// the text as given.
class TextSearch {
public:
    explicit TextSearch(std::u16string text);

    struct Result {
        TextMatch match;
        bool wrapped = false; // went on from the other end of the text
    };
    // The next match that starts at or after from, or (backward) the one
    // before from that ends at or before it; past the end the search goes on
    // from the other end.
    Result find(std::u16string_view needle, std::ptrdiff_t from, FindOptions options,
                bool backward = false) const;
    // Every match, in order, none overlapping another.
    std::vector<TextMatch> findAll(std::u16string_view needle, FindOptions options) const;
    // Whether the needle holds a line break (CR, LF or a line or paragraph
    // separator): no match ever crosses one, each line is searched alone.
    static bool holdsLineBreak(std::u16string_view needle);
    // Whether the range is exactly one match.
    bool isMatch(std::u16string_view needle, TextMatch range, FindOptions options) const;

private:
    std::u16string_view searched() const;
    std::ptrdiff_t toSearched(std::ptrdiff_t position) const;
    TextMatch toText(std::ptrdiff_t start, std::ptrdiff_t length) const;
    std::ptrdiff_t next(std::u16string_view needle, std::ptrdiff_t from, FindOptions options) const;
    std::ptrdiff_t previous(std::u16string_view needle, std::ptrdiff_t before,
                            FindOptions options) const;
    bool isWholeWord(std::ptrdiff_t start, std::ptrdiff_t length) const;

    std::u16string m_text;
    // The text in normal form C, with where each of its characters came from
    // (and the end); both empty when the text already is in that form.
    std::u16string m_normal;
    std::vector<std::ptrdiff_t> m_origin;
};
