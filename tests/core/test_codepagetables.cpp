// Every byte and pair of every code page against tables read now, not the
// program's: glibc's charmaps (Debian's locales) and, where glibc has no
// character, Python's codecs. Each character they give reads as it and is
// written as the pair glibc writes (not one it marks %IRREVERSIBLE%). The
// only other characters are Windows' own additions, written out here: a byte
// 0x80 to 0x9F that both leave out is the control character of the same
// number, and each run below goes, in the order of the bytes or pairs they
// leave out, to consecutive characters. Every other byte is kept.
#include "codepage.h"
#include "stdtext.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {
// What a command prints, or nothing when it fails.
std::string output(const std::string &command, bool &ok)
{
    std::string out;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ok = false;
        return out;
    }
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ok = ::pclose(pipe) == 0;
    return out;
}

std::string bytesOf(int code)
{
    std::string bytes;
    if (code >= 0x100)
        bytes += char(code >> 8);
    return bytes + char(code & 0xFF);
}

const char *const kPython = "import sys\nn = int(sys.argv[1])\n"
                            "for code in list(range(256)) + list(range(0x8100, 0x10000)):\n"
                            "    b = bytes([code]) if code < 256 else code.to_bytes(2, 'big')\n"
                            "    try: s = b.decode('cp%d' % n)\n"
                            "    except UnicodeDecodeError: continue\n"
                            "    if len(s) == 1: print(code, ord(s))\n";
} // namespace

