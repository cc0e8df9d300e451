#include "newsfile.h"

#include "filewriting.h"
#include "keptpairs.h"
#include "lineends.h"
#include "messages.h"
#include "regularfile.h"
#include "unicode.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace {
using unicode::isHighSurrogate;
using unicode::isLowSurrogate;

// "Line L, column C" of the character at index: lines end in LF, and a
// character outside the basic plane is one column.
std::u16string lineAndColumn(std::u16string_view text, size_t index, bool inList = false)
{
    const size_t lastBreak = index == 0 ? text.npos : text.rfind(u'\n', index - 1);
    const size_t lineStart = lastBreak == text.npos ? 0 : lastBreak + 1;
    const long long line =
        std::count(text.begin(), text.begin() + std::ptrdiff_t(lineStart), u'\n') + 1;
    long long column = 1;
    for (size_t i = lineStart; i < index; ++i) {
        if (!isLowSurrogate(text[i]) || i == lineStart || !isHighSurrogate(text[i - 1]))
            ++column;
    }
    return say(inList ? Message::LineAndColumnInList : Message::LineAndColumn,
               {number(line), number(column)});
}

// The width of the character at index: 2 for a surrogate pair, else 1.
size_t widthAt(std::u16string_view text, size_t index)
{
    return isHighSurrogate(text[index]) && index + 1 < text.size() &&
                   isLowSurrogate(text[index + 1])
               ? 2
               : 1;
}

// A character that shows as nothing, or on the one before it, by its name.
std::u16string invisibleName(char32_t c)
{
    switch (c) {
    case 0x200B:
        return say(Message::ZeroWidthSpace);
    case 0x200C:
        return say(Message::ZeroWidthNonJoiner);
    case 0x200D:
        return say(Message::ZeroWidthJoiner);
    case 0x200E:
        return say(Message::LeftToRightMark);
    case 0x200F:
        return say(Message::RightToLeftMark);
    case 0x2060:
        return say(Message::WordJoiner);
    case 0xFEFF:
        return say(Message::ZeroWidthNoBreakSpace);
    case 0xFE0E:
    case 0xFE0F:
        return say(Message::VariationSelector);
    default:
        if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
            return say(Message::TextDirectionMark);
        // (Shown on its own, it would sit on the quotation mark.)
        if (unicode::isMark(c))
            return say(Message::CombiningMark);
        return {};
    }
}

// Bytes or a code point in capital hexadecimal, at least digits long.
std::u16string capitalHex(unsigned long value, int digits)
{
    char out[16];
    std::snprintf(out, sizeof out, "%0*lX", digits, value);
    return std::u16string(out, out + std::char_traits<char>::length(out));
}

// "\"中\" (U+4E2D)", or "right-to-left mark (U+200F)".
std::u16string nameOf(std::u16string_view text, size_t index)
{
    const size_t width = widthAt(text, index);
    const char32_t c =
        width == 2 ? unicode::fromSurrogates(text[index], text[index + 1]) : text[index];
    const std::u16string code = capitalHex(c, 4);
    const std::u16string invisible = invisibleName(c);
    return invisible.empty() ? say(Message::QuotedCharacter, {text.substr(index, width), code})
                             : say(Message::NamedCharacter, {invisible, code});
}

// Where every character that cannot be stored starts, from the first one.
std::vector<std::ptrdiff_t> unstorableFrom(std::u16string_view text, std::ptrdiff_t first,
                                           const CodePage &codePage)
{
    std::vector<std::ptrdiff_t> found;
    for (std::ptrdiff_t at = first; at >= 0;) {
        found.push_back(at);
        const size_t next = size_t(at) + widthAt(text, size_t(at));
        const std::ptrdiff_t bad = codePage.firstUnstorable(text.substr(next));
        at = bad < 0 ? -1 : std::ptrdiff_t(next) + bad;
    }
    return found;
}

std::u16string codePageName(const CodePage &codePage)
{
    const std::string name = codePage.name();
    return std::u16string(name.begin(), name.end());
}

