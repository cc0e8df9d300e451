#include "codepage.h"
#include "doublebyterows.h"
#include "stdtext.h"

#include <set>
#include <vector>

namespace {
// The text with each part written over its span.
std::u16string withParts(std::u16string text, const std::vector<CodePage::Composed> &parts)
{
    for (auto part = parts.crbegin(); part != parts.crend(); ++part)
        text.replace(size_t(part->start), size_t(part->length), part->with);
    return text;
}
} // namespace

// A short phrase in each language, its bytes and characters written out by
// hand; and every byte but CR and LF read as a character of its own that is
// written back as that byte, kept ones as U+F700 plus the byte.
TEST_CASE("the single-byte code pages")
{
    struct Row {
        int number;
        const char *bytes;
        std::u16string text;
    };
    const Row rows[] = {
        {874, "CA C7 D1 CA B4 D5", u"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35"},
        {1250, "5A 61 BF F3 B3 E6", u"Za\u017C\u00F3\u0142\u0107"},
        {1251, "CF F0 E8 E2 E5 F2", u"\u041F\u0440\u0438\u0432\u0435\u0442"},
        {1252, "63 61 66 E9 20 80", u"caf\u00E9 \u20AC"},
        {1253, "C3 E5 E9 DC", u"\u0393\u03B5\u03B9\u03AC"},
        {1254, "49 FE FD F0 FD", u"I\u015F\u0131\u011F\u0131"},
        {1255, "F9 EC E5 ED", u"\u05E9\u05DC\u05D5\u05DD"},
        {1256, "D3 E1 C7 E3", u"\u0633\u0644\u0627\u0645"},
        {1257, "E0 E8 E6", u"\u0105\u010D\u0119"},
        {1258, "54 69 EA EC 6E 67", u"Ti\u00EA\u0301ng"},
    };
    for (const Row &row : rows) {
        INFO("code page ", row.number);
        const CodePage &page = CodePage::get(row.number);
        CHECK(page.name() == "Windows-" + std::to_string(row.number));
        CHECK_FALSE(page.isDoubleByte());
        CHECK(page.pairFor(u'a') == 0);
        CHECK(page.decode(fromHex(row.bytes)) == row.text);
        CHECK(hex(page.encode(row.text)) == row.bytes);

        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(char(b));
        const std::u16string read = page.decode(all);
        REQUIRE(read.size() == all.size());
        CHECK(std::set<char16_t>(read.begin(), read.end()).size() == read.size());
        for (size_t b = 0; b < read.size(); ++b) {
            INFO("byte ", b);
            CHECK(read[b] != 0xFFFD);
            CHECK((read[b] < 0xF700 || read[b] > 0xF7FF || read[b] == 0xF700 + b));
        }
        // Long enough to cross the blocks the encoder gathers bytes in.
        std::u16string many;
        std::string manyBytes;
        for (int i = 0; i < 200; ++i) {
            many += read;
            manyBytes += all;
        }
        bool exact = false;
        CHECK(page.encode(many, &exact) == manyBytes);
        CHECK(exact);
        CHECK(page.equals(read, all));
        CHECK(page.firstUnstorable(read + u"ab\u4E2D") == 258);
    }
}

// Input methods type precomposed Vietnamese letters; Windows-1258 has them
// only as a letter and a combining mark. Other code pages keep theirs.
TEST_CASE("letters stored decomposed")
{
    struct Row {
        int number;
        std::u16string typed;
        const char *bytes; // nullptr: refused
    };
    const Row rows[] = {
        {1258, u"Vi\u1EC7t Nam \u1EDF \u0111\u00E2y",
         "56 69 EA F2 74 20 4E 61 6D 20 F5 D2 20 F0 E2 79"},
        {1258, u"\u1EB9", "65 F2"}, // no precomposed form there: the mark apart
        {1258, u"\u1E9E", nullptr},
        {1250, u"\u00F3", "F3"},
    };
    for (const Row &row : rows) {
        INFO("code page ", row.number, ", row ", hex(std::string(row.bytes ? row.bytes : "")));
        const CodePage &page = CodePage::get(row.number);
        if (!row.bytes) {
            CHECK(page.firstUnstorable(row.typed) == 0);
            continue;
        }
        REQUIRE(page.firstUnstorable(row.typed) == -1);
        bool exact = true;
        CHECK(hex(page.encode(row.typed, &exact)) == row.bytes);
        CHECK(exact == (row.number != 1258)); // the bytes are not the very text
    }
}

