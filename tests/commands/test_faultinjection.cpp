// Makes every system call of a load, a reload and a save fail in turn, with
// each error a disk gives, and checks after each that the file holds its old
// bytes or the whole new ones on every name, that nothing is left beside it,
// that the text and its mark are as the writer left them or as the file now
// is, that the writer is told why, and that the command then goes through.
#include "newsfiles.h"
#include "stdtext.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const std::string kOld = "old news\r\nsecond line\r\n";
const std::string kLonger = "The writer's news\r\nsecond line\r\nand a third one\r\n";
const std::string kShorter = "NEW\r\n";
const std::string kOther = "another program's news\r\n";
constexpr int kPartial = -1; // a write that writes half, then fails: the disk is full

std::u16string latin1(const std::string &bytes)
{
    return {bytes.begin(), bytes.end()}; // (ASCII here)
}

struct Setup {
    Editor e;
    SystemFaults faults;
    NewsFile file;
    std::string before, after; // the file's bytes before, and as the command wants them
    std::u16string textBefore, textAfter;
    bool save = false;

    Setup(FileKind kind, Command command)
    {
        file = makeNewsFile(e, faults, kind, kOld);
        before = after = kind == FileKind::Missing ? "" : kOld;
        switch (command) {
        case Command::Load:
        case Command::Quickload:
            textAfter = latin1(kOld);
            break;
        case Command::Activate: // a reload
            e.commands.OpenFile(file.news);
            REQUIRE(writeFile(file.news, kOther));
            before = after = kOther;
            textBefore = latin1(kOld);
            textAfter = latin1(kOther);
            break;
        default:
            e.commands.OpenFile(file.news);
            // A shorter text where the file is rewritten in place: its tail
            // must go.
            after = kind == FileKind::TwoNames ? kShorter : kLonger;
            e.d.host.setText(latin1(after));
            textBefore = textAfter = latin1(after);
            save = true;
        }
        REQUIRE(e.text() == textBefore);
        faults.calls = 0;
        faults.log.clear();
    }
    std::string disk() const { return before.empty() ? "<no file>" : before; }
};

// What must hold after the command ran with call failing; why not, or "".
std::string check(Setup &s, Command command, const std::string &call, int error)
{
    Editor &e = s.e;
    const Outcome seen = observe(e, s.file);
    const std::string reason = sysfault::words(error == kPartial ? sysfault::kDiskFull : error);
    Outcome wanted;
    if (command == Command::ExitYes)
        wanted.told = {"prompt"};
    std::string wrong;
    if (s.save) {
        const bool written = seen.disk == s.after && s.after != s.before;
        wanted.text = s.textBefore;
        wanted.marked = !written;
        wanted.disk = written ? s.after : s.disk();
        if (!written)
            wanted.told.push_back("failed: " + reason);
        wanted.ended = command == Command::ExitYes && written ? 1 : 0;
        // Bytes the disk did not take never take the file's place; where the
        // file system reserves no blocks, the save goes on without.
        const auto &never = sysfault::kNeverOutlived;
        if (written && std::find(never.begin(), never.end(), call) != never.end())
            wrong += "saved though " + call + " failed\n";
        const auto &unreserved = sysfault::kNoReservation;
        if (!written && call == sysfault::kReserve &&
            std::find(unreserved.begin(), unreserved.end(), error) != unreserved.end())
            wrong += "not saved where no blocks can be reserved\n";
    } else if (command == Command::Activate) {
        const bool reloaded = seen.text == s.textAfter;
        wanted.text = reloaded ? s.textAfter : s.textBefore;
        wanted.disk = s.disk();
        if (!reloaded)
            wanted.told.push_back("not reloaded: news.txt cannot be read: " + reason);
        // The file may no longer hold the text shown: Exit offers to save it.
        e.services.answers = {kCancel};
        const std::size_t prompts = e.services.asked.size();
        e.commands.Exit();
        if (!reloaded && (e.services.asked.size() != prompts + 1 || e.services.ended))
            wrong += "Exit threw away a text in no file\n";
    } else {
        // A load shows the file, or the error line and nothing else.
        wanted.text = seen.text == s.textAfter ? s.textAfter : FileCommands::loadErrorText();
        wanted.disk = s.disk();
    }
    return wrong + differences(wanted, seen);
}

