#include "editor.h"
#include "stdtext.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
namespace fs = std::filesystem;
using Outcome = FileCommands::SaveOutcome;

const std::string kExitPrompt =
    "Would you like to save your changes before exiting the application?";
const std::string kOpenPrompt = "Would you like to save your changes before opening a new file?";
const std::u16string kError = FileCommands::loadErrorText();

std::string latin1(std::u16string_view text)
{
    return {text.begin(), text.end()}; // (ASCII here)
}
} // namespace

// The save prompt, once for every command that asks it: No goes on, Escape
// (Cancel) stops, Yes goes on only once the text is saved; a save that fails
// or whose dialog is cancelled stops the command, and the text stays.
TEST_CASE("the save prompt: each command against each answer")
{
    enum class Save { Writes, Fails, NoName }; // what Yes leads to
    struct Row {
        std::string command; // Load, Quickload, Drop, Exit, mayClose
        RuntimeServices::Answer answer;
        Save save;
        bool goesOn;
    };
    std::vector<Row> rows;
    for (const char *command : {"Load", "Quickload", "Drop", "Exit", "mayClose"}) {
        rows.push_back({command, kNo, Save::Writes, true});
        rows.push_back({command, kCancel, Save::Writes, false});
        rows.push_back({command, kYes, Save::Writes, true});
        rows.push_back({command, kYes, Save::Fails, false});
        rows.push_back({command, kYes, Save::NoName, false});
    }
    for (const Row &row : rows) {
        INFO(row.command, ", answer ", int(row.answer), ", save ", int(row.save));
        Editor e;
        REQUIRE(writeFile(e.path("news.txt"), "quick\r\n"));
        REQUIRE(writeFile(e.path("b.txt"), "b\r\n"));
        if (row.save == Save::Writes)
            e.commands.OpenFile(e.path("mine.txt")); // not there yet
        if (row.save == Save::Fails)
            e.commands.OpenFile(e.path("gone.txt"));
        e.type(u"mine");
        if (row.save == Save::Fails) // a folder where the current file was
            REQUIRE(fs::create_directory(e.path("gone.txt")));
        if (row.save == Save::NoName)
            e.dialog.choices.push_back(""); // the Save dialog cancelled
        e.dialog.choices.push_back(e.path("b.txt"));
        e.services.answers = {row.answer};

        bool wentOn = true;
        if (row.command == "Load")
            e.commands.Load();
        else if (row.command == "Quickload")
            e.commands.Quickload();
        else if (row.command == "Drop")
            e.commands.LoadDropped(e.path("b.txt"));
        else if (row.command == "Exit")
            e.commands.Exit();
        else
            wentOn = e.commands.mayClose();

        const bool exits = row.command == "Exit" || row.command == "mayClose";
        REQUIRE(e.services.asked.size() == 1);
        CHECK(e.services.asked[0].prompt == (exits ? kExitPrompt : kOpenPrompt));
        CHECK(e.services.asked[0].title == "SecureSave");
        const bool saved = row.answer == kYes && row.save == Save::Writes;
        CHECK(readFile(e.path("mine.txt")) == (saved ? "mine" : "<missing>"));
        CHECK(readFile(e.path("news.txt")) == "quick\r\n");
        CHECK(readFile(e.path("b.txt")) == "b\r\n");
        CHECK(e.services.failures.size() ==
              (row.answer == kYes && row.save == Save::Fails ? 1u : 0u));
        if (row.command == "mayClose")
            CHECK(wentOn == row.goesOn);
        CHECK(e.services.ended == (row.command == "Exit" && row.goesOn ? 1 : 0));
        if (!row.goesOn) {
            CHECK(e.text() == u"mine");
            CHECK(e.marked());
        } else if (!exits) {
            CHECK(e.text() == (row.command == "Quickload" ? u"quick\r\n" : u"b\r\n"));
            CHECK(!e.marked());
        } else {
            CHECK(e.marked() == !saved);
        }
    }
}

// Clean text and text in no file: asked about only when it is at risk.
TEST_CASE("no prompt for clean text")
{
    Editor e;
    CHECK(e.commands.mayClose());
    e.commands.Exit();
    CHECK(e.services.ended == 1);
    e.loadQuickFile("saved\r\n");
    e.commands.Load(); // (the Open dialog cancelled)
    CHECK(e.services.asked.empty());
}

