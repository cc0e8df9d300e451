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

// Each character's classes and its case folding, written out by hand.
TEST_CASE("marks, letters, numbers, space and case")
{
    struct Row {
        char32_t c;
        bool mark, letter, number; // the numbers here are all digits
        char32_t folded;
        bool space = false;
    } const rows[] = {
        {U'a', false, true, false, U'a'},
        {U'A', false, true, false, U'a'},
        {U'\u00C9', false, true, false, U'\u00E9'},
        {U'1', false, false, true, U'1'},
        {U'\u0663', false, false, true, U'\u0663'}, // Arabic-Indic three
        {U' ', false, false, false, U' ', true},
        {U'\t', false, false, false, U'\t', true},
        {U'\u00A0', false, false, false, U'\u00A0', true}, // no-break space
        {U'\u3000', false, false, false, U'\u3000', true}, // ideographic space
        {U'\u2028', false, false, false, U'\u2028', true}, // line separator
        {U'_', false, false, false, U'_'},
        {U'\u0301', true, false, false, U'\u0301'},
        {U'\u0323', true, false, false, U'\u0323'},
        {U'\u05BA', true, false, false, U'\u05BA'},
        {U'\u0E31', true, false, false, U'\u0E31'},
        {U'\u0E48', true, false, false, U'\u0E48'},
        {U'\u0E01', false, true, false, U'\u0E01'},
        {U'\u4E2D', false, true, false, U'\u4E2D'},
        {U'\u1100', false, true, false, U'\u1100'},
        {U'\u0647', false, true, false, U'\u0647'},
        {U'\u064B', true, false, false, U'\u064B'},
        {U'\u20AC', false, false, false, U'\u20AC'},
        {U'\u0416', false, true, false, U'\u0436'}, // Cyrillic Zhe
        {U'\u03A3', false, true, false, U'\u03C3'}, // Greek Sigma
    };
    for (const Row &row : rows) {
        CAPTURE(int(row.c));
        CHECK(unicode::isMark(row.c) == row.mark);
        CHECK(unicode::isLetter(row.c) == row.letter);
        CHECK(unicode::isLetterOrNumber(row.c) == (row.letter || row.number));
        CHECK(unicode::isDigit(row.c) == row.number);
        CHECK(unicode::isSpace(row.c) == row.space);
        CHECK(unicode::folded(row.c) == row.folded);
    }
    // Beyond the first plane: a Deseret capital.
    CHECK(unicode::folded(U'\U00010400') == U'\U00010428');
}
