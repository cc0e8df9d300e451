#include "plainhost.h"
#include "stdtext.h"

#include <doctest/doctest.h>

#include <string>

// The title's mark follows every change of the text against the saved text;
// it is written onto whatever title the host shows, never twice.
TEST_CASE("the mark comes and goes with the text")
{
    PlainDocument d;
    d.document.Reset();
    d.host.setText(u"a");
    CHECK(d.document.Unsaved());
    CHECK(d.host.titleValue == PlainHost::kMarked);
    d.host.setText(u"ab");
    CHECK(d.host.titleValue == PlainHost::kMarked); // never two marks
    d.host.setText(u"a");
    d.host.setText(u"");
    CHECK(!d.document.Unsaved());
    CHECK(d.host.titleValue == PlainHost::kTitle);

    d.host.setText(u"line\r\n");
    d.document.MarkClean();
    CHECK(d.document.SavedText() == u"line\r\n");
    CHECK(d.host.titleValue == PlainHost::kTitle);
    d.host.setText(u""); // emptying saved text is an edit
    CHECK(d.host.titleValue == PlainHost::kMarked);

    PlainDocument other;
    other.host.titleValue = u"Other";
    other.host.setText(u"x");
    CHECK(other.host.titleValue == u"Other*");
    other.document.MarkClean();
    CHECK(other.host.titleValue == u"Other");
    other.document.MarkClean(); // on an unmarked title: no change
    CHECK(other.host.titleValue == u"Other");
    PlainDocument untitled;
    untitled.host.titleValue.clear();
    untitled.host.setText(u"x");
    CHECK(untitled.host.titleValue == u"*");
}

// Exact comparison, for texts the code page stores (the saved text held as
// bytes) and for those it cannot (held as it is), in one and two bytes a
// character.
TEST_CASE("the saved text is compared exactly")
{
    struct Row {
        int codePage;
        std::u16string saved, edited;
    } const rows[] = {
        {1252, u"News", u"news"},
        {1252, u"News", u"News "},
        {1252, u"a\r\nb", u"a\nbb"},
        {1252, u"a\u00A0b", u"a b"},
        {1252, u"abcdef", u"abcdeg"},
        {1252, u"done \u2713\r\n", u"done \u2714\r\n"}, // not storable
        {1252, u"\u20AC\u00A0\u0081", u"\u20AC \u0081"},
        {932, u"\u65E5\u672C\r\n", u"\u65E5\u672D\r\n"}, // one character else, same length
        {932, u"\u65E5\u672C\r\n", u"\u65E5\u672C\r\nx"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.edited);
        PlainDocument d(row.codePage);
        d.host.setText(row.saved);
        d.document.MarkClean();
        CHECK(d.document.SavedText() == row.saved);
        d.host.setText(row.edited);
        CHECK(d.document.Unsaved());
        d.host.setText(row.saved);
        CHECK(!d.document.Unsaved());
        CHECK(d.host.titleValue == PlainHost::kTitle);
    }
}

// A load, a write of the program's and Reset each keep the rule out of the
// way while they last.
TEST_CASE("loads and the program's writes meet the rule once")
{
    PlainDocument d;
    d.host.setText(u"x");
    const int writes = d.host.titleWrites;
    d.document.beginLoad();
    d.host.setText(u"");
    d.host.setText(u"whatever");
    CHECK(d.document.Unsaved());
    CHECK(d.host.titleWrites == writes);
    d.document.Reset();
    CHECK(!d.document.Unsaved());
    CHECK(!d.document.LoadingFile());

    PlainDocument clean;
    clean.document.beginLoad();
    clean.host.setText(u"loaded\r\n");
    CHECK(!clean.document.Unsaved());
    CHECK(clean.host.titleValue == PlainHost::kTitle);

    // The host tells of the change while the write lasts, as a text area
    // does; the rule looks at the text once, when the write is whole.
    PlainDocument written;
    written.host.setText(u"news\r\n");
    written.document.MarkClean();
    const int reads = written.host.textReads;
    written.document.setText(u"wens\r\n");
    CHECK(written.host.textReads == reads + 1);
    CHECK(written.host.titleValue == PlainHost::kMarked);
}

// What the rule reads: nothing for a change of length, no text for a clean
// step from file bytes.
TEST_CASE("the rule reads the text only when it must")
{
    PlainDocument d;
    d.host.setText(std::u16string(1000, u'a'));
    d.document.MarkClean();
    const int reads = d.host.textReads;
    d.host.setText(std::u16string(1001, u'a'));
    CHECK(d.host.textReads == reads);
    CHECK(d.document.Unsaved());
    d.host.setText(std::u16string(1000, u'a')); // same length: must compare
    CHECK(d.host.textReads > reads);
    CHECK(!d.document.Unsaved());

    PlainDocument bytes;
    bytes.host.textValue = u"caf\u00E9 \u20AC\r\n";
    bytes.host.titleValue = PlainHost::kMarked;
    bytes.document.MarkClean("caf\xE9 \x80\r\n");
    CHECK(bytes.host.textReads == 0);
    CHECK(bytes.document.SavedText() == bytes.host.textValue);
    CHECK(bytes.host.titleValue == PlainHost::kTitle);
    bytes.host.setText(bytes.host.textValue + u"x");
    bytes.host.setText(bytes.host.textValue.substr(0, bytes.host.textValue.size() - 1));
    CHECK(!bytes.document.Unsaved());
}

// The next save takes its pairs from the saved bytes: the file's after a
// load, the text's own after a clean step without a file.
TEST_CASE("the saved bytes keep the file's pairs")
{
    PlainDocument d(932);
    d.host.textValue = u"\u9AD9\r\n";
    d.document.MarkClean("\xEE\xE0\r\n"); // 髙, a pair Windows does not write
    CHECK(hex(d.document.savedBytes()) == "EE E0 0D 0A");
    d.host.setText(u"\u9AD9\r\nx");
    CHECK(d.document.Unsaved());
    d.host.setText(u"\u9AD9\r\n");
    CHECK(!d.document.Unsaved());
    d.document.MarkClean();
    CHECK(hex(d.document.savedBytes()) == "FB FC 0D 0A");
    // A lead byte kept alone, "A" typed after it: as bytes the two would read
    // back as one character, so the saved text is held as it is.
    const std::u16string joined = CodePage::get(932).decode("\x89") + u"A";
    d.host.textValue = joined;
    d.document.MarkClean();
    CHECK(d.document.SavedText() == joined);
}
