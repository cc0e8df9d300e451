#pragma once

#include "filestate.h"

#include <QString>

#include <optional>

// What the program remembers of the current file on disk: what it was when
// last read completely or written here, what a failed save left there, and
// what the writer was last told of it. With it, a change that another program
// or person made is told once and never written over unasked, and the
// program's own writes are never taken for one.
class DiskRecord {
public:
    // The file at path was read completely or written here, and is now state.
    void keep(const QString &path, const FileState &state);
    // The file at path could not be read: whatever is there (or comes there)
    // was never read here.
    void notRead(const QString &path);
    // A save to path failed; after is what it left there, when it touched it.
    void saveFailed(const QString &path, const std::optional<FileState> &after);

    // What to ask before writing the text over the file at path.
    enum class Ask {
        Nothing,    // write: the file is as read or written here, not there, or another one
        Changed,    // another program changed it
        NotRead,    // it was there but could not be read when it was opened
        NowLink,    // it was replaced by a link, or its link by one to another file (linkTarget)
        Created,    // there was none when the program looked, and another program made it
        Unreadable, // it changed and can no longer be read (errno in error)
        Unknown,    // the system cannot say what is there (errno in error)
    };
    Ask beforeSave(const QString &path, QString *linkTarget = nullptr, int *error = nullptr);
    // The writer was asked about the file at path as it now is.
    void told(const QString &path);

    // What to tell of the current file when the writer comes back to the
    // window: each change once.
    enum class Tell {
        Nothing,
        Changed,
        Deleted,
        NowLink,    // as Ask::NowLink; nothing was read from it (linkTarget)
        Unreadable, // it changed and can no longer be read (errno in error)
        Unknown,    // the system cannot say what is there (errno in error)
    };
    Tell sinceLastLook(const QString &currentFile, int *error = nullptr,
                       QString *linkTarget = nullptr);
    // Whether the file at path may be read in place of the one kept: it is
    // no link, or one that leads where the link kept did, or to target, which
    // the writer agreed to. The name can become a link between a look and a
    // read. error receives the system's error when it cannot say.
    bool leadsWhereAgreed(const QString &path, const QString &target, int *error) const;

    // Whether the file read or written here as currentFile is no file to read
    // now (deleted, or a folder or a pipe in its place), also before the
    // writer came back to the window; or the system cannot say.
    bool gone(const QString &currentFile) const;

    const QString &path() const { return m_path; }
    static bool sameFile(const QString &a, const QString &b);

private:
    // Ask::NowLink when the name at path is a link that was not kept as it
    // now is, Ask::Unknown when the system cannot say where it leads.
    Ask newLink(const QString &path, const FileState &now, QString *target, int *error) const;

    QString m_path;
    FileState m_state;    // as read or written here; absent when nothing was there
    QString m_linkTarget; // where the name led, when it was a link
    bool m_read = true;   // false: what is there was never read here
    std::optional<FileState> m_told;
    QString m_toldLinkTarget;
};
