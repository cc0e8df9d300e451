#pragma once

#include <cstdint>

#include <filesystem>
#include <string_view>

#ifndef _WIN32
struct stat;
#endif

// What a file was when the program last looked at it: its identity and times
// as the file system keeps them, and a digest of its bytes where they were
// read or written. A file that was not there is remembered as absent.
struct FileState {
    bool present = false;
    bool regular = false;
    bool folder = false;
    bool link = false; // the name itself is a symbolic link
    int unknown = 0;   // the system's error when it could not say what is there
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time, in nanoseconds
    std::int64_t changedNs = 0;  // status-change time, in nanoseconds
    bool bytesKnown = false;
    std::uint64_t digest = 0; // of the file's bytes, when bytesKnown

    static FileState absent() { return {}; }
    // The file's identity and times now (following links), and whether the
    // name is a link; no digest.
    static FileState look(const std::filesystem::path &path);
    // The same, with the digest of bytes, which the file holds. A file the
    // program just wrote that the system cannot look at is remembered by its
    // size and bytes alone.
    static FileState of(const std::filesystem::path &path, std::string_view bytes);
    static std::uint64_t digestOf(std::string_view bytes);
    // 1 when the name is a symbolic link, 0 when not, minus the system's
    // error when it could not say.
    static int isLink(const std::filesystem::path &path);
#ifndef _WIN32
    // From what stat() or fstat() said of a file that is there.
    static FileState fromStat(const struct stat &st);
#endif
    void setBytes(std::string_view bytes);

    bool sameIdentityAndTimes(const FileState &other) const;
};

// How the file at a path stands against what was remembered of it.
enum class DiskChange {
    None,       // the same bytes (a touch, or a rewrite with the very same bytes)
    Changed,    // other bytes, or a file where there was none
    Deleted,    // gone since it was read or written
    Unreadable, // other identity or times, and its bytes cannot be read to tell
};

// Looks again at the file; reads its bytes only when its identity, size or
// times differ from what was remembered. When they differ but the bytes are
// the same, refreshed (when given) receives what the file now is, so that the
// next look need not read the bytes again. seen: what a look just now found,
// so that it need not look again. With Unreadable goes the system's error.
struct DiskLook {
    DiskChange change = DiskChange::None;
    int error = 0;
};
DiskLook changeSince(const FileState &remembered, const std::filesystem::path &path,
                     FileState *refreshed = nullptr, const FileState *seen = nullptr);
