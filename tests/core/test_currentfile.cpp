#include "currentfile.h"
#include "tempdir.h"

#include <doctest/doctest.h>

#include <chrono>
#include <string>
#include <thread>

// What the current file was when kept, what then happened on disk, and what
// a save asks and the writer is told: each state told once.
TEST_CASE("each state of the file is asked about and told once")
{
    using N = DiskNews;
    struct Row {
        std::string kept;     // read, absent, unread, link
        std::string happened; // what another program did
        N asked;              // before a save
        N told;               // on coming back to the window
    };
    const Row rows[] = {
        {"read", "nothing", N::Nothing, N::Nothing},
        {"read", "same bytes again", N::Nothing, N::Nothing},
        {"read", "other bytes", N::Changed, N::Changed},
        {"read", "deleted", N::Nothing, N::Deleted},
        {"read", "a link", N::NowLink, N::NowLink},
        {"read", "a folder", N::Nothing, N::Changed},
        {"absent", "nothing", N::Nothing, N::Nothing},
        {"absent", "other bytes", N::Created, N::Changed},
        {"unread", "nothing", N::NotRead, N::Nothing},
        {"unread", "deleted", N::Nothing, N::Deleted},
        {"link", "nothing", N::Nothing, N::Nothing},
        {"link", "a link", N::NowLink, N::NowLink},
    };
    for (const Row &row : rows) {
        if ((row.kept == "link" || row.happened == "a link") && !linksCanBeMade())
            continue;
        CAPTURE(row.kept);
        CAPTURE(row.happened);
        namespace fs = std::filesystem;
        const TempDir dir;
        const fs::path path = dir / "news.txt";
        REQUIRE(writeFile(dir / "first.txt", "first\r\n"));
        if (row.kept == "link")
            fs::create_symlink(dir / "first.txt", path);
        else if (row.kept != "absent")
            REQUIRE(writeFile(path, "first\r\n"));
        fs::path field;
        CurrentFile file(field);
        if (row.kept == "unread") {
            file.adoptUnread(path);
        } else {
            FileState state = FileState::look(path);
            if (state.present)
                state.setBytes(readFile(path));
            file.adopt(path, state);
        }
        CHECK(field == path); // the dialog's field names it

        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // times unlike the kept ones
        if (row.happened == "same bytes again" || row.happened == "other bytes")
            REQUIRE(writeFile(path, row.happened == "other bytes" ? "theirs\r\n" : "first\r\n"));
        if (row.happened == "deleted" || row.happened == "a link" || row.happened == "a folder")
            REQUIRE(fs::remove(path));
        if (row.happened == "a link")
            fs::create_symlink(dir / "elsewhere.txt", path);
        if (row.happened == "a folder")
            REQUIRE(fs::create_directory(path));

        CHECK(file.beforeSave(path).news == row.asked);
        const CurrentFile::Look look = file.sinceLastLook();
        CHECK(look.news == row.told);
        if (row.told == DiskNews::NowLink)
            CHECK(look.linkTarget == dir / "elsewhere.txt");
        CHECK(file.sinceLastLook().news == DiskNews::Nothing);
        // Another file is never asked about.
        REQUIRE(writeFile(dir / "other.txt", "other\r\n"));
        CHECK(file.beforeSave(dir / "other.txt").news == DiskNews::Nothing);
    }
}

// Save as: the dialog's choice is taken and the current name shown again,
// until a write makes the chosen file the current one. A name is the current
// one by any spelling, or through a link.
TEST_CASE("the chosen name waits for the write")
{
    const TempDir dir;
    REQUIRE(writeFile(dir / "a.txt", "a\r\n"));
    const bool linked = linksCanBeMade();
    if (linked)
        std::filesystem::create_symlink(dir / "a.txt", dir / "to-a.txt");
    std::filesystem::path field;
    CurrentFile file(field);
    file.adopt(dir / "a.txt", FileState::look(dir / "a.txt"));
    field = dir / "b.txt"; // the dialog's choice
    CHECK(file.takeChosen() == dir / "b.txt");
    CHECK(field == dir / "a.txt");
    CHECK(file.name() == dir / "a.txt");
    CHECK(file.isCurrent(dir.path() / ".." / dir.path().filename() / "a.txt"));
    CHECK((!linked || file.isCurrent(dir / "to-a.txt")));
    CHECK(!file.isCurrent(dir / "b.txt"));
    CHECK(!file.isCurrent({}));
}
