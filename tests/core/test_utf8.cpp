#include "stdtext.h"
#include "utf8.h"

#include <doctest/doctest.h>

// UTF-8 written out by hand, both ways; what reads as no character shows as
// \xHH, byte by byte, so that two names never read the same.
TEST_CASE("UTF-8 both ways, and bytes that are no character")
{
    struct Row {
        const char *bytes; // hex
        std::u16string text;
        bool both = true; // the text gives these bytes back
    };
    const Row rows[] = {
        {"", u""},
        {"61 7F", u"a\u007F"},
        {"C2 80 DF BF", u"\u0080\u07FF"},
        {"E0 A0 80 E2 82 AC EF BF BF", u"\u0800\u20AC\uFFFF"},
        {"F0 90 80 80 F4 8F BF BF", u"\U00010000\U0010FFFF"},
        {"C3 A9 74 C3", u"\u00E9t\\xC3", false},                 // cut off at the end
        {"E9 20 80", u"\\xE9 \\x80", false},                     // Latin-1, a lone continuation
        {"C0 AF E0 80 AF", u"\\xC0\\xAF\\xE0\\x80\\xAF", false}, // overlong
        {"ED A0 80", u"\\xED\\xA0\\x80", false},                 // a surrogate
        {"F4 90 80 80 F5", u"\\xF4\\x90\\x80\\x80\\xF5", false}, // beyond U+10FFFF
        {"E2 82 41", u"\\xE2\\x82A", false},                     // a sequence broken off
    };
    for (const Row &row : rows) {
        CAPTURE(row.bytes);
        const std::string bytes = fromHex(row.bytes);
        CHECK(utf8::decode(bytes) == row.text);
        if (row.both)
            CHECK(hex(utf8::encode(row.text)) == row.bytes);
    }
    // A surrogate without its other half is written as U+FFFD.
    CHECK(hex(utf8::encode(u"a\xD800"
                           u"b\xDC00")) == "61 EF BF BD 62 EF BF BD");
}
