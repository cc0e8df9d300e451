#include "doublebyterows.h"
#include "faults.h"
#include "filename.h"
#include "filewriting.h"
#include "inputstream.h"
#include "lineends.h"
#include "newsfile.h"
#include "stdtext.h"
#include "systemerror.h"
#include "systemmemory.h"
#include "tempdir.h"

#include <doctest/doctest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

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

namespace {
namespace fs = std::filesystem;
const CodePage &k1252 = CodePage::get(1252);

// A file read in a code page: its text, or what went wrong.
std::u16string load(const fs::path &path, const CodePage &page = k1252)
{
    std::u16string text;
    const NewsRead r = ReadNewsFile(path, page, [&text](std::u16string_view s) { text += s; });
    if (!r)
        return u"<failed: " + r.result.error + u">";
    if (page.decode(r.bytes) != text)
        return u"<file bytes are not the text>";
    return text;
}

std::string allBytes()
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all += char(b);
    }
    return all + "\r\n";
}

[[maybe_unused]] void waitABit(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
} // namespace

TEST_CASE("a file read: its line ends, its bytes kept")
{
    const TempDir dir;
    struct Row {
        std::string file;
        std::u16string text;
    } const rows[] = {
        {"", u""},
        {"one\r\ntwo", u"one\r\ntwo\r\n"},
        {"a\r\nb\nc\rd", u"a\r\nb\r\nc\r\nd\r\n"},
        {"a\n\rb", u"a\r\n\r\nb\r\n"},
        {"\xEF\xBB\xBFx", u"\u00EF\u00BB\u00BFx\r\n"}, // a byte-order mark is text
        {std::string("a\0b", 3), std::u16string(u"a\0b\r\n", 5)},
    };
    for (const Row &row : rows) {
        INFO(hex(row.file));
        REQUIRE(writeFile(dir / "in.txt", row.file));
        CHECK(load(dir / "in.txt") == row.text);
    }
    // Every byte of 1252 a character of its own, written back as it was.
    REQUIRE(writeFile(dir / "all.txt", allBytes()));
    const std::u16string text = load(dir / "all.txt");
    REQUIRE(text.size() == 256);
    CHECK(text[0xA0 - 2] == u'\u00A0'); // a non-breaking space, not a space
    CHECK(text[0x80 - 2] == u'\u20AC');
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        CHECK(text[std::size_t(b - 2)] == char16_t(b));
    CHECK(WriteNewsFile(dir / "out.txt", text, k1252));
    CHECK(hex(readFile(dir / "out.txt")) == hex(allBytes()));
    const std::string file = "Head\xA0line \x80\r\n\r\n\xFF\xFE end\r\n";
    REQUIRE(writeFile(dir / "again.txt", file));
    CHECK(WriteNewsFile(dir / "again.txt", load(dir / "again.txt"), k1252));
    CHECK(readFile(dir / "again.txt") == file);
}

// Only a regular file that fits is read; anything else fails at once,
// without waiting for a writer or reading without end. A file whose bytes
// fit but whose many lines would not is refused once they are counted.
TEST_CASE("what is not read")
{
    const TempDir dir;
#ifndef _WIN32
    REQUIRE(::mkfifo((dir / "fifo").c_str(), 0600) == 0);
    fs::create_symlink("/dev/zero", dir / "zero");
#endif
    std::ofstream(dir / "sparse", std::ios::binary).seekp(std::streamoff(1) << 40).put('\0');
    REQUIRE(writeFile(dir / "lines.txt", std::string(20000, '\n')));
    struct Row {
        fs::path file;
        std::u16string error;
        std::int64_t available = availableMemory();
    } const rows[] = {
        {dir / "missing.txt", u16(sysfault::words(sysfault::kMissing))},
        {dir.path(), u"folder"},
#ifdef _WIN32
        {"NUL", u"not a regular file"},
#else
        {dir / "fifo", u"not a regular file"},
        {dir / "zero", u"not a regular file"},
#endif
        {dir / "sparse", u"too large"},
        // 20 KB of bytes fit in 256 KiB; 20000 line records of over 100 bytes do not.
        {dir / "lines.txt", u"too large", 256 << 10},
    };
    for (const Row &row : rows) {
        INFO(row.file.string());
        int slices = 0;
        const NewsRead r = ReadNewsFile(
            row.file, k1252, [&slices](std::u16string_view) { ++slices; }, {}, row.available);
        CHECK(!r);
        CHECK_MESSAGE(r.result.error.find(row.error) != std::u16string::npos, r.result.error);
        CHECK(slices == 0);
        CHECK(r.bytes.empty());
    }
    CHECK(ReadNewsFile(
        dir / "lines.txt", k1252, [](std::u16string_view) {}, {}, 64 << 20));
}