// With the fault gone, the same command goes through and asks nothing.
std::string again(Setup &s, Command command)
{
    Editor &e = s.e;
    e.services.failures.clear();
    e.services.diskQuestions.clear();
    e.services.asked.clear();
    e.services.ended = 0;
    if (command == Command::Activate) {
        // The change was told once; the next one is read.
        REQUIRE(writeFile(s.file.news, kOld));
        s.before = s.after = kOld;
        s.textAfter = latin1(kOld);
    }
    // (Exit asks only about unsaved text.)
    const bool asks = command == Command::ExitYes && e.marked();
    run(e, command, s.file);
    Outcome wanted;
    wanted.text = s.textAfter;
    wanted.disk = s.save ? s.after : s.disk();
    wanted.ended = command == Command::ExitYes ? 1 : 0;
    if (asks)
        wanted.told = {"prompt"};
    return differences(wanted, observe(e, s.file));
}
} // namespace

TEST_CASE("every call fails in turn, and each failure is survived")
{
    const std::pair<FileKind, std::string> kinds[] = {
        {FileKind::Regular, "replaced"},
        {FileKind::TwoNames, "two names"},
        {FileKind::Link, "a link"},
        {FileKind::Missing, "missing"},
        {FileKind::RefusingFolder, "a folder taking no new file"},
    };
    const std::pair<Command, std::string> commands[] = {
        {Command::Load, "Load"},       {Command::Quickload, "Quickload"},
        {Command::Activate, "Reload"}, {Command::Quicksave, "Quicksave"},
        {Command::SaveAs, "Save as"},  {Command::ExitYes, "Yes at Exit"},
    };
    int points = 0;
    for (const auto &[kind, kindName] : kinds) {
        for (const auto &[command, commandName] : commands) {
            // A missing file has nothing to load or reload; links only
            // where the system makes them.
            if (kind == FileKind::Link && !linksCanBeMade())
                continue;
            if (kind == FileKind::Missing &&
                (command == Command::Load || command == Command::Quickload ||
                 command == Command::Activate))
                continue;
            INFO(kindName, ", ", commandName);
            // Once to count the calls, and to see the command go through.
            std::vector<std::string> calls;
            {
                Setup s(kind, command);
                run(s.e, command, s.file);
                calls = s.faults.log;
                std::erase(calls, sysfault::kCleanUp);
                REQUIRE(check(s, command, "", 0) == "");
                REQUIRE((s.save ? readFile(s.file.news) == s.after : s.e.text() == s.textAfter));
                // A save is on the disk before it is said to be done: the
                // last write is synced.
                const auto lastWrite = std::find(calls.rbegin(), calls.rend(), sysfault::kWrite);
                if (s.save)
                    CHECK(std::find(calls.rbegin(), lastWrite, sysfault::kFlush) != lastWrite);
            }
            std::string failures;
            for (std::size_t n = 1; n <= calls.size(); ++n) {
                const std::string &call = calls[n - 1];
                std::vector<int> errors = sysfault::kErrors;
                const auto add = [&errors](const std::vector<int> &more) {
                    errors.insert(errors.end(), more.begin(), more.end());
                };
                if (call == sysfault::kWrite)
                    add({kPartial});
                if (call == sysfault::kReserve)
                    add(sysfault::kNoReservation);
                if (call == sysfault::kReplace)
                    add(sysfault::kReplaceErrors);
                for (const int error : errors) {
                    Setup s(kind, command);
                    s.faults.failAt = int(n);
                    s.faults.failWith = error == kPartial ? sysfault::kDiskFull : error;
                    s.faults.partial = error == kPartial;
                    run(s.e, command, s.file);
                    s.faults.failAt = 0;
                    ++points;
                    std::string wrong = check(s, command, call, error);
                    if (wrong.empty())
                        wrong = again(s, command);
                    if (!wrong.empty())
                        failures += "call " + std::to_string(n) + " (" + call + ") failing with " +
                                    (error == kPartial ? "a short write" : std::to_string(error)) +
                                    ":\n" + wrong;
                }
            }
            CHECK_MESSAGE(failures == "", failures);
        }
    }
    MESSAGE(points << " failure points injected, each survived");
}