// The dialogs as the commands set them up; a cancelled one changes nothing:
// not the text, the mark or the current file.
TEST_CASE("the dialogs, and cancelling them")
{
    Editor e;
    e.type(u"news");
    CHECK(e.commands.Quicksave() == Outcome::NotChosen);
    CHECK(fs::is_empty(e.dir.path()));
    CHECK(e.marked());
    e.loadQuickFile("saved\r\n"); // (No at the prompt)
    e.type(u"typed");
    e.commands.Load();
    REQUIRE(e.dialog.shown.size() == 2);
    const FakeDialog::Shown &save = e.dialog.shown[0], &open = e.dialog.shown[1];
    CHECK(save.kind == "save");
    CHECK(save.title == "Save text file");
    CHECK(save.filter == "*.txt (Textfiles)|*.txt");
    CHECK(save.initDir == e.dir.path());
    CHECK(save.flags == 2);
    CHECK(open.kind == "open");
    CHECK(open.title == "Open text file");
    CHECK(open.filter == "*.txt (Textfiles)|*.txt");
    CHECK(open.initDir == e.dir.path());
    CHECK(open.flags == 4);
    CHECK(e.text() == u"saved\r\ntyped");
    CHECK(e.marked());
    CHECK(e.dialog.FileName == e.path("news.txt"));
}

// Only a Save as that wrote the file changes the current file: after a
// cancelled or failed one, Ctrl+S goes on saving where it did.
TEST_CASE("Save as changes the current file only when it wrote")
{
    Editor e;
    e.type(u"one\r\n");
    e.dialog.choices = {e.path("a.txt")};
    CHECK(e.commands.SaveAs() == Outcome::Saved);
    CHECK(readFile(e.path("a.txt")) == "one\r\n");
    CHECK(e.dialog.FileName == e.path("a.txt"));
    CHECK(!e.marked());
    CHECK(e.d.document.SavedText() == u"one\r\n");
    CHECK(e.services.notices == std::vector<std::string>{"Saved to a.txt."});

    e.type(u"two");
    CHECK(e.commands.SaveAs() == Outcome::NotChosen);
    CHECK(e.dialog.FileName == e.path("a.txt"));
    e.dialog.choices = {e.path("no/such/folder.txt")};
    CHECK(e.commands.SaveAs() == Outcome::Failed);
    CHECK(e.dialog.FileName == e.path("a.txt"));
    CHECK(e.marked());
    CHECK(e.commands.Quicksave() == Outcome::Saved);
    CHECK(readFile(e.path("a.txt")) == "one\r\ntwo");
    CHECK(e.dialog.shown.size() == 3);
    CHECK(!fs::exists(e.path("no")));
}

// heraldpad FILE: read as Load reads a chosen file; a missing one is an empty
// text that the first save creates; a folder fails as a load does; a name
// the character set cannot read is told with its bytes shown, and the save
// asks for a name.
TEST_CASE("a file named on the command line")
{
    Editor e;
    REQUIRE(writeFile(e.path("given.txt"), "given\r\n"));
    const fs::path before = fs::current_path();
    fs::current_path(e.dir.path());
    e.commands.OpenFile("nodir/../given.txt"); // named as the writer typed it
    fs::current_path(before);
    CHECK(e.text() == u"given\r\n");
    CHECK(e.dialog.FileName == e.path("given.txt"));
    CHECK(!e.marked());
    e.type(u"!");
    CHECK(e.commands.Quicksave() == Outcome::Saved);
    CHECK(e.services.notices == std::vector<std::string>{"Saved to given.txt."});

    Editor missing;
    missing.commands.OpenFile(missing.path("new.txt"));
    CHECK(missing.text().empty());
    CHECK(!missing.marked());
    missing.type(u"first");
    CHECK(missing.commands.Quicksave() == Outcome::Saved);
    CHECK(readFile(missing.path("new.txt")) == "first");

    Editor folder;
    folder.commands.OpenFile(folder.dir.path());
    CHECK(folder.text() == kError);
    CHECK(!folder.marked());

    Editor odd;
    odd.commands.OpenUnnamable("caf\xE9 \xC3\xA9t\xC3.txt");
    CHECK(odd.text() == kError);
    REQUIRE(odd.services.loadFailures.size() == 1);
#ifndef _WIN32 // (bytes that are no UTF-8 make no Windows name)
    CHECK(odd.services.loadFailures[0].starts_with("caf\\xE9 \u00E9t\\xC3.txt: "));
#endif
    CHECK(odd.commands.Quicksave() == Outcome::NotChosen);
    REQUIRE(odd.dialog.shown.size() == 1);
    CHECK(odd.dialog.shown[0].kind == "save");
}

