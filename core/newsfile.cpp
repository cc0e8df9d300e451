#include "newsfile.h"

#include "filewriting.h"
#include "keptpairs.h"
#include "lineends.h"
#include "regularfile.h"
#include "said.h"
#include "stdstrings.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <utility>

namespace {
// "Line L, column C" of the character at index: lines end in LF, and a
// character outside the basic plane is one column.
QString lineAndColumn(const QString &text, qsizetype index, bool inList = false)
{
    const qsizetype lineStart = text.lastIndexOf(u'\n', index) + 1;
    const qsizetype line = text.left(lineStart).count(u'\n') + 1;
    qsizetype column = 1;
    for (qsizetype i = lineStart; i < index; ++i) {
        if (!text.at(i).isLowSurrogate() || i == lineStart || !text.at(i - 1).isHighSurrogate())
            ++column;
    }
    return said(inList ? Message::LineAndColumnInList : Message::LineAndColumn,
                {QString::number(line), QString::number(column)});
}

// The width of the character at index: 2 for a surrogate pair, else 1.
qsizetype widthAt(const QString &text, qsizetype index)
{
    return text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                   text.at(index + 1).isLowSurrogate()
               ? 2
               : 1;
}

// A character that shows as nothing, or on the one before it, by its name.
QString invisibleName(char32_t c)
{
    switch (c) {
    case 0x200B:
        return said(Message::ZeroWidthSpace);
    case 0x200C:
        return said(Message::ZeroWidthNonJoiner);
    case 0x200D:
        return said(Message::ZeroWidthJoiner);
    case 0x200E:
        return said(Message::LeftToRightMark);
    case 0x200F:
        return said(Message::RightToLeftMark);
    case 0x2060:
        return said(Message::WordJoiner);
    case 0xFEFF:
        return said(Message::ZeroWidthNoBreakSpace);
    case 0xFE0E:
    case 0xFE0F:
        return said(Message::VariationSelector);
    default:
        if ((c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
            return said(Message::TextDirectionMark);
        // (Shown on its own, it would sit on the quotation mark.)
        if (QChar::isMark(c))
            return said(Message::CombiningMark);
        return QString();
    }
}

// "\"中\" (U+4E2D)", or "right-to-left mark (U+200F)".
QString nameOf(const QString &text, qsizetype index)
{
    const qsizetype width = widthAt(text, index);
    const char32_t c = width == 2 ? QChar::surrogateToUcs4(text.at(index), text.at(index + 1))
                                  : text.at(index).unicode();
    const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
    const QString invisible = invisibleName(c);
    return invisible.isEmpty() ? said(Message::QuotedCharacter, {text.mid(index, width), code})
                               : said(Message::NamedCharacter, {invisible, code});
}

// Where every character that cannot be stored starts, from the first one.
std::vector<std::ptrdiff_t> unstorableFrom(const QString &text, qsizetype first,
                                           const CodePage &codePage)
{
    std::vector<std::ptrdiff_t> found;
    for (qsizetype at = first; at >= 0;) {
        found.push_back(at);
        const qsizetype next = at + widthAt(text, at);
        const qsizetype bad = codePage.firstUnstorable(qtstd::view(text).substr(size_t(next)));
        at = bad < 0 ? -1 : next + bad;
    }
    return found;
}

// Each of them named where it is, the first few when there are many.
QString describeUnstorable(const QString &text, const std::vector<std::ptrdiff_t> &where,
                           const CodePage &codePage)
{
    if (where.size() == 1)
        return said(Message::CannotBeStored,
                    {lineAndColumn(text, where.front()), nameOf(text, where.front()),
                     QString::fromStdString(codePage.name())});
    constexpr qsizetype kNamed = 3;
    QStringList named;
    const qsizetype count = qsizetype(where.size());
    for (qsizetype i = 0; i < std::min(kNamed, count); ++i)
        named << said(Message::CharacterAt, {nameOf(text, where[size_t(i)]),
                                             lineAndColumn(text, where[size_t(i)], true)});
    if (count > kNamed)
        named << said(Message::AndMore, {QString::number(count - kNamed)});
    return said(Message::CharactersCannotBeStored,
                {QString::number(count), QString::fromStdString(codePage.name()),
                 named.join(QLatin1String("; "))});
}

// A kept byte that the character after it would join into another one.
QString describeJoin(const QString &text, qsizetype index, const CodePage &codePage)
{
    const QByteArray kept =
        qtstd::bytes(codePage.encode(qtstd::view(text).substr(size_t(index), 1)));
    return said(Message::KeptByteWouldJoin,
                {lineAndColumn(text, index), QString::fromLatin1(kept.toHex(' ').toUpper()),
                 QString::fromStdString(codePage.name())});
}

// The text as news file bytes, checked and encoded in slices, telling progress
// after each; characters unchanged since the saved bytes keep their pairs.
// Returns the index of the first character that no byte stands for, or -1
// when bytes holds the whole text; join tells where a kept byte would join
// the byte after it, or -1.
qsizetype encodeInSlices(const QString &text, const CodePage &codePage, std::string_view saved,
                         std::string &bytes, bool &exact, qsizetype &join,
                         const ProgressSink &progress)
{
    const std::vector<KeptPair> keep = pairsToKeep(codePage, qtstd::view(text), saved);
    CodePage::Encoder encoder(codePage, bytes, keep);
    bytes.reserve(size_t(codePage.isDoubleByte() ? text.size() * 2 : text.size()));
    const qsizetype size = text.size();
    for (qsizetype done = 0; done < size;) {
        const std::u16string_view slice = qtstd::view(text).substr(
            size_t(done), size_t(std::min<qsizetype>(kSlice, size - done)));
        if (const qsizetype bad = codePage.firstUnstorable(slice); bad >= 0)
            return done + bad;
        encoder.append(slice);
        done += qsizetype(slice.size());
        if (progress)
            progress(done, size);
    }
    exact = encoder.exact();
    join = encoder.firstJoin();
    return -1;
}

} // namespace

namespace {
FileResult fileTooLarge()
{
    return FileResult::failure(FileResult::Kind::TooLarge, say(Message::FileTooLarge));
}
} // namespace

NewsSource regularFileSource(const QString &path)
{
    return [path](const ProgressSink &progress, qint64 available) -> NewsRead {
        OpenFile file;
        FileState opened;
        if (const FileResult result = openRegularFile(qtstd::path(path), file, opened); !result)
            return {result, {}, {}};
        const qint64 size = opened.size;
        // Better a plain failure now than the system running out of memory
        // while reading, or halfway through filling the text area.
        if (!loadFitsInMemory(size, 0, available))
            return {fileTooLarge(), {}, {}};
        const auto readSoFar = [&progress, size](qint64 done) {
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
        const int link = FileState::isLink(qtstd::path(path));
        if (link < 0)
            return {FileResult::system(errno), {}, {}};
        opened.link = link > 0;
        return {{}, std::move(bytes), opened};
    };
}

NewsSource bytesSource(std::string bytes)
{
    // (Given once: a second load from it gets nothing.)
    return [held = std::make_shared<std::string>(std::move(bytes))](const ProgressSink &,
                                                                    qint64) -> NewsRead {
        return {{}, std::exchange(*held, std::string()), {}};
    };
}

NewsRead LoadNews(const NewsSource &source, const CodePage &codePage, const TextSink &appendSlice,
                  const ProgressSink &progress, qint64 available)
{
    try {
        // Reading is the first half of the work, filling the text the second.
        NewsRead read = source(partOf(progress, 0, 2), available);
        if (!read)
            return read;
        std::ptrdiff_t lines = 0;
        // (The bytes as read are not held beside the text while it is decoded.)
        std::string bytes = normaliseLineEnds(std::exchange(read.bytes, std::string()), lines);
        if (!loadFitsInMemory(qint64(bytes.size()), lines, available))
            return {fileTooLarge(), {}, {}};
        decodeInSlices(bytes, codePage, appendSlice, partOf(progress, 1, 2));
        return {{}, std::move(bytes), read.state};
    } catch (const std::bad_alloc &) {
        return {fileTooLarge(), {}, {}};
    }
}

NewsRead ReadNewsFile(const QString &path, const CodePage &codePage, const TextSink &appendSlice,
                      const ProgressSink &progress, qint64 available)
{
    return LoadNews(regularFileSource(path), codePage, appendSlice, progress, available);
}

void decodeInSlices(std::string_view bytes, const CodePage &codePage, const TextSink &appendSlice,
                    const ProgressSink &progress)
{
    const qsizetype total = qsizetype(bytes.size());
    for (qsizetype start = 0; start < total;) {
        const size_t lineEnd =
            bytes.find('\n', size_t(std::min<qsizetype>(start + kSlice, total) - 1));
        const qsizetype end = lineEnd == bytes.npos ? total : qsizetype(lineEnd) + 1;
        const std::string_view slice = bytes.substr(size_t(start), size_t(end - start));
        QString text(qsizetype(slice.size()), Qt::Uninitialized);
        text.truncate(
            qsizetype(codePage.decodeInto(slice, reinterpret_cast<char16_t *>(text.data()))));
        appendSlice(text);
        start = end;
        if (progress)
            progress(end, total);
    }
}

NewsBytes EncodeNewsText(const QString &text, const CodePage &codePage,
                         const ProgressSink &progress, std::string_view saved)
{
    NewsBytes encoded;
    try {
        qsizetype join = -1;
        if (const qsizetype bad =
                encodeInSlices(text, codePage, saved, encoded.bytes, encoded.exact, join, progress);
            bad >= 0) {
            encoded.result = FileResult::failure(FileResult::Kind::Unstorable, {});
            encoded.result.unstorable = unstorableFrom(text, bad, codePage);
            encoded.result.error = std::u16string(
                qtstd::view(describeUnstorable(text, encoded.result.unstorable, codePage)));
        } else if (join >= 0) {
            // Only bytes that read back as the text on screen are written.
            encoded.result = FileResult::failure(
                FileResult::Kind::Unstorable,
                std::u16string(qtstd::view(describeJoin(text, join, codePage))));
        }
    } catch (const std::bad_alloc &) {
        encoded.result =
            FileResult::failure(FileResult::Kind::TooLarge, say(Message::NoMemoryToWrite));
    }
    if (!encoded)
        encoded.bytes.clear();
    return encoded;
}

FileResult WriteNewsFile(const QString &path, const QString &text, const CodePage &codePage,
                         const ProgressSink &progress, std::string_view saved)
{
    const NewsBytes encoded = EncodeNewsText(text, codePage, partOf(progress, 0, 2), saved);
    if (!encoded)
        return encoded.result;
    return writeFileBytes(qtstd::path(path), encoded.bytes, partOf(progress, 1, 2));
}

QString QuickFilePath(const QString &workingDirectory, QChar separator)
{
    QString path = workingDirectory;
    if (path.isEmpty() || path.back() != separator)
        path += separator;
    return path + QLatin1String("news.txt");
}
