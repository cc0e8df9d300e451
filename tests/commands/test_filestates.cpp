#include "newsfiles.h"
#include "stdtext.h"

#include <doctest/doctest.h>

#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
namespace fs = std::filesystem;

// What the file holds; "other" is another program's text of the same size.
const std::string kOld = "old news\r\n";
const std::string kOther = "new text\r\n";
const std::string kAgain = "third go\r\n";
const std::string kBig(5000, 'x');

const std::string &bytesOf(const std::string &symbol)
{
    static const std::map<std::string, std::string> kBytes = {
        {"old", kOld},
        {"old!", kOld + "!"},
        {"old\x80", kOld + "\x80"}, // U+0080, which Windows-1252 cannot store
        {"other!", kOther + "!"},
        {"old+big", kOld + kBig},
        {"other", kOther},
        {"again", kAgain},
        {"grown", kOld + kGrowth},
        {"cut", "old"},
        {"error", "Error while opening file"},
        {"error!", "Error while opening file!"},
        {"!", "!"},
        {"", ""},
    };
    REQUIRE(kBytes.count(symbol) == 1);
    return kBytes.at(symbol);
}

std::vector<std::string> split(const std::string &list)
{
    std::vector<std::string> items;
    std::istringstream in(list);
    for (std::string item; std::getline(in, item, ',');)
        items.push_back(item);
    return items;
}