TEST_CASE("the tables agree with independent ones")
{
    struct Row {
        int number;
        std::string charmap;
        std::vector<int> runs; // first code, last code, first character
    };
    // clang-format off
    const Row rows[] = {
        {874, "IBM874", {0xDB, 0xDE, 0xF8C1, 0xFC, 0xFF, 0xF8C5}},
        {1250, "CP1250", {}},
        {1251, "CP1251", {}},
        {1252, "CP1252", {}},
        {1253, "CP1253", {0xAA, 0xAA, 0xF8F9, 0xD2, 0xD2, 0xF8FA, 0xFF, 0xFF, 0xF8FB}},
        {1254, "CP1254", {}},
        {1255, "CP1255", {0xCA, 0xCA, 0x05BA, 0xD9, 0xDF, 0xF88D, 0xFB, 0xFC, 0xF894,
                          0xFF, 0xFF, 0xF896}},
        {1256, "CP1256", {}},
        {1257, "CP1257", {0xA1, 0xA1, 0xF8FC, 0xA5, 0xA5, 0xF8FD}},
        {1258, "CP1258", {}},
        {932, "WINDOWS-31J", {}},
        // Three runs a line.
        {936, "GBK", {0xFF, 0xFF, 0xF8F5, 0xA140, 0xA2A0, 0xE4C6, 0xA2AB, 0xA2FE, 0xE766,
                      0xA340, 0xA4A0, 0xE586, 0xA4F4, 0xA4FE, 0xE772, 0xA540, 0xA5A0, 0xE646,
                      0xA5F7, 0xA5FE, 0xE77D, 0xA640, 0xA6A0, 0xE6A6, 0xA6B9, 0xA6FE, 0xE785,
                      0xA740, 0xA7A0, 0xE706, 0xA7C2, 0xA9FE, 0xE7A0, 0xAAA1, 0xAFFE, 0xE000,
                      0xD7FA, 0xD7FE, 0xE810, 0xF8A1, 0xFDFE, 0xE234, 0xFE50, 0xFEA0, 0xE815,
                      0xFEA1, 0xFEFE, 0xE468}},
        {949, "CP949", {0x80, 0x80, 0x80, 0xFF, 0xFF, 0xF8F7, 0xC9A1, 0xFEFE, 0xE000}},
        {950, "BIG5", {0xFF, 0xFF, 0xF8F8, 0x8140, 0x8DFE, 0xEEB8, 0x8E40, 0xA0FE, 0xE311,
                       0xFA40, 0xFEFE, 0xE000}},
    };
    // clang-format on
    // <U7E8A>     /xed/x40     <CJK>, perhaps after %IRREVERSIBLE%
    const std::regex entry(
        "^(%IRREVERSIBLE%)?<U([0-9A-Fa-f]{4})>\\s+/x([0-9a-f]{2})(?:/x([0-9a-f]{2}))?\\s");
    for (const Row &row : rows) {
        INFO("code page ", row.number);
        bool ok = false;
        const std::string charmap =
            output("gzip -dc /usr/share/i18n/charmaps/" + row.charmap + ".gz", ok);
        REQUIRE_MESSAGE(ok, row.charmap << " (Debian's locales) cannot be read");
        std::map<int, char16_t> glibc;           // byte or pair, character
        std::map<char16_t, std::string> written; // character, the bytes glibc writes
        int irreversible = 0;
        std::istringstream lines(charmap);
        for (std::string line; std::getline(lines, line);) {
            std::smatch m;
            if (!std::regex_search(line, m, entry))
                continue;
            const char16_t c = char16_t(std::stoi(m[2].str(), nullptr, 16));
            const std::string bytes = fromHex(m[3].str() + m[4].str());
            glibc[bytes.size() == 2 ? static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1])
                                    : static_cast<unsigned char>(bytes[0])] = c;
            if (!m[1].matched)
                written[c] = bytes;
            else
                ++irreversible;
        }
        REQUIRE(glibc.size() > 120);
        const CodePage &page = CodePage::get(row.number);
        // Some character has a pair that is not written exactly where glibc says so.
        CHECK(page.hasSecondPairs() == (irreversible > 0));
        // Python's codec, for what glibc leaves out: "code character" lines.
        std::string script = kPython;
        for (std::size_t at; (at = script.find('\'')) != std::string::npos;)
            script.replace(at, 1, "\"");
        const std::string python =
            output("/usr/bin/python3 -c '" + script + "' " + std::to_string(row.number), ok);
        REQUIRE_MESSAGE(ok, "Python's codecs (Debian's python3) cannot be read");
        std::istringstream cells(python);
        for (int code, c; cells >> code >> c;) {
            if (!glibc.count(code))
                glibc[code] = char16_t(c);
        }
        std::size_t run = 0;
        int next = -1; // the character the next cell of the run reads as
        for (int code = 0; code <= 0x10000; ++code) {
            if (code >= 0x100 && code < 0x10000 && (code < 0x8140 || !page.isDoubleByte()))
                continue;
            while (run < row.runs.size() && code > row.runs[run + 1]) {
                // The whole run was read: its last cell was its last character.
                CHECK_MESSAGE((next >= 0 && page.encode(std::u16string(1, char16_t(next))) ==
                                                bytesOf(row.runs[run + 1])),
                              row.runs[run + 1]);
                run += 3;
                next = -1;
            }
            if (code == 0x10000)
                break;
            const std::string bytes = bytesOf(code);
            const std::u16string read = page.decode(bytes);
            const auto found = glibc.find(code);
            const bool inRun = run < row.runs.size() && code >= row.runs[run];
            INFO("code ", code);
            if (found != glibc.end()) {
                REQUIRE(read == std::u16string(1, found->second));
                const auto w = written.find(found->second);
                REQUIRE(hex(page.encode(read)) == hex(w != written.end() ? w->second : bytes));
            } else if (code >= 0x80 && code < 0xA0 && !page.isDoubleByte()) {
                REQUIRE(read == std::u16string(1, char16_t(code)));
            } else if (inRun && read.size() == 1) {
                next = next < 0 ? row.runs[run + 2] : next + 1;
                REQUIRE(int(read[0]) == next);
                REQUIRE(page.encode(read) == bytes);
            } else if (code < 0x100) {
                // Not a character: kept as a byte of its own, U+F700 plus the
                // byte (950, whose table has U+F6B1 to U+F848: U+F7C9 plus it).
                const int kept = (row.number == 950 ? 0xF7C9 : 0xF700) + code;
                REQUIRE(read == std::u16string(1, char16_t(kept)));
            } else {
                REQUIRE(read.size() == 2);
            }
        }
        CHECK(run == row.runs.size());
    }
}