TEST_CASE("a save writes the bytes, nothing added, and keeps what the file was")
{
    const TempDir dir;
    CHECK(WriteNewsFile(dir / "w.txt", u"caf\u00E9\r\nno end", k1252));
    CHECK(readFile(dir / "w.txt") == "caf\xE9\r\nno end");
    CHECK(WriteNewsFile(dir / "w.txt", u"", k1252));
    CHECK(readFile(dir / "w.txt") == "");
    // A name relative to the working folder, made and then replaced.
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    for (const char16_t *text : {u"made", u"replaced"})
        CHECK(WriteNewsFile("r.txt", text, k1252));
    fs::current_path(before);
    CHECK(readFile(dir / "r.txt") == "replaced");
    // Names as long as a folder takes (255 bytes of UTF-8 on Linux, also
    // under wine), made and then replaced.
    for (const std::u16string &name :
         {std::u16string(251, u'n') + u".txt", std::u16string(125, u'\u00E9') + u".txt"}) {
        const fs::path longest = dir.path() / name;
        for (const char16_t *text : {u"made", u"replaced"})
            CHECK(WriteNewsFile(longest, text, k1252));
        CHECK(readFile(longest) == "replaced");
    }
#ifdef _WIN32
    // A name the system takes as it is (\\?\), made and then replaced.
    const fs::path verbatim = L"\\\\?\\" + (dir / "v.txt").wstring();
    CHECK(cleanName(verbatim) == verbatim);
    for (const char16_t *text : {u"made", u"replaced"})
        CHECK(WriteNewsFile(verbatim, text, k1252));
    CHECK(readFile(dir / "v.txt") == "replaced");
    // The attributes a writer gave the file stay; read-only is not replaced.
    const std::wstring name = (dir / "w.txt").wstring();
    const DWORD set = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    REQUIRE(::SetFileAttributesW(name.c_str(), set));
    CHECK(WriteNewsFile(dir / "w.txt", u"new", k1252));
    CHECK(readFile(dir / "w.txt") == "new");
    CHECK((::GetFileAttributesW(name.c_str()) & (set | FILE_ATTRIBUTE_READONLY)) == set);
    REQUIRE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
    const FileResult readOnly = WriteNewsFile(dir / "w.txt", u"newer", k1252);
    CHECK(readOnly.error == u16(sysfault::words(sysfault::kDenied)));
    CHECK(readFile(dir / "w.txt") == "new");
    REQUIRE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL));
#else

    REQUIRE(writeFile(dir / "real.txt", "old"));
    REQUIRE(::chmod((dir / "real.txt").c_str(), 0640) == 0);
    fs::create_symlink(dir / "real.txt", dir / "link.txt");
    CHECK(WriteNewsFile(dir / "link.txt", u"new", k1252));
    CHECK(fs::is_symlink(dir / "link.txt"));
    CHECK(readFile(dir / "real.txt") == "new");
    struct stat st {};
    REQUIRE(::stat((dir / "real.txt").c_str(), &st) == 0);
    CHECK((st.st_mode & 07777) == 0640);

    // A file the save makes gets the mode every new file gets: 0666 less the umask.
    const mode_t mask = ::umask(022);
    ::umask(mask);
    CHECK(WriteNewsFile(dir / "made.txt", u"new", k1252));
    REQUIRE(::stat((dir / "made.txt").c_str(), &st) == 0);
    CHECK((st.st_mode & 07777) == (0666 & ~mask));