// Text pasted decomposed: a letter and marks that the code page stores only
// as one composed character are written as it; nothing else.
TEST_CASE("decomposed letters compose")
{
    struct Row {
        const char *name;
        int number;
        std::u16string pasted;
        std::u16string saved; // the composed text, written out by hand
    };
    const Row rows[] = {
        {"1252 acute and grave", 1252, u"Cafe\u0301 cre\u0300me", u"Caf\u00E9 cr\u00E8me"},
        {"1251 short i", 1251, u"\u0438\u0306 \u0418\u0306", u"\u0439 \u0419"},
        {"1250 caron", 1250, u"e\u030C\r\nz\u030C", u"\u011B\r\n\u017E"},
        {"932 voiced mark", 932, u"\u304B\u3099", u"\u304C"},
        {"a mark too many stays", 1252, u"e\u0301\u0301", u"e\u0301\u0301"},
        {"a mark with no letter stays", 1252, u"\u0301a", u"\u0301a"},
        {"1258 keeps the marks it has", 1258, u"e\u0301 a\u0308", u"e\u0301 \u00E4"},
        {"an emoji stays", 1252, u"a\U0001F600", u"a\U0001F600"},
        // Korean pasted as conjoining letters: 949 has only the syllables.
        {"949 jamo", 949, u"\u1100\u1161\u11A8 \u1112\u1161", u"\uAC01 \uD558"},
        {"949 syllable and final", 949, u"\uAC00\u11A8", u"\uAC01"},
        {"949 a final too many", 949, u"\u1100\u1161\u11AB\u11A8", u"\uAC04\u11A8"},
        // Windows-1258 has e-circumflex and o-horn as letters, the tones as marks.
        {"1258 circumflex and tone", 1258, u"Vie\u0323\u0302t e\u0302\u0301",
         u"Vi\u00EA\u0323t \u00EA\u0301"},
        {"1258 horn and tone", 1258, u"pho\u031B\u0309", u"ph\u01A1\u0309"},
    };
    for (const Row &row : rows) {
        INFO(std::string(row.name));
        CHECK(withParts(row.pasted, CodePage::get(row.number).composable(row.pasted)) == row.saved);
    }
}

// The double-byte code pages: each row's bytes were written by another
// converter (Python's cp932, gbk, cp949 and cp950 codecs), not this one.
TEST_CASE("the double-byte code pages")
{
    for (const DoubleByteRow &row : kDoubleByteRows) {
        INFO("code page ", row.number);
        const CodePage &page = CodePage::get(row.number);
        const std::string bytes = fromHex(row.bytes);
        CHECK(page.isDoubleByte());
        CHECK(page.decode(bytes) == row.text);
        CHECK(page.pairFor(row.text[0]) ==
              (static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1])));
        CHECK(page.pairFor(u'a') == 0);
        CHECK(page.encode(row.text) == bytes);
        CHECK(page.equals(row.text, bytes));
        CHECK_FALSE(page.equals(row.text.substr(0, row.text.size() - 1), bytes));
        CHECK_FALSE(page.equals(row.text + u"x", bytes));
        CHECK(page.decodedLength(bytes) == std::ptrdiff_t(row.text.size()));
        std::u16string many;
        std::string manyBytes;
        for (int i = 0; i < 5000; ++i) {
            many += row.text;
            manyBytes += bytes;
        }
        CHECK(page.encode(many) == manyBytes);
        CHECK(page.firstUnstorable(row.text + row.outside) == std::ptrdiff_t(row.text.size()));

        // Every odd byte is kept, a character of its own, and written back.
        const std::string odd = bytes + fromHex(row.odd) + bytes;
        const std::u16string read = page.decode(odd);
        CHECK(read.find(u'\uFFFD') == read.npos);
        CHECK(read.substr(0, row.text.size()) == row.text);
        CHECK(page.equals(read, odd));
        bool exact = false;
        CHECK(hex(page.encode(read, &exact)) == hex(odd));
        CHECK(exact);

        // A lead byte kept alone (it ended a line), then an edit puts "A"
        // right after it: written, the two would read back as one character.
        const std::u16string kept = page.decode(fromHex(row.lead));
        REQUIRE(kept.size() == 1);
        CHECK(page.encode(kept) == fromHex(row.lead));
        std::ptrdiff_t join = -1;
        page.encode(u"ok\r\n" + kept + u"A", nullptr, &join);
        CHECK(join == 4);
        page.encode(kept + u"\r\nA", nullptr, &join);
        CHECK(join == -1);
    }
}
