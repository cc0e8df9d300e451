#pragma once

#include "fileresult.h"
#include "filestate.h"
#include "progress.h"

#include <filesystem>
#include <functional>
#include <string>

// Reading regular files, from the system's own calls (platform/posix/).

// An open file, closed when it goes.
class OpenFile {
public:
    OpenFile() = default;
    ~OpenFile() { close(); }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    // 0, or the system's error (errno) of closing it.
    int close();
    int fd = -1;
};

// Opens a regular file for reading; anything else fails at once: opening a
// pipe would wait for a writer, and a device may never end. state receives
// the file's identity, size and times as it was opened (no digest yet).
FileResult openRegularFile(const std::filesystem::path &path, OpenFile &file, FileState &state);

// All of an open file of about sizeHint bytes, read in slices, telling how
// many bytes are in after each; a file that grew meanwhile is read to its end.
FileResult readAllInSlices(OpenFile &file, std::int64_t sizeHint, std::string &bytes,
                           const std::function<void(std::int64_t)> &read = {});

// All bytes of a regular file; a failure when it is none or cannot be read.
FileResult readRegularFile(const std::filesystem::path &path, std::string &bytes);