#endif
}

TEST_CASE("a save that cannot write says why and leaves nothing half written")
{
    const TempDir dir;
#ifdef _WIN32
    const fs::path full; // (no device that is always full)
#else
    const fs::path full = "/dev/full";
#endif
    for (const fs::path &target : {dir.path(), dir / "no/such/folder/x.txt", full}) {
        if (target.empty())
            continue;
        INFO(target.string());
        const FileResult r = WriteNewsFile(target, u"some news\r\n", k1252);
        CHECK(!r);
        CHECK(!r.error.empty());
        CHECK(r.kind != FileResult::Kind::Incomplete);
        CHECK(r.kind != FileResult::Kind::SentInPart);
    }
#ifndef _WIN32
    struct stat st {};
    REQUIRE(::stat("/dev/full", &st) == 0);
    CHECK(S_ISCHR(st.st_mode)); // the device was not replaced by a file

    // A pipe whose reader goes away after a few bytes: the save fails and
    // says so; the program goes on.
    const fs::path fifo = dir / "closing.fifo";
    REQUIRE(::mkfifo(fifo.c_str(), 0600) == 0);
    std::thread reader([&fifo] {
        char some[10];
        std::ifstream(fifo, std::ios::binary).read(some, sizeof some);
    });
    waitABit(100); // open for writing only once the reader is there
    const FileResult r = WriteNewsFile(fifo, std::u16string(200000, u'x'), k1252);
    reader.join();
    CHECK(!r);
    CHECK(r.error.find(systemErrorWords(EPIPE)) != std::u16string::npos);
    CHECK(r.kind == FileResult::Kind::SentInPart);
#endif
}

TEST_CASE("a character the code page cannot store leaves the file alone")
{
    const TempDir dir;
    REQUIRE(writeFile(dir / "keep.txt", "earlier\r\n"));
    const FileResult r =
        WriteNewsFile(dir / "keep.txt", u"one\r\ntwo\r\nthe mark \u2713 here\r\n", k1252);
    CHECK(!r);
    CHECK(r.error == u"Line 3, column 10: \"\u2713\" (U+2713) cannot be stored in Windows-1252.");
    CHECK(readFile(dir / "keep.txt") == "earlier\r\n");

    // A character outside the basic plane counts as one column.
    const std::u16string emoji = u"\U0001F600x\U0001F600";
    CHECK(WriteNewsFile(dir / "e.txt", emoji, k1252).error ==
          u"2 characters cannot be stored in Windows-1252: \"\U0001F600\" (U+1F600) at line 1, "
          u"column 1; \"\U0001F600\" (U+1F600) at line 1, column 3.");
    CHECK(!fs::exists(dir / "e.txt"));
    CHECK(WriteNewsFile(dir / "e.txt", u"\u00E9" + emoji.substr(2), k1252)
              .error.starts_with(u"Line 1, column 3: "));
    // Past the first slice of a long text: its own line and column.
    std::u16string longText;
    for (int i = 0; i < 150000; ++i)
        longText += u"abcdefg\r\n";
    CHECK(WriteNewsFile(dir / "e.txt", longText + u"xy\u2713", k1252)
              .error.starts_with(u"Line 150001, column 3: "));
    // U+0080 is no byte's character: byte 0x80 is the euro sign.
    CHECK(WriteNewsFile(dir / "e.txt", u"\u0080", k1252).error.find(u"(U+0080)") !=
          std::u16string::npos);
    CHECK(WriteNewsFile(dir / "e.txt", u"e\u0301\u0301", k1252)
              .error.find(u"combining mark (U+0301)") != std::u16string::npos);
}

