#pragma once

#include "editor.h"
#include "faults.h"
#include "tempdir.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

// news.txt in an editor's folder as a command meets it: one kind of file
// each, with every name it has.
enum class FileKind {
    Regular,        // a file holding the bytes
    Missing,        // nothing there
    Folder,         // a folder in its place
    Fifo,           // a named pipe (not on Windows)
    Link,           // a link to real/news.txt, which holds the bytes
    Dangling,       // a link to real/news.txt, which is not there
    TwoNames,       // a file with a second name, second.txt
    Unreadable,     // a file that cannot be opened (as for a writer who is not root)
    RefusingFolder, // a file in a folder that takes no new file
    Growing,        // a file that grows while it is read
    Device,         // /dev/null (NUL on Windows)
};

struct NewsFile {
    std::filesystem::path news;               // the name the writer uses
    std::vector<std::filesystem::path> names; // every name of the file, news first
                                              // (a link is read through)
    FileKind kind = FileKind::Regular;
};

inline const std::string kGrowth = "more\r\n"; // what a growing file gains

inline NewsFile makeNewsFile(const Editor &e, SystemFaults &faults, FileKind kind,
                             const std::string &bytes)
{
    namespace fs = std::filesystem;
    NewsFile file{e.path("news.txt"), {e.path("news.txt")}, kind};
    switch (kind) {
    case FileKind::Missing:
        break;
    case FileKind::Folder:
        REQUIRE(fs::create_directory(file.news));
        break;
    case FileKind::Fifo:
#ifdef _WIN32
        FAIL("no named pipe in a folder on Windows");
#else
        REQUIRE(::mkfifo(file.news.c_str(), 0600) == 0);
#endif
        break;
    case FileKind::Link:
    case FileKind::Dangling:
        REQUIRE(fs::create_directory(e.path("real")));
        fs::create_symlink("real/news.txt", file.news); // read through it
        if (kind == FileKind::Link)
            REQUIRE(writeFile(e.path("real/news.txt"), bytes));
        break;
    case FileKind::Device:
        file.news = sysfault::kDevice;
        file.names.clear();
        break;
    default:
        REQUIRE(writeFile(file.news, bytes));
    }
    if (kind == FileKind::TwoNames) {
        fs::create_hard_link(file.news, e.path("second.txt"));
        file.names.push_back(e.path("second.txt"));
    }
    if (kind == FileKind::Unreadable)
        faults.unreadable = file.news;
    if (kind == FileKind::RefusingFolder)
        faults.refusingFolder = e.dir.path();
    if (kind == FileKind::Growing) {
        faults.onFstat = [&faults, news = file.news] {
            const std::filesystem::path name = news; // the closure goes next
            faults.onFstat = nullptr;
            std::ofstream(name, std::ios::binary | std::ios::app) << kGrowth;
        };
    }
    return file;
}

// The commands as the writer gives them; the answers to their questions are
// queued before.
enum class Command { Load, Quickload, Open, Activate, Quicksave, SaveAs, ExitYes, QuickloadYes };

inline void run(Editor &e, Command command, const NewsFile &file)
{
    switch (command) {
    case Command::Load:
        e.dialog.choices = {file.news};
        e.commands.Load();
        break;
    case Command::Quickload:
        e.commands.Quickload();
        break;
    case Command::QuickloadYes:
        e.services.answers = {kYes};
        e.commands.Quickload();
        break;
    case Command::Open:
        e.commands.OpenFile(file.news);
        break;
    case Command::Activate:
        e.commands.checkFileOnDisk();
        break;
    case Command::Quicksave:
        e.commands.Quicksave();
        break;
    case Command::SaveAs:
        e.dialog.choices = {file.news};
        e.commands.SaveAs();
        break;
    case Command::ExitYes:
        e.services.answers = {kYes};
        e.commands.Exit();
        break;
    }
}

