#pragma once

#include "fileresult.h"
#include "filestate.h"
#include "progress.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Reading regular files, from the system's own calls (platform/posix/,
// platform/win32/).

#ifdef _WIN32
using FileHandle = void *; // a HANDLE
inline FileHandle const kNoFile = reinterpret_cast<FileHandle>(-1);
#else
using FileHandle = int; // a file descriptor
inline constexpr FileHandle kNoFile = -1;
#endif

// An open file, closed when it goes.
class HeldFile {
public:
    HeldFile() = default;
    ~HeldFile() { close(); }
    HeldFile(const HeldFile &) = delete;
    HeldFile &operator=(const HeldFile &) = delete;

    // 0, or the system's error of closing it.
    int close();
    FileHandle handle = kNoFile;
};

// Opens a regular file for reading; anything else fails at once: opening a
// pipe would wait for a writer, and a device may never end. state receives
// the file's identity, size and times as it was opened (no digest yet).
FileResult openRegularFile(const std::filesystem::path &path, HeldFile &file, FileState &state);

// One read of at most size bytes: how many came (0: the end), or -1 and
// the system's error. One write: how many went in (at least one), or -1 and
// the system's error. The system's own calls, one a system.
std::ptrdiff_t readSome(FileHandle file, char *into, std::size_t size, int &error);
std::ptrdiff_t writeSome(FileHandle file, const char *from, std::size_t size, int &error);

// All of an open file of about sizeHint bytes, read in slices, telling how
// many bytes are in after each; a file that grew meanwhile is read to its end.
FileResult readAllInSlices(HeldFile &file, std::int64_t sizeHint, std::string &bytes,
                           const std::function<void(std::int64_t)> &read = {});

// Writes all bytes to file in slices, telling progress after each; 0 or the
// system's error. written receives how many went in.
int writeAll(FileHandle file, std::string_view bytes, const ProgressSink &progress,
             std::ptrdiff_t &written);

// All bytes of a regular file; a failure when it is none or cannot be read.
FileResult readRegularFile(const std::filesystem::path &path, std::string &bytes);