// When the file was last written, as finely as the system keeps it.
std::int64_t modifiedTime(const fs::path &path)
{
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data{};
    REQUIRE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
    return (std::int64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
#else
    struct stat st {};
    REQUIRE(::stat(path.c_str(), &st) == 0);
    return std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
}

void setFileSizeLimit([[maybe_unused]] bool limited)
{
#ifndef _WIN32
    struct rlimit limit {};
    REQUIRE(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
    limit.rlim_cur = limited ? 1000 : limit.rlim_max;
    REQUIRE(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
#endif
}

#ifdef _WIN32
// The files another program holds open meanwhile.
std::vector<HANDLE> &heldFiles()
{
    static std::vector<HANDLE> held;
    return held;
}

void releaseHeld()
{
    for (const HANDLE file : heldFiles())
        ::CloseHandle(file);
    heldFiles().clear();
}
#endif

// What another program (or the system) does to news.txt meanwhile.
void meanwhile(const std::string &what, const Editor &e, const NewsFile &file, SystemFaults &faults)
{
    const fs::path &news = file.news;
    std::error_code none; // (a file made meanwhile has no time before)
    const fs::file_time_type before = fs::last_write_time(news, none);
    const auto relink = [&](const fs::path &target) {
        REQUIRE(fs::remove(news));
        fs::create_symlink(target, news);
    };
    if (what == "touch") {
        fs::last_write_time(news, before + std::chrono::seconds(60));
    } else if (what == "inplace" || what == "again" || what == "oldtimes" || what == "created") {
        std::fstream f(news, std::ios::in | std::ios::out | std::ios::binary);
        if (!f.is_open())
            f.open(news, std::ios::out | std::ios::binary);
        f << (what == "again" ? kAgain : kOther);
        f.close();
        if (what == "oldtimes")
            fs::last_write_time(news, before);
        else if (what != "created")
            fs::last_write_time(news, before + std::chrono::seconds(60));
    } else if (what == "renamed") {
        REQUIRE(writeFile(e.path("renamed.tmp"), kOther));
        fs::rename(e.path("renamed.tmp"), news);
    } else if (what == "grown") {
        std::ofstream(news, std::ios::binary | std::ios::app) << kGrowth;
    } else if (what == "deleted") {
        REQUIRE(fs::remove(news));
    } else if (what == "folder") {
        REQUIRE((fs::remove(news) && fs::create_directory(news)));
    } else if (what == "fifo") {
#ifndef _WIN32
        REQUIRE((fs::remove(news) && ::mkfifo(news.c_str(), 0600) == 0));
#endif
    } else if (what == "linked") {
        relink(e.path("elsewhere/secret.txt"));
    } else if (what == "relinked") {
        relink("elsewhere/secret.txt");
    } else if (what == "linkedsame" || what == "linkedagreed") {
        const fs::path target =
            e.path(what == "linkedsame" ? "elsewhere/same.txt" : "elsewhere/agreed.txt");
        REQUIRE(writeFile(target, what == "linkedsame" ? kOld : kOther));
        relink(target);
    } else if (what == "dangling") {
        relink(e.path("elsewhere/none.txt"));
    } else if (what == "linkedfolder") {
        relink(e.path("sub"));
    } else if (what == "readfails") {
        faults.failingReads = news;
    } else if (what == "chmod") {
        // As for a writer who is not root: the file's bytes are as they
        // were, but it can no longer be opened.
#ifdef _WIN32
        // (What another program's change of the file's rights changes too:
        // its change time.)
        REQUIRE(::SetFileAttributesW(news.c_str(), FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
#else
        fs::permissions(news, fs::perms::none);
#endif
        faults.unreadable = news;
    } else if (what == "unreadable") {
        faults.unreadable = news;
#ifdef _WIN32
    } else if (what == "held" || what == "heldrw") {
        // Another program reading the file, letting others read it (and
        // write it, as fopen does), but not delete or rename it.
        const DWORD sharing = FILE_SHARE_READ | (what == "heldrw" ? FILE_SHARE_WRITE : 0);
        const HANDLE held =
            ::CreateFileW(news.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        REQUIRE(held != INVALID_HANDLE_VALUE);
        heldFiles().push_back(held);
    } else if (what == "released") {
        releaseHeld();
#endif
    } else if (what == "fsize" || what == "nofsize") {
        setFileSizeLimit(what == "fsize");
    } else if (what == "full" || what == "room") {
        faults.spaceLeft = what == "full" ? 0 : -1;
    } else if (what == "dying" || what == "healed") {
        faults.bytesUntilDead = what == "dying" ? 100 : -1;
    } else {
        FAIL("no such change: " << what);
    }
}

struct Row {
    std::string name;
    std::string kind;    // what news.txt is at first
    std::string steps;   // commands, and "m:" what others do meanwhile
    std::string answers; // to the questions about the file
    std::vector<std::string> told;
    std::string text;
    bool marked;
    std::string disk; // on every name of news.txt ("": none is a file)
};

// clang-format off
const Row kRows[] = {
        // Loads: a file read completely, or the error line and nothing else.
        {"quickload regular", "regular", "quickload", "", {}, "old", false, "old"},
        {"quickload missing", "missing", "quickload", "", {}, "error", false, ""},
        {"load a folder", "folder", "load", "", {}, "error", false, ""},
        {"open a FIFO", "fifo", "open", "", {}, "error", false, ""},
        {"quickload unreadable", "unreadable", "quickload", "", {}, "error", false, "old"},
        {"open two names", "links", "open", "", {}, "old", false, "old"},
        {"open a link", "link", "open", "", {}, "old", false, "old"},
        {"quickload grows while read", "growing", "quickload", "", {}, "grown", false, "grown"},
        {"open a dangling link, save", "dangling", "open,type!,quicksave", "", {}, "!", false, "!"},
        // Back at the window: clean text follows the file; what cannot be
        // read is told once and changes nothing.
        {"touched", "regular", "quickload,m:touch,activate", "", {}, "old", false, "old"},
        {"LF file touched", "lf", "quickload,type!,m:touch,activate,quicksave", "", {}, "old!", false, "old!"},
        {"changed in place", "regular", "quickload,m:inplace,activate", "", {}, "other", false, "other"},
        {"replaced by rename", "regular", "quickload,m:renamed,activate", "", {}, "other", false, "other"},
        {"old times put back", "regular", "quickload,m:oldtimes,activate", "", {}, "other", false, "other"},
        {"grown", "regular", "quickload,m:grown,activate", "", {}, "grown", false, "grown"},
        {"deleted", "regular", "quickload,m:deleted,activate,activate", "", {"deleted: news.txt"}, "old", false, ""},
        {"now a folder", "regular", "quickload,m:folder,activate,activate", "", {"not reloaded: news.txt is now a folder."}, "old", false, ""},
        {"now a FIFO", "regular", "quickload,type!,m:fifo,activate", "", {"not reloaded: news.txt is now a pipe or a device, not a file."}, "old!", true, ""},
        {"now unreadable", "regular", "quickload,m:inplace,m:unreadable,activate", "", {"not reloaded: news.txt cannot be read: Permission denied"}, "old", false, "other"},
        {"unsaved, Reload", "regular", "quickload,type!,m:inplace,activate", "yes", {"reload: news.txt"}, "other", false, "other"},
        {"unsaved, kept, told once", "regular", "quickload,type!,m:inplace,activate,activate", "cancel", {"reload: news.txt"}, "old!", true, "other"},
        {"a second change is told", "regular", "quickload,type!,m:inplace,activate,m:again,activate", "cancel,cancel", {"reload: news.txt", "reload: news.txt"}, "old!", true, "again"},
        // Saves: the program's own writes ask nothing; another's change is
        // never written over unasked.
        {"quicksave", "regular", "quickload,type!,quicksave,quicksave", "", {}, "old!", false, "old!"},
        {"quicksave touched", "regular", "quickload,m:touch,type!,quicksave", "", {}, "old!", false, "old!"},
        {"quicksave changed, Cancel", "regular", "quickload,m:inplace,type!,quicksave,activate", "cancel", {"save over: news.txt"}, "old!", true, "other"},
        {"quicksave changed, Save over", "regular", "quickload,m:inplace,type!,quicksave,quicksave", "yes", {"save over: news.txt"}, "old!", false, "old!"},
        {"quicksave old times put back", "regular", "quickload,m:oldtimes,type!,quicksave", "cancel", {"save over: news.txt"}, "old!", true, "other"},
        {"quicksave deleted", "regular", "quickload,m:deleted,type!,quicksave", "", {}, "old!", false, "old!"},
        {"quicksave created meanwhile", "missing", "open,m:created,type!,quicksave", "cancel", {"save over created: news.txt"}, "!", true, "other"},
        {"quicksave a folder", "folder", "open,type!,quicksave", "", {"failed: It is a folder, not a file."}, "error!", true, ""},
        {"quicksave unread", "unreadable", "open,type!,quicksave", "cancel", {"save over unread: news.txt"}, "error!", true, "old"},
        {"quicksave now a link", "regular", "quickload,m:linked,type!,quicksave", "cancel", {"save over link: news.txt -> elsewhere/secret.txt"}, "old!", true, "other"},
        {"save as onto it, changed", "regular", "quickload,m:inplace,type!,saveas", "cancel", {"save over: news.txt"}, "old!", true, "other"},
        {"exit Yes, changed", "regular", "quickload,m:inplace,type!,exit-yes", "cancel", {"prompt", "save over: news.txt"}, "old!", true, "other"},
        // Text whose file was deleted or cannot be read any more is in no
        // file: it is offered for saving before it goes.
        {"deleted, then Exit asks", "regular", "quickload,m:deleted,activate,exit-yes", "", {"prompt", "deleted: news.txt"}, "old", false, "old"},
        {"now a folder, then Exit asks", "regular", "quickload,m:folder,activate,exit-yes", "", {"prompt", "not reloaded: news.txt is now a folder.", "failed: It is a folder, not a file."}, "old", false, ""},
        {"deleted unseen, Exit asks", "regular", "quickload,m:deleted,exit-yes", "", {"prompt"}, "old", false, "old"},
        {"now a folder unseen, Quickload asks", "regular", "quickload,m:folder,quickload-yes", "", {"prompt", "failed: It is a folder, not a file."}, "old", false, ""},
        {"open missing, Exit ends", "missing", "open,exit-yes", "", {}, "", false, ""},
        {"a link led elsewhere", "link", "open,type!,m:relinked,quicksave", "cancel", {"save over link: news.txt -> elsewhere/secret.txt"}, "old!", true, "other"},
        // A link put in the file's place while the writer was elsewhere:
        // asked about before anything is read from it, whatever it leads to;
        // each save asks until the writer agrees to where it leads.
        {"linked unseen, clean", "regular", "quickload,m:linked,activate,activate,quicksave", "cancel,cancel", {"reload from link: news.txt -> elsewhere/secret.txt", "save over link: news.txt -> elsewhere/secret.txt"}, "old", false, "other"},
        {"linked to the same bytes", "regular", "quickload,m:linkedsame,activate", "", {"reload from link: news.txt -> elsewhere/same.txt"}, "old", false, "old"},
        {"linked, reloaded from it, saved", "regular", "quickload,m:linkedagreed,activate,type!,quicksave", "yes", {"reload from link: news.txt -> elsewhere/agreed.txt"}, "other!", false, "other!"},
        {"linked, unsaved kept, Exit Yes", "regular", "quickload,type!,m:linked,activate,exit-yes", "", {"prompt", "reload unsaved from link: news.txt -> elsewhere/secret.txt", "save over link: news.txt -> elsewhere/secret.txt"}, "old!", true, "other"},
        {"linked nowhere", "regular", "quickload,m:dangling,activate", "", {"reload from link: news.txt -> elsewhere/none.txt"}, "old", false, ""},
        {"linked to a folder", "regular", "quickload,m:linkedfolder,activate", "", {"reload from link: news.txt -> sub"}, "old", false, ""},
        // A failed save is told once, not again at the next activation; a
        // file that cannot be read is not said to be changed.
        {"refused, a change meanwhile left for the next save", "regular", "quickload,m:inplace,type\x80,quicksave,activate", "", {"failed: Line 2, column 1: \"\u0080\" (U+0080) cannot be stored in Windows-1252."}, "old\x80", true, "other"},
        {"save fails on a folder, told once", "regular", "quickload,type!,m:folder,quicksave,activate", "", {"failed: It is a folder, not a file."}, "old!", true, ""},
        {"quicksave, its bytes cannot be read", "regular", "quickload,m:touch,m:readfails,type!,quicksave", "cancel", {"save over unreadable: news.txt: Input/output error"}, "old!", true, "old"},
        {"quicksave unreadable now", "regular", "quickload,m:chmod,type!,quicksave", "cancel", {"save over unreadable: news.txt: Permission denied"}, "old!", true, "old"},
        {"unreadable now, then Exit asks", "regular", "quickload,m:chmod,activate,exit-yes", "yes,yes", {"prompt", "not reloaded: news.txt cannot be read: Permission denied", "save over unreadable: news.txt: Permission denied"}, "old", false, "old"},
        {"a device written twice", "device", "open,type!,quicksave,activate,quicksave", "yes", {"save over unread: /dev/null"}, "error!", false, ""},
        {"two names, shorter", "links", "open,cut,quicksave", "", {}, "cut", false, "cut"},
        {"mode and group kept", "mode", "quickload,type!,quicksave,mode", "", {}, "old!", false, "old!"},
        // A full disk: the file keeps its old bytes on every name, and the
        // next save with room asks nothing.
        {"two names, full disk", "links", "open,big,times,m:full,quicksave,disk:old,times=,m:room,quicksave", "", {"failed: No space left on device"}, "old+big", false, "old+big"},
        {"full disk", "regular", "quickload,big,m:full,quicksave,disk:old,m:room,activate,quicksave", "", {"failed: No space left on device"}, "old+big", false, "old+big"},
        // A disk that fails while the new text goes in and while the old one
        // is put back: the writer is told, and that save is no other
        // program's change.
        {"two names, put back fails", "links", "open,big,m:dying,quicksave,m:healed,activate,quicksave", "", {"failed: Input/output error", "incomplete"}, "old+big", false, "old+big"},
        // A file-size limit (ulimit -f) fails the save; it does not end the program.
        {"file-size limit", "regular", "quickload,big,m:fsize,quicksave,disk:old,m:nofsize,quicksave", "", {"failed: File too large"}, "old+big", false, "old+big"},
        {"two names, file-size limit", "links", "open,big,m:fsize,quicksave,disk:old,m:nofsize,quicksave", "", {"failed: File too large"}, "old+big", false, "old+big"},
        // Another program holding the file: it is written in place where
        // that program lets others write it; the save fails where not.
        {"held without sharing writes", "regular", "quickload,type!,m:held,quicksave,m:released,quicksave", "", {"failed: {sharing violation}"}, "old!", false, "old!"},
        {"held sharing writes", "links", "open,type!,m:heldrw,quicksave", "", {}, "old!", false, "old!"},
        {"held sharing writes, one name", "regular", "quickload,type!,m:heldrw,quicksave", "", {}, "old!", false, "old!"},
        {"full disk at the prompt of Quickload", "regular", "quickload,big,m:full,quickload-yes,disk:old", "", {"prompt", "failed: No space left on device"}, "old+big", true, "old"},
};
// clang-format on

FileKind kindOf(const std::string &kind)
{
    static const std::map<std::string, FileKind> kKinds = {
        {"regular", FileKind::Regular}, {"lf", FileKind::Regular},
        {"mode", FileKind::Regular},    {"missing", FileKind::Missing},
        {"folder", FileKind::Folder},   {"fifo", FileKind::Fifo},
        {"link", FileKind::Link},       {"dangling", FileKind::Dangling},
        {"links", FileKind::TwoNames},  {"unreadable", FileKind::Unreadable},
        {"growing", FileKind::Growing}, {"device", FileKind::Device},
    };
    REQUIRE(kKinds.count(kind) == 1);
    return kKinds.at(kind);
}

// Why a row cannot run on this system; "" when it can.
std::string whyNotHere(const Row &row)
{
    const auto has = [&row](const char *part) {
        return row.kind == part || row.steps.find(part) != std::string::npos;
    };
    if (!linksCanBeMade() && (has("link") || has("dangling")))
        return "no symbolic links";
#ifndef _WIN32
    if (has("held"))
        return "no file held against others";
#else
    if (has("fifo"))
        return "no named pipes in folders";
    if (has("fsize"))
        return "no file-size limit";
    if (has("mode"))
        return "no mode bits or groups";
#endif
    return "";
}

// What a row says the writer is told, in this system's own words.
std::string hereSaid(std::string told)
{
    const std::pair<std::string, std::string> kWords[] = {
        {"Permission denied", sysfault::words(sysfault::kDenied)},
        {"No space left on device", sysfault::words(sysfault::kDiskFull)},
        {"Input/output error", sysfault::words(sysfault::kInputOutput)},
#ifdef _WIN32
        {"{sharing violation}", sysfault::words(ERROR_SHARING_VIOLATION)},
#endif
        {"/dev/null", sysfault::kDeviceShown},
    };
    for (const auto &[posix, here] : kWords) {
        if (const std::size_t at = told.find(posix); at != std::string::npos)
            told.replace(at, posix.size(), here);
    }
    return told;
}

Command commandOf(const std::string &step)
{
    static const std::map<std::string, Command> kCommands = {
        {"quickload", Command::Quickload}, {"quickload-yes", Command::QuickloadYes},
        {"load", Command::Load},           {"open", Command::Open},
        {"activate", Command::Activate},   {"quicksave", Command::Quicksave},
        {"saveas", Command::SaveAs},       {"exit-yes", Command::ExitYes},
    };
    if (kCommands.count(step) != 1)
        FAIL("no such step: " << step);
    return kCommands.at(step);
}
} // namespace

// Every state the file can be in, against every command that touches it,
// with a real folder: what the writer sees and what the disk holds.
TEST_CASE("every state of the file against every command")
{
    for (const Row &row : kRows) {
        INFO(row.name);
        Editor e;
        if (const std::string why = whyNotHere(row); !why.empty()) {
            MESSAGE(row.name << ": not here, " << why);
            continue;
        }
        SystemFaults faults;
        REQUIRE((fs::create_directory(e.path("sub")) && fs::create_directory(e.path("elsewhere"))));
        REQUIRE(writeFile(e.path("elsewhere/secret.txt"), kOther));
        const NewsFile file =
            makeNewsFile(e, faults, kindOf(row.kind), row.kind == "lf" ? "old news\n" : kOld);
#ifndef _WIN32
        if (row.kind == "mode") {
            REQUIRE(::chmod(file.news.c_str(), 0664) == 0);
            REQUIRE(::chown(file.news.c_str(), ::geteuid(), 65534) == 0);
        }
#endif
        for (const std::string &answer : split(row.answers))
            e.services.diskAnswers.push_back(answer == "yes" ? kYes : kCancel);

        std::int64_t times = 0;
        for (const std::string &step : split(row.steps)) {
            if (step.starts_with("m:")) {
                meanwhile(step.substr(2), e, file, faults);
            } else if (step.starts_with("disk:")) {
                CHECK(readFile(file.news) == bytesOf(step.substr(5)));
            } else if (step == "times") {
                times = modifiedTime(file.news);
            } else if (step == "times=") {
                CHECK_MESSAGE(modifiedTime(file.news) == times, "the file was touched");
            } else if (step == "type!") {
                e.type(u"!");
            } else if (step == "type\x80") {
                e.type(u"\u0080");
            } else if (step == "big") {
                e.type(std::u16string(kBig.begin(), kBig.end()));
            } else if (step == "cut") {
                e.d.host.setText(u"old");
#ifndef _WIN32
            } else if (step == "mode") {
                struct stat st {};
                REQUIRE(::stat(file.news.c_str(), &st) == 0);
                CHECK((st.st_mode & 07777) == 0664);
                CHECK(st.st_gid == gid_t(65534));
#endif
            } else {
                run(e, commandOf(step), file);
            }
        }

        Outcome wanted;
        const std::string &text = bytesOf(row.text);
        for (const char c : text) // Latin-1
            wanted.text += char16_t(static_cast<unsigned char>(c));
        wanted.marked = row.marked;
        for (const std::string &told : row.told)
            wanted.told.push_back(hereSaid(told));
        wanted.disk = row.disk.empty() ? "<no file>" : bytesOf(row.disk);
        // The program ends once the text is in the file, or there is none.
        if (row.steps.ends_with("exit-yes"))
            wanted.ended = readFile(file.news) == text || text.empty() ? 1 : 0;
        CHECK_MESSAGE(differences(wanted, observe(e, file)) == "", row.name);
        if (file.kind == FileKind::Link)
            CHECK(fs::is_symlink(file.news));
        CHECK(readFile(e.path("elsewhere/secret.txt")) == kOther);
        setFileSizeLimit(false);
#ifdef _WIN32
        releaseHeld();
#endif
    }
}

// A link put in the file's place while a reload reads it: nothing is
// reloaded or said until the writer was asked about the link.
TEST_CASE("a link put in place during a reload")
{
    if (!linksCanBeMade())
        return;
    Editor e;
    SystemFaults faults;
    const fs::path news = e.path("news.txt"), secret = e.path("secret.txt");
    e.loadQuickFile(kOld);
    REQUIRE(writeFile(news, kOld + kGrowth));
    REQUIRE(writeFile(secret, kOther));
    faults.onFstat = [&] {
        const fs::path name = news, target = secret; // the closure goes next
        faults.onFstat = nullptr;
        fs::remove(name);
        fs::create_symlink(target, name);
    };
    e.commands.checkFileOnDisk();
    CHECK(e.text() == u"old news\r\n");
    CHECK(e.services.notices.empty());
    e.commands.checkFileOnDisk();
    CHECK(
        e.services.diskQuestions ==
        std::vector<std::string>{"reload from link: " + news.string() + " -> " + secret.string()});
}
