#include "lineends.h"
#include "newsfile.h"
#include "stdtext.h"

// Every line end made CR LF, the last line ended, and the lines counted.
TEST_CASE("line ends")
{
    struct Row {
        std::string in, out;
        std::ptrdiff_t lines;
    } const rows[] = {
        {"", "", 0},
        {"a\r\nb\r\n", "a\r\nb\r\n", 2},
        {"a\nb", "a\r\nb\r\n", 2},
        {"a\rb\r", "a\r\nb\r\n", 2},
        {"a\r\r\nb\n\r", "a\r\n\r\nb\r\n\r\n", 4},
        {"\n", "\r\n", 1},
        {"a\r\nb", "a\r\nb\r\n", 2},
        {"\x93\xFA\r\n\x81", "\x93\xFA\r\n\x81\r\n", 2},
    };
    for (const Row &row : rows) {
        INFO(hex(row.in));
        std::ptrdiff_t lines = -1;
        CHECK(hex(normaliseLineEnds(row.in, lines)) == hex(row.out));
        CHECK(lines == row.lines);
    }
}

TEST_CASE("the Quickload file")
{
    CHECK(QuickFilePath("/") == "/news.txt");
    CHECK(QuickFilePath("/home/ann/news") == "/home/ann/news/news.txt");
    CHECK(QuickFilePath("/home/ann/news/") == "/home/ann/news/news.txt");
}
