#include "fakes.h"
#include "filecommands.h"
#include "plainhost.h"
#include "standardinput.h"
#include "stdtext.h"
#include "syscallfaults.h"
#include "tempdir.h"

#include <doctest/doctest.h>

#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {
struct Reader {
    PlainDocument d;
    FakeServices services;
    StandardInput input;
    explicit Reader(std::int64_t available = -1) : input(d.document, services, available)
    {
        d.document.Reset();
    }
};

std::string repeated(const std::string &piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}
} // namespace

// heraldpad -: the news piped in becomes the text, as a load makes a file's
// bytes the text, but unsaved and without a file; it is read as it comes.
TEST_CASE("standard input read to its end")
{
    const std::u16string error = FileCommands::loadErrorText();
    const std::string large = repeated("news\r\n", 600000);
    struct Row {
        std::string source; // a file, a pipe, a folder redirected, closed, a terminal
        std::string piped;
        std::int64_t available; // memory, bytes
        int failingRead;        // the read that fails with EIO, from 1
        std::u16string text;
        bool unsaved; // the title's mark
        std::string problem;
    } const rows[] = {
        {"file", "Top\r\nnews\nof\rthe day \xE9", -1, 0, u"Top\r\nnews\r\nof\r\nthe day \u00E9\r\n",
         true, ""},
        {"file", "", -1, 0, u"", false, ""},
        {"pipe", large, -1, 0, std::u16string(large.begin(), large.end()), true, ""},
        {"file", repeated("news\r\n", 1000), 2000, 0, error, false,
         "The text is too large to be held in memory"},
        {"file", repeated("\n", 1000), 10000, 0, error, false, // outgrows memory once counted
         "The text is too large to be held in memory"},
        {"folder", "", -1, 0, error, false, "Is a directory"},
        {"file", "partial news\r\n", -1, 2, error, false, "Input/output error"},
        {"closed", "", -1, 0, error, false, "Standard input is closed."},
        {"terminal", "partial line\nmore", -1, 0, error, false,
         "The terminal was closed before the news ended."},
    };
    for (const Row &row : rows) {
        INFO(row.source, " ", row.problem);
        const TempDir dir;
        int fd = -1, terminal = -1;
        std::thread writer;
        if (row.source == "terminal") {
            terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
            REQUIRE((terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0));
            fd = ::open(::ptsname(terminal), O_RDONLY | O_NOCTTY);
            REQUIRE(::write(terminal, row.piped.data(), row.piped.size()) ==
                    ssize_t(row.piped.size()));
        } else if (row.source == "pipe") {
            int ends[2];
            REQUIRE(::pipe(ends) == 0);
            fd = ends[0];
            writer = std::thread([ends, &piped = row.piped] {
                for (std::size_t done = 0; done < piped.size();) {
                    const ssize_t n = ::write(ends[1], piped.data() + done, piped.size() - done);
                    if (n <= 0)
                        break;
                    done += std::size_t(n);
                }
                ::close(ends[1]);
            });
        } else if (row.source != "closed") {
            const std::filesystem::path name = row.source == "folder" ? dir.path() : dir / "piped";
            if (row.source == "file")
                REQUIRE(writeFile(name, row.piped));
            fd = ::open(name.c_str(), O_RDONLY);
            REQUIRE(fd >= 0);
        }
        Reader r(row.available);
        {
            SyscallFaults faults;
            faults.failAt = row.failingRead;
            faults.failWith = EIO;
            r.input.begin(fd);
            while (r.input.readMore()) {
                CHECK(r.input.reading());
                // The terminal goes away after its first line.
                if (terminal >= 0)
                    ::close(std::exchange(terminal, -1));
            }
        }
        if (writer.joinable())
            writer.join();
        if (fd >= 0)
            ::close(fd);
        CHECK(!r.input.reading());
        CHECK(r.d.host.textValue == row.text);
        CHECK(r.d.host.titleValue == (row.unsaved ? PlainHost::kMarked : PlainHost::kTitle));
        CHECK(said(r.input.problem()) == row.problem);
        CHECK(r.services.loadFailures ==
              (row.problem.empty() ? std::vector<std::string>{}
                                   : std::vector<std::string>{"standard input: " + row.problem}));
        if (row.source != "closed")
            CHECK(r.services.work.back() == "end");
        // While reading, how much came so far, never a share of a whole
        // nobody knows; then the text fills as a share of the known length.
        for (std::size_t i = 1; i < r.services.readSoFar.size(); ++i)
            CHECK(r.services.readSoFar[i] > r.services.readSoFar[i - 1]);
        if (row.problem.empty() && !row.piped.empty()) {
            CHECK(r.services.readSoFar.back() == std::int64_t(row.piped.size()));
            CHECK(r.services.progress.back() == 1.0);
        }
    }
}

// A pipe that stays open: what came so far is counted, the text waits for
// the end; the writer may stop it, and nothing is asked or shown.
TEST_CASE("a stalled pipe waits, and stops")
{
    int ends[2];
    REQUIRE(::pipe(ends) == 0);
    REQUIRE(::write(ends[1], "hi\n", 3) == ssize_t(3));
    Reader r;
    r.input.begin(ends[0]);
    CHECK(r.input.readMore());
    CHECK(r.input.reading());
    CHECK(r.services.readSoFar == std::vector<std::int64_t>{3});
    CHECK(r.d.host.textValue.empty());
    r.input.stop();
    CHECK(!r.input.reading());
    CHECK(!r.input.readMore());
    CHECK(r.services.work ==
          std::vector<std::string>{"waiting: Loading the news from standard input", "end"});
    CHECK(r.d.host.textValue.empty());
    CHECK(r.d.host.titleValue == PlainHost::kTitle);
    CHECK((r.services.asked.empty() && r.services.loadFailures.empty()));
    // One that never ends fails once what came outgrows the memory.
    Reader small(2);
    small.input.begin(ends[0]);
    REQUIRE(::write(ends[1], "hi\n", 3) == ssize_t(3));
    CHECK(!small.input.readMore());
    CHECK(said(small.input.problem()) == "The text is too large to be held in memory");
    ::close(ends[0]);
    ::close(ends[1]);
}
