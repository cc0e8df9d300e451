#include "unicode.h"

#include <doctest/doctest.h>

#include <string>

// The system's Unicode, natively and (built for Windows) under wine: each
// row's text, its normal form C and its normal form D, written out by hand.
TEST_CASE("normal forms")
{
    struct Row {
        std::u16string text, c, d;
    } const rows[] = {
        {u"", u"", u""},
        {u"e\u0301", u"\u00E9", u"e\u0301"},
        {u"\u1EC7", u"\u1EC7", u"e\u0323\u0302"},        // ệ: the dot below first
        {u"e\u0302\u0323", u"\u1EC7", u"e\u0323\u0302"}, // marks reordered
        {u"o\u031B\u0309", u"\u1EDF", u"o\u031B\u0309"},
        {u"\u1100\u1161\u11AB", u"\uAC04", u"\u1100\u1161\u11AB"}, // Hangul
        {u"\u05D5\u05B9", u"\u05D5\u05B9", u"\u05D5\u05B9"},       // no composite in Hebrew
        {u"\u212B", u"\u00C5", u"A\u030A"},                        // Angstrom sign
        {u"abc \u4E2D", u"abc \u4E2D", u"abc \u4E2D"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.d.size());
        CHECK(unicode::composed(row.text) == row.c);
        CHECK(unicode::decomposed(row.text) == row.d);
    }
}

TEST_CASE("marks and letters")
{
    struct Row {
        char32_t c;
        bool mark, letter;
    } const rows[] = {
        {U'a', false, true},      {U'\u00E9', false, true}, {U'1', false, false},
        {U' ', false, false},     {U'\u0301', true, false}, {U'\u0323', true, false},
        {U'\u05BA', true, false}, {U'\u0E31', true, false}, {U'\u0E48', true, false},
        {U'\u0E01', false, true}, {U'\u4E2D', false, true}, {U'\u1100', false, true},
        {U'\u0647', false, true}, {U'\u064B', true, false}, {U'\u20AC', false, false},
    };
    for (const Row &row : rows) {
        CAPTURE(int(row.c));
        CHECK(unicode::isMark(row.c) == row.mark);
        CHECK(unicode::isLetter(row.c) == row.letter);
    }
}