// What another program did to a file since it was read, as the next save and
// the window's activation see it; writing to a pipe changes its times, not
// what it is.
TEST_CASE("another program's change since the file was read")
{
    struct Row {
        std::string meanwhile;
        DiskChange change;
    } const rows[] = {
        {"nothing", DiskChange::None},
        {"touch", DiskChange::None}, // time only
        {"same bytes replaced", DiskChange::None},
        {"other bytes", DiskChange::Changed}, // same size, old time put back
        {"longer", DiskChange::Changed},
        {"deleted", DiskChange::Deleted},
        {"folder", DiskChange::Changed},
        {"absent", DiskChange::None},
        {"created", DiskChange::Changed},
    };
    for (const Row &row : rows) {
        INFO(row.meanwhile);
        const TempDir dir;
        const fs::path file = dir / "state.txt";
        FileState read = FileState::absent();
        if (row.meanwhile != "absent" && row.meanwhile != "created") {
            REQUIRE(writeFile(file, "news\r\n"));
            const NewsRead loaded = ReadNewsFile(
                file, k1252, [](std::u16string_view) {}, {}, -1);
            REQUIRE(loaded);
            read = loaded.state;
        }
        std::error_code none;
        const auto before = fs::last_write_time(file, none);
        if (row.meanwhile == "touch") {
            fs::last_write_time(file, before + std::chrono::seconds(60));
        } else if (row.meanwhile == "other bytes") {
            REQUIRE(writeFile(file, "NEWS\r\n"));
            fs::last_write_time(file, before);
        } else if (row.meanwhile == "same bytes replaced") {
            REQUIRE(writeFile(dir / "state.new", "news\r\n"));
            fs::rename(dir / "state.new", file);
        } else if (row.meanwhile == "longer" || row.meanwhile == "created") {
            REQUIRE(writeFile(file, "news\r\n!"));
        } else if (row.meanwhile == "deleted" || row.meanwhile == "folder") {
            REQUIRE(fs::remove(file));
            if (row.meanwhile == "folder")
                REQUIRE(fs::create_directory(file));
        }
        FileState refreshed = read;
        CHECK(changeSince(read, file, &refreshed).change == row.change);
        // The same bytes under new times: remembered as the file now is, so
        // the next look reads nothing.
        if (row.meanwhile == "touch" || row.meanwhile == "same bytes replaced") {
            CHECK(refreshed.sameIdentityAndTimes(FileState::look(file)));
            CHECK(refreshed.digest == read.digest);
        }
    }

#ifndef _WIN32
    const TempDir dir;
    const fs::path fifo = dir / "written.fifo";
    REQUIRE(::mkfifo(fifo.c_str(), 0600) == 0);
    const FileState before = FileState::look(fifo);
    waitABit(20);
    std::thread reader([&fifo] {
        std::ifstream in(fifo, std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    });
    waitABit(100);
    CHECK(WriteNewsFile(fifo, u"news", k1252));
    reader.join();
    CHECK(!FileState::look(fifo).sameIdentityAndTimes(before));
    CHECK(changeSince(before, fifo).change == DiskChange::None);
    REQUIRE(::mkfifo((dir / "other.fifo").c_str(), 0600) == 0);
    fs::rename(dir / "other.fifo", fifo);
    CHECK(changeSince(before, fifo).change == DiskChange::Changed);
#endif
}

// Every byte but CR and LF comes back unchanged through a file in every
// single-byte code page; a character it lacks stops the save, named and
// located.
TEST_CASE("every code page through a file")
{
    const TempDir dir;
    REQUIRE(writeFile(dir / "all.txt", allBytes()));
    for (const int number : CodePage::kNumbers) {
        const CodePage &page = CodePage::get(number);
        if (page.isDoubleByte())
            continue;
        INFO("code page ", number);
        const std::u16string loaded = load(dir / "all.txt", page);
        CHECK(loaded == page.decode(allBytes()));
        CHECK(WriteNewsFile(dir / "back.txt", loaded, page));
        CHECK(hex(readFile(dir / "back.txt")) == hex(allBytes()));
        const FileResult refused = WriteNewsFile(dir / "no.txt", u"x\r\nab\u4E2D", page);
        CHECK(said(refused.error) == "Line 2, column 3: \"\u4E2D\" (U+4E2D) cannot be stored in "
                                     "Windows-" +
                                         std::to_string(number) + ".");
        CHECK(!fs::exists(dir / "no.txt"));
    }
    // Input methods type precomposed Vietnamese letters; Windows-1258 has
    // them only as a letter and a combining mark. Neither way: refused.
    const CodePage &vietnamese = CodePage::get(1258);
    const std::u16string typed = u"Vi\u1EC7t Nam \u1EDF \u0111\u00E2y";
    CHECK(WriteNewsFile(dir / "vi.txt", typed, vietnamese));
    CHECK(hex(readFile(dir / "vi.txt")) == hex("Vi\xEA\xF2t Nam \xF5\xD2 \xF0\xE2y"));
    CHECK(!EncodeNewsText(typed, vietnamese).exact); // the bytes are not the very text
    CHECK(!WriteNewsFile(dir / "vi.txt", u"\u1E9E", vietnamese));
}

// The double-byte code pages through a file and back without an edit, every
// odd byte kept; each row's bytes were written by another converter
// (Python's cp932, gbk, cp949 and cp950 codecs), not this one.
TEST_CASE("the double-byte code pages through a file")
{
    const TempDir dir;
    for (const DoubleByteRow &row : kDoubleByteRows) {
        INFO("code page ", row.number);
        const CodePage &page = CodePage::get(row.number);
        const std::string bytes = fromHex(row.bytes);
        const std::string file = bytes + "\r\n" + fromHex(row.odd) + bytes + "\r\n";
        REQUIRE(writeFile(dir / "odd.txt", file));
        const std::u16string loaded = load(dir / "odd.txt", page);
        CHECK(loaded.starts_with(row.text + u"\r\n"));
        CHECK(loaded.ends_with(row.text + u"\r\n"));
        CHECK(loaded == page.decode(file));
        CHECK(WriteNewsFile(dir / "back.txt", loaded, page));
        CHECK(hex(readFile(dir / "back.txt")) == hex(file));
        char code[8];
        std::snprintf(code, sizeof code, "%04X", unsigned(row.outside[0]));
        CHECK(said(WriteNewsFile(dir / "no.txt", row.text + row.outside, page).error) ==
              "Line 1, column " + std::to_string(row.text.size() + 1) + ": \"" + said(row.outside) +
                  "\" (U+" + code + ") cannot be stored in Windows-" + std::to_string(row.number) +
                  ".");
        // A lead byte kept alone (it ended a line), then an edit puts "A"
        // right after it: written, the two would read back as one character.
        const std::u16string joined = u"ok\r\n" + page.decode(fromHex(row.lead)) + u"A";
        CHECK(WriteNewsFile(dir / "no.txt", joined, page)
                  .error.starts_with(u"Line 2, column 1: the kept byte"));
        CHECK(!fs::exists(dir / "no.txt"));
    }
}

// A file's second pairs through edits of its text: what a save writes, the
// bytes written out by hand. An edit is a place in the text as loaded (after
// the edits before it), characters removed there and text put in.
TEST_CASE("second pairs through edits")
{
    struct Edit {
        std::size_t at, removed;
        std::u16string inserted;
    };
    struct Row {
        const char *name;
        int number;
        std::string saved;
        std::vector<Edit> edits;
        std::string written; // hex, or "!" and the start of the refusal
    };
    // 髙橋さん as Python writes it (EE E0 for 髙), then IBM's Ⅰ (FA 4A), row
    // 87's ≒ (87 90), the NEC-selected 纊 (ED 40) and A.
    const std::string ja = "EEE08BB482B382F10D0A FA4A8790ED40410D0A";
    std::string longLine = "ED40";
    for (int i = 0; i < 3000; ++i)
        longLine += "61";
    longLine += "ED400D0A";
    const Row rows[] = {
        {"no edit", 932, ja, {}, ja},
        {"insert before", 932, ja, {{0, 0, u"X"}}, "58" + ja},
        {"delete the character", 932, ja, {{0, 1, u""}}, "8BB482B382F10D0A FA4A8790ED40410D0A"},
        {"undo its deletion", 932, ja, {{0, 1, u""}, {0, 0, u"\u9AD9"}}, ja},
        {"Delete after it", 932, ja, {{1, 1, u""}}, "EEE082B382F10D0A FA4A8790ED40410D0A"},
        {"typed as Windows writes",
         932,
         ja,
         {{9, 0, u"\u9AD9\u2160\u2252"}},
         "EEE08BB482B382F10D0A FA4A8790ED40 FBFC 8754 81E0 410D0A"},
        {"a line above, a letter below",
         932,
         ja,
         {{0, 0, u"\u65B0\r\n"}, {12, 1, u"B"}},
         "90560D0A EEE08BB482B382F10D0A FA4A8790ED40420D0A"},
        {"two edits in a line",
         932,
         ja,
         {{6, 1, u"x"}, {9, 1, u"y"}},
         "EEE08BB482B382F10D0A 788790ED40790D0A"},
        {"a moved line",
         932,
         ja,
         {{0, 6, u""}, {6, 0, u"\u9AD9\u6A4B\u3055\u3093\r\n"}},
         "87 54 81E0 FA5C 410D0A EEE08BB482B382F10D0A"},
        // Too long a line to compare every character with every other: the
        // equal characters at either end of the edit keep their pairs.
        {"a long line", 932, longLine, {{1, 0, u"X"}}, "ED4058" + longLine.substr(4)},
        {"950 typed",
         950,
         "F9F9A2A40D0AA2CC410D0A",
         {{2, 0, u"\u2550"}, {7, 0, u"\u5341"}},
         "F9F9A2A4A2A40D0AA2CC41A4510D0A"},
        // A kept lead byte that an edit put before a character: the pair is
        // looked up with the byte written after it.
        {"932 joins a second pair",
         932,
         "820D0AEEE00D0A",
         {{1, 2, u""}},
         "!Line 1, column 1: the kept byte 82 "},
        {"932 no join with the typed pair", 932, "820D0A", {{1, 2, u"\u9AD9"}}, "82FBFC"},
        {"950 no join with the second pair", 950, "A30D0AF9F90D0A", {{1, 2, u""}}, "A3F9F90D0A"},
        {"950 joins the typed pair",
         950,
         "A30D0A",
         {{1, 2, u"\u2550"}},
         "!Line 1, column 1: the kept byte A3 "},
    };
    const TempDir dir;
    for (const Row &row : rows) {
        INFO(row.name);
        const CodePage &page = CodePage::get(row.number);
        const std::string saved = fromHex(row.saved);
        std::u16string text = page.decode(saved);
        for (const Edit &edit : row.edits)
            text.replace(edit.at, edit.removed, edit.inserted);
        const fs::path path = dir / "pairs.txt";
        fs::remove(path);
        const FileResult r = WriteNewsFile(path, text, page, {}, saved);
        if (row.written.starts_with('!')) {
            CHECK(said(r.error).starts_with(row.written.substr(1)));
            CHECK(!fs::exists(path));
            continue;
        }
        REQUIRE(r);
        CHECK(hex(readFile(path)) == hex(fromHex(row.written)));
        CHECK(page.decode(readFile(path)) == text);
    }
}

#ifdef _WIN32
// Standard input as Windows gives it through a pipe: read until the writing
// end closes, which is its end, not a failure.
TEST_CASE("a pipe read to its end")
{
    int ends[2] = {};
    REQUIRE(::_pipe(ends, 4096, _O_BINARY) == 0);
    REQUIRE(::_write(ends[1], "news\r\n", 6) == 6);
    ::_close(ends[1]);
    char buffer[16] = {};
    const InputRead first = readInput(ends[0], buffer, sizeof buffer);
    REQUIRE(first.count == 6);
    CHECK(std::string(buffer, 6) == "news\r\n");
    const InputRead end = readInput(ends[0], buffer, sizeof buffer);
    CHECK((end.count == 0 && end.error == 0));
    CHECK(!isTerminal(ends[0]));
    ::_close(ends[0]);
}
#endif