// Each of them named where it is, the first few when there are many.
std::u16string describeUnstorable(std::u16string_view text,
                                  const std::vector<std::ptrdiff_t> &where,
                                  const CodePage &codePage)
{
    const size_t first = size_t(where.front());
    if (where.size() == 1)
        return say(Message::CannotBeStored,
                   {lineAndColumn(text, first), nameOf(text, first), codePageName(codePage)});
    constexpr size_t kNamed = 3;
    std::u16string named;
    for (size_t i = 0; i < std::min(kNamed, where.size()); ++i) {
        if (i > 0)
            named += u"; ";
        const size_t at = size_t(where[i]);
        named += say(Message::CharacterAt, {nameOf(text, at), lineAndColumn(text, at, true)});
    }
    if (where.size() > kNamed)
        named +=
            u"; " + say(Message::AndMore, {number(static_cast<long long>(where.size() - kNamed))});
    return say(Message::CharactersCannotBeStored,
               {number(static_cast<long long>(where.size())), codePageName(codePage), named});
}

// A kept byte that the character after it would join into another one.
std::u16string describeJoin(std::u16string_view text, size_t index, const CodePage &codePage)
{
    std::u16string kept;
    for (const char b : codePage.encode(text.substr(index, 1))) {
        if (!kept.empty())
            kept += u' ';
        kept += capitalHex(static_cast<unsigned char>(b), 2);
    }
    return say(Message::KeptByteWouldJoin,
               {lineAndColumn(text, index), kept, codePageName(codePage)});
}

// The text as news file bytes, checked and encoded in slices, telling progress
// after each; characters unchanged since the saved bytes keep their pairs.
// Returns the index of the first character that no byte stands for, or -1
// when bytes holds the whole text; join tells where a kept byte would join
// the byte after it, or -1.
std::ptrdiff_t encodeInSlices(std::u16string_view text, const CodePage &codePage,
                              std::string_view saved, std::string &bytes, bool &exact,
                              std::ptrdiff_t &join, const ProgressSink &progress)
{
    const std::vector<KeptPair> keep = pairsToKeep(codePage, text, saved);
    CodePage::Encoder encoder(codePage, bytes, keep);
    bytes.reserve(codePage.isDoubleByte() ? text.size() * 2 : text.size());
    const size_t size = text.size();
    for (size_t done = 0; done < size;) {
        const std::u16string_view slice = text.substr(done, size_t(kSlice));
        if (const std::ptrdiff_t bad = codePage.firstUnstorable(slice); bad >= 0)
            return std::ptrdiff_t(done) + bad;
        encoder.append(slice);
        done += slice.size();
        if (progress)
            progress(std::int64_t(done), std::int64_t(size));
    }
    exact = encoder.exact();
    join = encoder.firstJoin();
    return -1;
}

FileResult fileTooLarge()
{
    return FileResult::failure(FileResult::Kind::TooLarge, say(Message::FileTooLarge));
}
} // namespace

NewsSource regularFileSource(const std::filesystem::path &path)
{
    return [path](const ProgressSink &progress, std::int64_t available) -> NewsRead {
        HeldFile file;
        FileState opened;
        if (const FileResult result = openRegularFile(path, file, opened); !result)
            return {result, {}, {}};
        const std::int64_t size = opened.size;
        // Better a plain failure now than the system running out of memory
        // while reading, or halfway through filling the text area.
        if (!loadFitsInMemory(size, 0, available))
            return {fileTooLarge(), {}, {}};
        const auto readSoFar = [&progress, size](std::int64_t done) {
            if (progress)
                progress(done, size);
        };
        std::string bytes;
        if (const FileResult read = readAllInSlices(file, size, bytes, readSoFar); !read)
            return {read, {}, {}};
        // Every byte is in: an error in closing a file that was only read
        // loses nothing.
        file.close();
        opened.setBytes(bytes);
        const int link = FileState::isLink(path);
        if (link < 0)
            return {FileResult::system(-link), {}, {}};
        opened.link = link > 0;
        return {{}, std::move(bytes), opened};
    };
}

