#pragma once

// The two ways of writing a file where it is, without a new file beside it:
// a regular file rewritten in place, and a device or a pipe. the
// choice between them and a replacement is writeFileBytes()'s (filewriting.h).
#include "fileresult.h"
#include "filestate.h"
#include "progress.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Rewrites the regular file name (path, as the writer named it) so that
// every link to it sees the new bytes: its blocks reserved first, its old
// bytes held in memory and put back after a failure. after as for
// writeFileBytes().
FileResult writeInPlace(const std::filesystem::path &path, const std::filesystem::path &name,
                        std::string_view bytes, const ProgressSink &progress,
                        std::optional<FileState> *after);

// Writes a device or a pipe as it is: what went there stays there.
FileResult writeToDevice(const std::filesystem::path &path, const std::filesystem::path &name,
                         std::string_view bytes, const ProgressSink &progress,
                         std::optional<FileState> *after);
