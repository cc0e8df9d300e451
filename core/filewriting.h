#pragma once

#include "fileresult.h"
#include "filestate.h"
#include "progress.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Puts bytes into the file at path, telling progress as bytes written of all
// bytes. A link stays a link: the file it points to is written. Mode, owner
// and group stay (on Windows: attributes and the security descriptor).
//
// A regular file is replaced: the bytes go to a new file beside it, which is
// on the disk (fsync) before it takes the old one's name, so that a failure or
// a power cut leaves the old file or the new one, never a mix. A file that
// has more than one name (hard links), that lies in a folder taking no new
// file, or whose owner or group the new file cannot be given, is rewritten in
// place instead, so that every name sees the new text: its blocks are
// reserved first, its old bytes are held in memory, and a failure puts them
// back. On Windows so is a file that another program holds without letting
// it be replaced, and a read-only file is written by no one. Devices and
// pipes are written as they are; what went to them cannot be taken back.
//
// after receives what the file at path now is, whenever the write touched it:
// with the digest of the new bytes after a success, of the old ones when they
// were put back, and without one (FileResult::incomplete) when they could not.
FileResult writeFileBytes(const std::filesystem::path &path, std::string_view bytes,
                          const ProgressSink &progress = {},
                          std::optional<FileState> *after = nullptr);

// The file that a link at path leads to, as a full path; path itself when it
// is no link. When the system cannot say: no file, and its error.
struct Linked {
    std::filesystem::path file;
    int error = 0;
};
Linked linkedFile(const std::filesystem::path &path);