// What the writer and the disk show once the commands ran, compared whole.
struct Outcome {
    std::u16string text;
    bool marked = false;
    // "prompt" for each save prompt; each question or report about the file
    // (its folder left out of names); "failed: " and the first line of the
    // reason for each failed save ("failed at NAME: " when it names another
    // file), and "incomplete" after one that left the file so.
    std::vector<std::string> told;
    std::string disk;                // on every name of the file; "<no file>", "<names differ>"
    std::vector<std::string> beside; // what else is in the folder, the test's own folders aside
    bool spokeOverWork = false;
    int ended = 0;
};

inline const std::vector<std::string> kTestFolders = {"elsewhere", "real", "sub"};

inline Outcome observe(const Editor &e, const NewsFile &file)
{
    namespace fs = std::filesystem;
    Outcome seen;
    seen.text = e.text();
    seen.marked = e.marked();
    seen.spokeOverWork = e.services.spokeOverWork;
    seen.ended = e.services.ended;
    const std::string folder = (e.dir.path() / "").string();
    const auto shown = [&folder](std::string text) {
        for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
            text.erase(at, folder.size());
        return text;
    };
    seen.told.assign(e.services.asked.size(), "prompt");
    for (const std::string &question : e.services.diskQuestions)
        seen.told.push_back(shown(question));
    const std::string named = file.news.string() + ": ";
    for (const std::string &failure : e.services.failures) {
        const bool ours = failure.starts_with(named);
        const std::string reason = failure.substr(ours ? named.size() : 0);
        seen.told.push_back((ours ? "failed: " : "failed at " + shown(failure) + ": ") +
                            reason.substr(0, reason.find('\n')));
        if (reason.find("incomplete save") != std::string::npos)
            seen.told.push_back("incomplete");
    }
    std::error_code error;
    seen.disk = "<no file>";
    for (std::size_t i = 0; i < file.names.size(); ++i) {
        const std::string bytes =
            fs::is_regular_file(file.names[i], error) ? readFile(file.names[i]) : "<no file>";
        if (i == 0)
            seen.disk = bytes;
        else if (bytes != seen.disk)
            seen.disk = "<names differ>";
    }
    for (const auto &entry : fs::directory_iterator(e.dir.path(), error)) {
        const fs::path &name = entry.path();
        if (std::find(file.names.begin(), file.names.end(), name) == file.names.end() &&
            std::find(kTestFolders.begin(), kTestFolders.end(), name.filename()) ==
                kTestFolders.end())
            seen.beside.push_back(name.filename().string());
    }
    if (fs::is_directory(e.path("real"), error)) {
        for (const auto &entry : fs::directory_iterator(e.path("real"), error)) {
            if (entry.path().filename() != "news.txt")
                seen.beside.push_back("real/" + entry.path().filename().string());
        }
    }
    std::sort(seen.beside.begin(), seen.beside.end());
    return seen;
}

// Every way seen differs from wanted, one a line; empty when none.
inline std::string differences(const Outcome &wanted, const Outcome &seen)
{
    const auto list = [](const std::vector<std::string> &items) {
        std::string out = "{";
        for (const std::string &item : items)
            out += (out.size() > 1 ? ", \"" : "\"") + item + '"';
        return out + '}';
    };
    std::string out;
    const auto differ = [&out](const char *what, const std::string &want, const std::string &got) {
        if (want != got)
            out += std::string(what) + ": wanted " + want + ", seen " + got + '\n';
    };
    differ("text", '"' + said(wanted.text) + '"', '"' + said(seen.text) + '"');
    differ("marked", wanted.marked ? "yes" : "no", seen.marked ? "yes" : "no");
    differ("told", list(wanted.told), list(seen.told));
    differ("disk", '"' + wanted.disk + '"', '"' + seen.disk + '"');
    differ("beside the file", list(wanted.beside), list(seen.beside));
    differ("spoke over the progress", wanted.spokeOverWork ? "yes" : "no",
           seen.spokeOverWork ? "yes" : "no");
    differ("ended", std::to_string(wanted.ended), std::to_string(seen.ended));
    return out;
}