// A save refused for characters the code page cannot store names them (the
// invisible by name) and selects the first; each refusal after it selects
// the next one, and after the last the first again. Nothing is asked about
// the file another program put there meanwhile.
TEST_CASE("a refused save selects each character in turn")
{
    Editor e;
    e.commands.OpenFile(e.path("news.txt"));
    e.type(u"a\U0001F600b\u200Fc\r\n\u4E2D");
    REQUIRE(writeFile(e.path("news.txt"), "theirs"));
    std::vector<std::ptrdiff_t> selected;
    for (int i = 0; i < 4; ++i) {
        CHECK(e.commands.Quicksave() == Outcome::Failed);
        CHECK(e.d.host.selected.length == (e.d.host.selected.start == 1 ? 2 : 1));
        selected.push_back(e.d.host.selected.start);
    }
    CHECK(selected == std::vector<std::ptrdiff_t>{1, 4, 8, 1});
    // From the caret when none of them is selected.
    e.d.host.selected = {5, 0};
    CHECK(e.commands.Quicksave() == Outcome::Failed);
    CHECK(e.d.host.selected.start == 8);
    CHECK(e.services.failures[0] ==
          e.path("news.txt").string() +
              ": 3 characters cannot be stored in Windows-1252: \"\U0001F600\" (U+1F600) at line "
              "1, column 2; right-to-left mark (U+200F) at line 1, column 4; \"\u4E2D\" (U+4E2D) "
              "at line 2, column 1.");
    CHECK(readFile(e.path("news.txt")) == "theirs");
    CHECK(e.services.diskQuestions.empty());

    // A text with no file yet: refused before a name is asked for; side by
    // side, each is selected in turn.
    Editor unnamed;
    unnamed.type(u"\U0001F600\u4E2D\u6587");
    std::vector<std::ptrdiff_t> turns;
    for (int i = 0; i < 4; ++i) {
        CHECK(unnamed.commands.Quicksave() == Outcome::Failed);
        turns.push_back(unnamed.d.host.selected.start);
    }
    CHECK(turns == std::vector<std::ptrdiff_t>{0, 2, 3, 0});
    CHECK(unnamed.dialog.shown.empty());
}

// A load shows the file (its line ends made CR LF) and is clean; a failed
// one shows the error line, which is no edit, and keeps the name typed, so
// that Ctrl+S writes there, asking first when another program put a file
// there meanwhile. A failed Quickload keeps the saved text, and leaves no
// other file current.
TEST_CASE("loads, and the name a failed one keeps")
{
    Editor e;
    REQUIRE(writeFile(e.path("a.txt"), "first\nsecond"));
    e.dialog.choices = {e.path("a.txt")};
    e.commands.Load();
    CHECK(e.text() == u"first\r\nsecond\r\n");
    CHECK(e.d.document.SavedText() == e.text());
    CHECK(!e.marked());
    CHECK(!e.d.document.LoadingFile());

    for (const char *chosen : {"missing.txt", ""}) {
        Editor failed;
        const fs::path name = failed.path(chosen);
        failed.dialog.choices = {name};
        failed.commands.Load();
        CHECK(failed.text() == kError);
        CHECK(!failed.marked());
        CHECK(!failed.d.document.LoadingFile());
        CHECK(failed.dialog.FileName == name);
    }
    Editor created;
    created.dialog.choices = {created.path("missing.txt")};
    created.commands.Load();
    REQUIRE(writeFile(created.path("missing.txt"), "theirs"));
    CHECK(created.commands.Quicksave() == Outcome::NotChosen);
    CHECK(created.services.diskQuestions ==
          std::vector<std::string>{"save over created: " + created.path("missing.txt").string()});
    CHECK(readFile(created.path("missing.txt")) == "theirs");
    fs::remove(created.path("missing.txt"));
    CHECK(created.commands.Quicksave() == Outcome::Saved);
    CHECK(created.dialog.shown.size() == 1);
    CHECK(readFile(created.path("missing.txt")) == latin1(kError));

    Editor quick;
    quick.commands.Quickload(); // no quick file
    CHECK(quick.text() == kError);
    CHECK(quick.dialog.FileName.empty());
    quick.loadQuickFile("kept\r\n");
    fs::remove(quick.path("news.txt"));
    quick.commands.Quickload();
    CHECK(quick.text() == kError);
    CHECK(quick.dialog.FileName == quick.path("news.txt"));
    CHECK(quick.d.document.SavedText() == u"kept\r\n");
    // Emptying before the read was an edit against "kept"; the message is not.
    CHECK(quick.marked());

    // Another current file is never written with the error line: after a
    // failed Quickload, Ctrl+S asks for a name.
    Editor other;
    REQUIRE(writeFile(other.path("story.txt"), "story"));
    other.dialog.choices = {other.path("story.txt")};
    other.commands.Load();
    other.commands.Quickload(); // no quick file
    CHECK(other.text() == kError);
    CHECK(other.commands.Quicksave() == Outcome::NotChosen);
    CHECK(other.dialog.shown.size() == 2);
    CHECK(readFile(other.path("story.txt")) == "story");
}

