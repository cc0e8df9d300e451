#include "stdtext.h"
#include "textsearch.h"

#include <vector>

// Find, forward and backward, with each option: each row's match written out
// by hand as a position in the text as given.
TEST_CASE("find")
{
    struct Row {
        const char *name;
        std::u16string text, needle;
        int from;
        bool matchCase, wholeWords, backward;
        int start, length; // start -1: not found
        bool wrapped;
    };
    const std::u16string text = u"News of the news: newsroom NEWS.";
    const Row rows[] = {
        {"any case", text, u"news", 1, false, false, false, 12, 4, false},
        {"match case", text, u"NEWS", 0, true, false, false, 27, 4, false},
        {"whole words skip newsroom", text, u"news", 13, false, true, false, 27, 4, false},
        {"wrap to the start", text, u"news", 28, false, false, false, 0, 4, true},
        {"backward", text, u"news", 18, false, false, true, 12, 4, false},
        {"backward wraps to the end", text, u"news", 0, false, false, true, 27, 4, true},
        {"backward, match case", text, u"News", 30, true, false, true, 0, 4, false},
        {"backward, whole words", text, u"news", 27, false, true, true, 12, 4, false},
        {"not found", text, u"ore", 0, false, false, false, -1, 0, false},
        {"not found backward", text, u"ore", 9, false, false, true, -1, 0, false},
        {"empty needle", text, u"", 0, false, false, false, -1, 0, false},
        {"no match across a line break", u"ab\u2029cd", u"bc", 0, false, false, false, -1, 0,
         false},
        // Canonically equal texts match, at the text's own positions.
        {"decomposed text, precomposed needle", u"xx Vie\u0323\u0302t Nam", u"Vi\u1EC7t", 0, true,
         true, false, 3, 6, false},
        {"precomposed text, decomposed needle", u"caf\u00E9 cafe", u"cafe\u0301", 0, true, false,
         false, 0, 4, false},
        {"backward finds an overlapping match", u"aaaa", u"aa", 2, false, false, true, 0, 2, false},
        {"backward wraps over the very end", u"the news", u"news", 0, false, false, true, 4, 4,
         true},
        // A match covers whole characters: the base letter with all its marks.
        {"a match takes every mark of its letter", u"a\u0301\u0316", u"\u00E1", 0, true, false,
         false, 0, 3, false},
        {"decomposed text searched from its start", u"e\u0301 e\u0301", u"\u00E9", 0, true, false,
         false, 0, 2, false},
        {"a base letter does not match its accented form", u"cafe\u0301", u"cafe", 0, true, true,
         false, -1, 0, false},
        // Case as the writer's language has it, beyond ASCII.
        {"Cyrillic in any case", u"\u041D\u043E\u0432\u043E\u0441\u0442\u0438",
         u"\u043D\u043E\u0432", 0, false, false, false, 0, 3, false},
        {"Greek sigma", u"\u039D\u0395\u0391 \u03A3\u03A4\u039F", u"\u03C3\u03C4\u03BF", 0, false,
         false, true, 4, 3, true},
        {"beyond the first plane", u"x \U00010400\U00010401", u"\U00010428\U00010429", 0, false,
         false, false, 2, 4, false},
        {"beyond the first plane, backward", u"\U00010400 \U00010400", u"\U00010428", 5, false,
         false, true, 3, 2, false},
        {"whole words: a mark is part of the word", u"news\u0301 news", u"news", 0, true, true,
         false, 6, 4, false},
        {"whole words: digits are part of the word", u"news1 news_ news", u"news", 0, true, true,
         false, 12, 4, false},
    };
    for (const Row &row : rows) {
        INFO(std::string(row.name));
        const TextSearch::Result r = TextSearch(row.text).find(
            row.needle, row.from, {row.matchCase, row.wholeWords}, row.backward);
        CHECK(r.match.start == row.start);
        if (row.start >= 0)
            CHECK(r.match.length == row.length);
        CHECK(r.wrapped == row.wrapped);
    }
}

TEST_CASE("every match, a match, line breaks")
{
    const TextSearch search(u"aaaa news anews news");
    CHECK(search.findAll(u"aa", {}).size() == 2); // none overlapping
    CHECK(search.findAll(u"news", {false, true}) == std::vector<TextMatch>{{5, 4}, {16, 4}});
    CHECK(search.isMatch(u"news", {5, 4}, {}));
    CHECK_FALSE(search.isMatch(u"news", {11, 4}, {false, true}));
    CHECK(TextSearch::holdsLineBreak(u"one\ntwo"));
    CHECK(TextSearch::holdsLineBreak(u"one\u2029"));
    CHECK_FALSE(TextSearch::holdsLineBreak(u"one\u00A0two"));
}
