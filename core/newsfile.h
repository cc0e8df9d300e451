#pragma once

#include "codepage.h"
#include "fileresult.h"
#include "filestate.h"
#include "memorycheck.h"
#include "progress.h"
#include "systemmemory.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Takes the text of a file a slice of whole lines at a time.
using TextSink = std::function<void(std::u16string_view slice)>;

// What a load gave: the text as news file bytes (CR LF line ends) and, for a
// file, what it was as read: its identity, times and the digest of its bytes
// as they were on the disk. Or why it failed, in result.
struct NewsRead {
    FileResult result;
    std::string bytes;
    FileState state;
    explicit operator bool() const { return result.ok(); }
};

// Where a load's bytes come from: it gives all of them as they are (and, for
// a file, what the file was as read), or why it cannot. available: the memory
// there is (bytes; -1: not known); progress: how far the reading has come.
using NewsSource = std::function<NewsRead(const ProgressSink &progress, std::int64_t available)>;
// A regular file, read through the system's calls; a pipe or a device is
// refused (it could block or never end), and so is a file larger than the
// memory there is.
NewsSource regularFileSource(const std::filesystem::path &path);
// Bytes read already (standard input, once it ended).
NewsSource bytesSource(std::string bytes);

// The one road of every load: the source's bytes get CR LF line ends (every
// line, the last one too, is followed by CR LF; CR LF, a lone CR and a lone
// LF each end a line), are checked against the available memory once more,
// and go to appendSlice decoded, in slices of whole lines. A source that
// fails gives appendSlice nothing. result is TooLarge when they do not fit.
NewsRead LoadNews(const NewsSource &source, const CodePage &codePage, const TextSink &appendSlice,
                  const ProgressSink &progress = {}, std::int64_t available = availableMemory());

// LoadNews() of a regular file.
NewsRead ReadNewsFile(const std::filesystem::path &path, const CodePage &codePage,
                      const TextSink &appendSlice, const ProgressSink &progress = {},
                      std::int64_t available = availableMemory());

// Decodes news file bytes with LF line ends (normaliseLineEnds()) a slice of
// whole lines at a time, so that a large file is never held as bytes, as one
// decoded string and in the text area at once.
void decodeInSlices(std::string_view bytes, const CodePage &codePage, const TextSink &appendSlice,
                    const ProgressSink &progress = {});

// The bytes a file is to hold for a text: the text in the code page, where
// a character unchanged since the saved bytes (the text as last loaded or
// saved) that was read from a second pair keeps that pair (keptpairs.h). Or
// why the text cannot be stored: a character the code page has no byte for,
// or a kept byte that would be read back joined to the next one. exact says
// whether the bytes decode to the very text (no character stored decomposed).
struct NewsBytes {
    FileResult result;
    std::string bytes;
    bool exact = true;
    explicit operator bool() const { return result.ok(); }
};
NewsBytes EncodeNewsText(std::u16string_view text, const CodePage &codePage,
                         const ProgressSink &progress = {}, std::string_view saved = {});

// EncodeNewsText(), then the bytes replace the file's contents in the ways
// writeFileBytes() (filewriting.h) tells. A text that cannot be stored fails
// without touching the file.
FileResult WriteNewsFile(const std::filesystem::path &path, std::u16string_view text,
                         const CodePage &codePage, const ProgressSink &progress = {},
                         std::string_view saved = {});

// "news.txt" in the given working directory.
std::filesystem::path QuickFilePath(const std::filesystem::path &workingDirectory);