NewsSource bytesSource(std::string bytes)
{
    // (Given once: a second load from it gets nothing.)
    return [held = std::make_shared<std::string>(std::move(bytes))](const ProgressSink &,
                                                                    std::int64_t) -> NewsRead {
        return {{}, std::exchange(*held, std::string()), {}};
    };
}

NewsRead LoadNews(const NewsSource &source, const CodePage &codePage, const TextSink &appendSlice,
                  const ProgressSink &progress, std::int64_t available)
{
    try {
        // Reading is the first half of the work, filling the text the second.
        NewsRead read = source(partOf(progress, 0, 2), available);
        if (!read)
            return read;
        std::ptrdiff_t lines = 0;
        // (The bytes as read are not held beside the text while it is decoded.)
        std::string bytes = normaliseLineEnds(std::exchange(read.bytes, std::string()), lines);
        if (!loadFitsInMemory(std::int64_t(bytes.size()), lines, available))
            return {fileTooLarge(), {}, {}};
        decodeInSlices(bytes, codePage, appendSlice, partOf(progress, 1, 2));
        return {{}, std::move(bytes), read.state};
    } catch (const std::bad_alloc &) {
        return {fileTooLarge(), {}, {}};
    }
}

NewsRead ReadNewsFile(const std::filesystem::path &path, const CodePage &codePage,
                      const TextSink &appendSlice, const ProgressSink &progress,
                      std::int64_t available)
{
    return LoadNews(regularFileSource(path), codePage, appendSlice, progress, available);
}

void decodeInSlices(std::string_view bytes, const CodePage &codePage, const TextSink &appendSlice,
                    const ProgressSink &progress)
{
    const size_t total = bytes.size();
    std::u16string text;
    for (size_t start = 0; start < total;) {
        const size_t lineEnd = bytes.find('\n', std::min(start + size_t(kSlice), total) - 1);
        const size_t end = lineEnd == bytes.npos ? total : lineEnd + 1;
        const std::string_view slice = bytes.substr(start, end - start);
        text.resize(slice.size());
        text.resize(codePage.decodeInto(slice, text.data()));
        appendSlice(text);
        start = end;
        if (progress)
            progress(std::int64_t(end), std::int64_t(total));
    }
}

NewsBytes EncodeNewsText(std::u16string_view text, const CodePage &codePage,
                         const ProgressSink &progress, std::string_view saved)
{
    NewsBytes encoded;
    try {
        std::ptrdiff_t join = -1;
        if (const std::ptrdiff_t bad =
                encodeInSlices(text, codePage, saved, encoded.bytes, encoded.exact, join, progress);
            bad >= 0) {
            encoded.result = FileResult::failure(FileResult::Kind::Unstorable, {});
            encoded.result.unstorable = unstorableFrom(text, bad, codePage);
            encoded.result.error = describeUnstorable(text, encoded.result.unstorable, codePage);
        } else if (join >= 0) {
            // Only bytes that read back as the text on screen are written.
            encoded.result = FileResult::failure(FileResult::Kind::Unstorable,
                                                 describeJoin(text, size_t(join), codePage));
        }
    } catch (const std::bad_alloc &) {
        encoded.result =
            FileResult::failure(FileResult::Kind::TooLarge, say(Message::NoMemoryToWrite));
    }
    if (!encoded)
        encoded.bytes.clear();
    return encoded;
}

FileResult WriteNewsFile(const std::filesystem::path &path, std::u16string_view text,
                         const CodePage &codePage, const ProgressSink &progress,
                         std::string_view saved)
{
    const NewsBytes encoded = EncodeNewsText(text, codePage, partOf(progress, 0, 2), saved);
    if (!encoded)
        return encoded.result;
    return writeFileBytes(path, encoded.bytes, partOf(progress, 1, 2));
}

std::filesystem::path QuickFilePath(const std::filesystem::path &workingDirectory)
{
    return workingDirectory / "news.txt";
}
