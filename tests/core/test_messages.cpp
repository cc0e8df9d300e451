#include "messages.h"
#include "stdtext.h"

// A message's words with its arguments put in, in one pass.
TEST_CASE("messages")
{
    CHECK(say(Message::WindowTitle) == u"Orbitane Heraldpad 1.3");
    CHECK(say(Message::SavedTo, {u"news.txt"}) == u"Saved to news.txt.");
    // An argument that holds a place of its own stays as it is.
    CHECK(say(Message::CannotBeRead, {u"%2.txt", u"No such file"}) ==
          u"%2.txt cannot be read: No such file");
    CHECK(say(Message::LineAndColumn, {number(12), number(-3)}) == u"Line 12, column -3");
    // A place without an argument stays as it is.
    CHECK(say(Message::LineAndColumn, {u"1"}) == u"Line 1, column %2");

    // Translated words, with their places in another order.
    setTranslator([](std::u16string_view english) -> std::u16string {
        return english == u"Line %1, column %2" ? u"Spalte %2, Zeile %1" : u"";
    });
    CHECK(say(Message::LineAndColumn, {u"4", u"7"}) == u"Spalte 7, Zeile 4");
    CHECK(say(Message::SavedTo, {u"a"}) == u"Saved to a."); // no translation: English
    setTranslator(nullptr);
    CHECK(say(Message::LineAndColumn, {u"4", u"7"}) == u"Line 4, column 7");
}
