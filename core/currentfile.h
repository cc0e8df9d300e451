#pragma once

#include "filestate.h"

#include <filesystem>
#include <optional>

// What has become of the current file on disk since it was read or written
// here: what a save asks about, and what the writer is told on coming back
// to the window.
enum class DiskNews {
    Nothing,    // as read or written here (or not the current file)
    Changed,    // another program changed it
    Deleted,    // it is gone (told, never asked: the save makes it again)
    NotRead,    // it was there but could not be read when it was opened
    NowLink,    // replaced by a link, or its link by one to another file
    Created,    // there was none when the program looked, and another program made it
    Unreadable, // it changed and can no longer be read
    Unknown,    // the system cannot say what is there
};

// The current file: the one name Ctrl+S writes to, and what the program
// remembers of it. Its name is kept in the file dialog's field, which nothing
// else outside the dialog writes; with the name go what the file was on disk
// when last read completely or written here, what the writer was last told
// of it, and whether the text shown is in no file any more. A change that
// another program or person made is told once and never written over unasked,
// and the program's own writes are never taken for one.
class CurrentFile {
public:
    using Path = std::filesystem::path;

    // name: the file dialog's field, where the current name is shown to the
    // dialog and read back from it.
    explicit CurrentFile(Path &name) : m_name(name) {}
    CurrentFile(const CurrentFile &) = delete;
    CurrentFile &operator=(const CurrentFile &) = delete;

    // Empty while the text belongs to no file: Ctrl+S then asks for a name.
    const Path &name() const { return m_path; }
    // Whether path names the current file, by any spelling or link.
    bool isCurrent(const Path &path) const;
    // The name the dialog's user just chose; the dialog's field holds the
    // current name again.
    Path takeChosen();

    // The file at path was read completely or written here, and is now
    // state: it becomes the current file, the text shown being its text.
    void adopt(const Path &path, const FileState &state);
    // The file at path was opened but could not be read: its name becomes
    // the current one, and whatever is there (or comes there) was never read
    // here, so nothing is written over it unasked.
    void adoptUnread(const Path &path);
    // A read of path into the text failed: when it is the current file, it
    // is one whose contents were never read here; else the text shown
    // belongs to no file any more (Ctrl+S asks for a name).
    void readFailed(const Path &path);
    // A save to path failed; after is what it left there, when it touched it.
    void saveFailed(const Path &path, const std::optional<FileState> &after);

    // What was found on disk: the news, where a new link leads
    // (DiskNews::NowLink), the system's error (Unreadable, Unknown).
    struct Look {
        DiskNews news = DiskNews::Nothing;
        Path linkTarget;
        int error = 0;
    };
    // What to ask before writing the text over the file at path.
    Look beforeSave(const Path &path);
    // The writer was asked about, or told of, the file at path as it now is.
    void told(const Path &path);
    // What to tell of the current file when the writer comes back to the
    // window: each state of it once.
    Look sinceLastLook();
    // Whether the file at path may be read in place of the one kept: Nothing
    // when it is no link, or one that leads where the link kept did, or to
    // target, which the writer agreed to (the name can become a link between
    // a look and a read); NowLink when not; Unknown when the system cannot say.
    Look leadsWhereAgreed(const Path &path, const Path &target) const;

    // The text shown, clean or not, is in no file: the current one was
    // deleted or replaced by what cannot be read, told or not yet (a file
    // deleted while the window kept the focus was never looked at).
    bool onlyOnScreen();
    // The current file no longer holds the text shown.
    void lost() { m_onlyOnScreen = true; }

private:
    // DiskNews::NowLink when the name at path is a link that was not kept as
    // it now is, Unknown when the system cannot say where it leads.
    Look newLink(const Path &path, const FileState &now) const;
    // Whether the file kept is no file to read now, or the system cannot say.
    bool gone() const;

    Path &m_name;       // the dialog's copy of m_path
    Path m_path;        // the current file
    FileState m_state;  // as read or written here; absent when nothing was there
    Path m_linkTarget;  // where the name led, when it was a link
    bool m_read = true; // false: what is there was never read here
    bool m_onlyOnScreen = false;
    std::optional<FileState> m_told;
    Path m_toldLinkTarget;
};
