#pragma once

// The two ways of writing a file where it is, without a new file beside it:
// a regular file rewritten in place, and a device or a pipe. The choice
// between them and a replacement is writeFileBytes()'s (filewriting.h).
#include "fileresult.h"
#include "filestate.h"
#include "progress.h"
#include "win32calls.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Rewrites the regular file name (path, as the writer named it) so that
// every name of it sees the new bytes: its clusters reserved first, its old
// bytes held in memory and put back after a failure. With create, a file
// that is not there is made (through a link that leads nowhere yet). after
// as for writeFileBytes().
FileResult writeInPlace(const std::filesystem::path &path, const std::filesystem::path &name,
                        std::string_view bytes, const ProgressSink &progress,
                        std::optional<FileState> *after, bool create = false);

// Writes a device or a pipe as it is: what went there stays there.
FileResult writeToDevice(const std::filesystem::path &path, const std::filesystem::path &name,
                         std::string_view bytes, const ProgressSink &progress,
                         std::optional<FileState> *after);
