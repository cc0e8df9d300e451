#include "memorycheck.h"
#include "systemmemory.h"

#include <doctest/doctest.h>

#include <string>

// Whether a file of this many bytes and lines can be loaded with this much
// memory free (-1: the system does not say). Facts a memory check must respect,
// whatever its margins: a text takes at least its bytes (kept as the saved
// text) and two bytes a character on screen, and the text area's record of a
// line was measured at over 100 bytes (5 million empty lines); an estimate may
// err on the safe side.
TEST_CASE("a load that fits in memory")
{
    struct Row {
        const char *name;
        std::int64_t bytes, lines, available;
        bool fits;
    } const rows[] = {
        {"nothing known", 1'000'000'000'000LL, 1, -1, true},
        {"empty file, no memory", 0, 0, 0, false},
        {"as large as the memory", 8000, 0, 8000, false},
        {"text and its bytes fill it", 2667, 0, 8000, false},
        {"a line record each fills it", 0, 80, 8000, false},
        {"a million lines, 64 MiB", 2'000'000, 1'000'000, 64LL << 20, false},
        {"a short news, 1 MiB", 2'000, 40, 1LL << 20, true},
        {"50 MB news, 24 GiB", 50'000'000, 714'000, 24LL << 30, true},
        {"4 GB news, 8 GiB", 4'000'000'000LL, 57'000'000, 8LL << 30, false},
    };
    for (const Row &row : rows) {
        INFO(std::string(row.name));
        CHECK(loadFitsInMemory(row.bytes, row.lines, row.available) == row.fits);
    }
}

// A file rewritten in place holds its old bytes while the new ones go in.
TEST_CASE("a rewrite that fits in memory")
{
    CHECK(!rewriteFitsInMemory(8000, 8000));
    CHECK(!rewriteFitsInMemory(1, 0));
    CHECK(rewriteFitsInMemory(50'000'000, 24LL << 30));
    CHECK(rewriteFitsInMemory(std::int64_t(1) << 40, -1));
}

// Linux and Windows (wine too) both say how much memory is free.
TEST_CASE("the system tells the memory it can give")
{
    CHECK(availableMemory() > 0);
}
