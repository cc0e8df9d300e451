#include "spelling.h"
#include "stdtext.h"
#include "tempdir.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
using Words = std::vector<std::u16string>;

// A tiny dictionary made here, so that no installed language is needed; its
// words in UTF-8, one a line.
void makeDictionary(const std::filesystem::path &folder, const std::string &name,
                    const std::string &words)
{
    std::filesystem::create_directories(folder);
    REQUIRE(writeFile(folder / (name + ".aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n"));
    const auto lines = std::count(words.begin(), words.end(), '\n');
    REQUIRE(writeFile(folder / (name + ".dic"), std::to_string(lines) + "\n" + words));
}

std::unique_ptr<SpellChecker> english(const TempDir &dir, const std::string &words)
{
    makeDictionary(dir / "dicts", "en_US", words);
    auto checker = SpellChecker::forLocale(LocaleName::parse("C"), {dir / "dicts"});
    REQUIRE(checker);
    return checker;
}
} // namespace

TEST_CASE("the words of a line")
{
    struct Row {
        std::u16string line;
        Words words;
    } const rows[] = {
        {u"the relay station", {u"the", u"relay", u"station"}},
        {u"(news), \"ore\"!", {u"news", u"ore"}},
        {u"don't co-pilot rock\u2019n\u2019roll",
         {u"don't", u"co-pilot", u"rock\u2019n\u2019roll"}},
        {u"'tis pilots' -dock-", {u"tis", u"pilots", u"dock"}}, // joiners at an end
        {u"dock 12 B7 ann@orbit.net and/or 4th ok \u0663x", {u"dock", u"ok"}},
        {u"Vie\u0323\u0302t Nam", {u"Vie\u0323\u0302t", u"Nam"}}, // marks stay with their letter
        {u"one\ttwo\u00A0three\u3000four", {u"one", u"two", u"three", u"four"}},
    };
    for (const Row &row : rows) {
        Words found;
        for (const WordSpan &w : wordsToCheck(row.line))
            found.push_back(row.line.substr(std::size_t(w.start), std::size_t(w.length)));
        CHECK(found == row.words);
    }
}

TEST_CASE("checking, suggestions and ignoring")
{
    const TempDir dir;
    const auto checker = english(dir, "news\nrelay\nstation\ncaf\xC3\xA9\n");
    CHECK(checker->isCorrect(u"relay"));
    CHECK(!checker->isCorrect(u"rellay"));
    // A compound is right when each part is.
    CHECK(checker->isCorrect(u"relay-station"));
    CHECK(!checker->isCorrect(u"relay-stattion"));
    CHECK(!checker->isCorrect(u"rellay-station"));
    // Canonically equal: a decomposed letter is the dictionary's precomposed one.
    CHECK(checker->isCorrect(u"cafe\u0301"));
    const Words offered = checker->suggestions(u"rellay");
    CHECK(std::find(offered.begin(), offered.end(), u"relay") != offered.end());
    CHECK(checker->suggestions(u"cafx").at(0) == u"caf\u00E9"); // read back from UTF-8
    const int before = checker->generation();
    checker->ignore(u"rellay");
    CHECK(checker->isCorrect(u"rellay"));
    CHECK(checker->generation() != before);
}

// An ignored word is accepted in every case form; the program's own names
// are never marked.
TEST_CASE("ignored words in every case form")
{
    struct Row {
        std::u16string ignored;
        Words accepted, marked;
    } const rows[] = {
        {u"teh", {u"teh", u"Teh", u"TEH", u"tEh"}, {u"tehh"}},
        {u"Orbitan", {u"Orbitan", u"orbitan", u"ORBITAN"}, {u"Orbita"}},
        {u"TEH", {u"TEH", u"teh", u"Teh"}, {u"eh"}},
        {u"zo\u0308rg", {u"z\u00F6rg", u"Z\u00F6rg"}, {u"zorg"}}, // typed decomposed
        {u"\u0416\u0443\u043A", {u"\u0436\u0443\u043A", u"\u0416\u0423\u041A"}, {u"\u0416\u0443"}},
        {u"Kessa", {u"Kessa's", u"KESSA\u2019S"}, {u"Kessas", u"Kessa's'"}}, // possessive
    };
    for (const Row &row : rows) {
        const TempDir dir;
        const auto checker = english(dir, "the\nnews\n");
        for (const Words &words : {row.accepted, row.marked}) {
            for (const std::u16string &word : words)
                CHECK_MESSAGE(!checker->isCorrect(word), word);
        }
        checker->ignore(row.ignored);
        for (const std::u16string &word : row.accepted)
            CHECK_MESSAGE(checker->isCorrect(word), word);
        for (const std::u16string &word : row.marked)
            CHECK_MESSAGE(!checker->isCorrect(word), word);
        for (const std::u16string own :
             {u"Orbitane", u"NOVAGLIDE", u"heraldpad", u"Orbitane's", u"Orbitane-news"})
            CHECK_MESSAGE(checker->isCorrect(own), own);
    }
}

TEST_CASE("suggestions keep to their number")
{
    const TempDir dir;
    const auto checker = english(dir, "bat\ncat\nhat\nmat\nrat\nsat\nvat\n");
    CHECK(checker->suggestions(u"xat", 7).size() > 2);
    CHECK(checker->suggestions(u"xat", 2).size() == 2);
    CHECK(checker->suggestions(u"xat").size() == 5); // the menu's five
}

TEST_CASE("the dictionary for the locale")
{
    struct Row {
        std::string locale;
        std::u16string correct; // a word only that dictionary has; "" none
    } const rows[] = {
        {"pt_BR.UTF-8", u"brasil"},           // language and territory
        {"pt_AO.UTF-8", u"brasil"},           // another territory of the language
        {"C", u"english"},                    // C is English
        {"POSIX.UTF-8@x", u"english"},        // so are POSIX and no locale
        {"pt_BR.ISO-8859-1@euro", u"brasil"}, // codeset and modifier
        {"", u"english"},
        {"ru_RU.UTF-8", u""}, // no dictionary
    };
    const TempDir dir;
    makeDictionary(dir / "langs", "pt_BR", "brasil\n");
    makeDictionary(dir / "langs", "en_US", "english\n");
    for (const Row &row : rows) {
        CAPTURE(row.locale);
        const auto checker =
            SpellChecker::forLocale(LocaleName::parse(row.locale), {dir / "langs"});
        REQUIRE(bool(checker) == !row.correct.empty());
        if (checker)
            CHECK(checker->isCorrect(row.correct));
    }
}