// A failed save changes nothing: not the text, the mark, the saved text, the
// current file or the file.
TEST_CASE("a failed save changes nothing")
{
    Editor e;
    e.loadQuickFile("on disk\r\n");
    e.type(u"\u2713");
    const std::u16string text = e.text();
    CHECK(e.commands.Quicksave() == Outcome::Failed);
    e.dialog.choices = {e.path("no/such/folder.txt")};
    CHECK(e.commands.SaveAs() == Outcome::Failed);
    REQUIRE(e.services.failures.size() == 2);
    CHECK(e.services.failures[0].starts_with(e.path("news.txt").string() + ": Line 2, column 1:"));
    CHECK(readFile(e.path("news.txt")) == "on disk\r\n");
    CHECK(e.text() == text);
    CHECK(e.marked());
    CHECK(e.d.document.SavedText() == u"on disk\r\n");
    CHECK(e.dialog.FileName == e.path("news.txt"));
}

// Long work is shown from its start to its end, also when it fails; the
// progress told only ever grows, and ends at the whole.
TEST_CASE("loads and saves show their work")
{
    struct Row {
        std::string command;
        bool fails;
        std::vector<std::string> work;
    } const rows[] = {
        {"quickload", false, {"Loading news.txt", "100%", "end"}},
        {"quickload", true, {"Loading news.txt", "end"}},
        {"quicksave", false, {"Saving news.txt", "100%", "end"}},
        {"quicksave", true, {"Saving news.txt", "end"}},
    };
    for (const Row &row : rows) {
        INFO(row.command, row.fails);
        Editor e;
        if (row.command == "quicksave")
            e.commands.OpenFile(e.path("news.txt")); // not there yet
        e.type(u"typed");
        if (row.fails)
            REQUIRE(fs::create_directory(e.path("news.txt")));
        else if (row.command == "quickload")
            REQUIRE(writeFile(e.path("news.txt"), "news\r\n"));
        e.services.answers = {kNo};
        row.command == "quicksave" ? void(e.commands.Quicksave()) : e.commands.Quickload();
        std::vector<std::string> work = e.services.work;
        if (!work.empty()) // the folder left out of the name
            work[0].erase(work[0].find((e.dir.path() / "").string()),
                          (e.dir.path() / "").string().size());
        CHECK(work == row.work);
    }
    for (const std::string command : {"quickload", "reload", "quicksave"}) {
        INFO(command);
        Editor e;
        e.d.host.tellsProgress = true;
        // Lone LFs, so that the text is longer than the file.
        std::string news;
        for (int i = 0; i < 300000; ++i)
            news += "a line of the news\n";
        e.loadQuickFile(command == "quicksave" ? news : "short\r\n");
        e.services.progress.clear();
        if (command == "quicksave") {
            e.type(u"!");
            CHECK(e.commands.Quicksave() == Outcome::Saved);
        } else {
            REQUIRE(writeFile(e.path("news.txt"), news));
            command == "reload" ? e.commands.checkFileOnDisk() : e.commands.Quickload();
            CHECK(e.text().size() == news.size() * 20 / 19);
        }
        REQUIRE(e.services.progress.size() > 4);
        for (std::size_t i = 1; i < e.services.progress.size(); ++i)
            CHECK(e.services.progress[i] >= e.services.progress[i - 1]);
        CHECK(e.services.progress.back() == 1.0);
    }
}

// Coming back to the window while a command's prompt is open (the prompt is
// a window of its own) looks at nothing until the command is done.
TEST_CASE("no look at the file while a command runs")
{
    Editor e;
    e.loadQuickFile("old\r\n");
    e.type(u"!");
    REQUIRE(writeFile(e.path("news.txt"), "changed by another program\r\n"));
    bool busy = false;
    e.services.whileAsking = [&e, &busy] {
        busy = e.commands.busy();
        e.commands.checkFileOnDisk();
    };
    e.services.answers = {kCancel};
    e.commands.Quickload();
    CHECK(busy);
    CHECK(e.services.diskQuestions.empty());
    CHECK(!e.commands.busy());
    e.commands.checkFileOnDisk();
    CHECK(e.services.diskQuestions ==
          std::vector<std::string>{"reload: " + e.path("news.txt").string()});
}

// A dropped file that cannot be read does not become the file Ctrl+S writes
// to, nor does the file before it stay so: Ctrl+S asks for a name, and the
// error line never goes over a file.
TEST_CASE("a dropped file that cannot be read is not the current file")
{
    Editor e;
    e.loadQuickFile("quick\r\n");
#ifdef _WIN32
    REQUIRE(fs::create_directory(e.path("pipe.txt")));
#else
    REQUIRE(::mkfifo(e.path("pipe.txt").c_str(), 0600) == 0);
#endif
    e.commands.LoadDropped(e.path("pipe.txt"));
    CHECK(e.text() == kError);
    CHECK(e.dialog.FileName.empty());
    e.type(u"!");
    CHECK(e.commands.Quicksave() == Outcome::NotChosen);
    CHECK(readFile(e.path("news.txt")) == "quick\r\n");
}
