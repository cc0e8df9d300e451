#include "newsfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// Work goes in slices of this many bytes or characters, with the progress
// told after each, so that a long load or save never goes long without it.
constexpr qsizetype kSliceBytes = 1 << 20;

QString tr(const char *text)
{
    return QCoreApplication::translate("NewsFile", text);
}
} // namespace

qint64 availableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : meminfo.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kib = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kib * 1024 : -1;
        }
    }
    return -1;
}

namespace {
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True when every line already ends in CR LF, so the bytes need no copy;
// lines is then their number.
bool lineEndsAreCrLf(const QByteArray &bytes, qsizetype &lines)
{
    const qsizetype n = bytes.size();
    lines = 0;
    if (n == 0)
        return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n')
        return false;
    qsizetype crs = 0;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 2), ++crs) {
        if (i + 1 >= n || bytes[i + 1] != '\n')
            return false;
    }
    // Now every CR starts a CR LF; an LF without CR shows as more LFs than CRs.
    lines = crs;
    return crs == bytes.count('\n');
}

QString describeUnstorable(const QString &text, qsizetype index, const CodePage &codePage)
{
    char32_t codePoint = text.at(index).unicode();
    qsizetype width = 1;
    if (text.at(index).isHighSurrogate() && index + 1 < text.size() &&
        text.at(index + 1).isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(text.at(index), text.at(index + 1));
        width = 2;
    }
    const qsizetype lineStart = text.lastIndexOf(u'\n', index) + 1;
    const qsizetype line = text.left(lineStart).count(u'\n') + 1;
    qsizetype column = 1;
    for (qsizetype i = lineStart; i < index; ++i) {
        if (!text.at(i).isLowSurrogate() || i == lineStart || !text.at(i - 1).isHighSurrogate())
            ++column;
    }
    return tr("Line %1, column %2: \"%3\" (U+%4) cannot be stored in %5.")
        .arg(line)
        .arg(column)
        .arg(text.mid(index, width))
        .arg(QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0'))
        .arg(codePage.name());
}

// The file itself, not a link to it: a save replaces the file the link points to.
QString resolveTarget(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    if (info.isSymLink())
        return info.symLinkTarget();
    return path;
}

// Opens a regular file for reading. Anything else fails at once: opening a
// pipe would wait for a writer, and a device may never end.
FileResult openRegularFile(const QString &path, QFile &file, qint64 &size)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FileResult::failure(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    const int statError = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (statError || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (statError)
            return FileResult::failure(QString::fromLocal8Bit(std::strerror(statError)));
        return FileResult::failure(S_ISDIR(st.st_mode) ? tr("Is a directory")
                                                       : tr("Not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileResult::failure(file.errorString());
    }
    size = st.st_size;
#else
    const QFileInfo info(path);
    if (info.isDir())
        return FileResult::failure(tr("Is a directory"));
    if (info.exists() && !info.isFile())
        return FileResult::failure(tr("Not a regular file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileResult::failure(file.errorString());
    size = file.size();
#endif
    return {};
}

// All of a file of about sizeHint bytes, read in slices, telling how many
// bytes are in after each.
QByteArray readAllInSlices(QFile &file, qint64 sizeHint, const std::function<void(qint64)> &read)
{
    QByteArray bytes;
    bytes.resize(qsizetype(sizeHint));
    qsizetype done = 0;
    for (;;) {
        if (done == bytes.size())
            bytes.resize(done + kSliceBytes); // the file grew while being read
        const qint64 n = file.read(bytes.data() + done, std::min(kSliceBytes, bytes.size() - done));
        if (n <= 0)
            break;
        done += n;
        read(done);
    }
    bytes.truncate(done);
    return bytes;
}

// Writing is the second half of a save's work, encoding the first.
void tellWritten(const ProgressSink &progress, qint64 written, qint64 total)
{
    if (progress)
        progress(total + written, 2 * std::max<qint64>(total, 1));
}

// Writes all bytes in slices, telling progress after each.
bool writeAll(QFileDevice &file, const QByteArray &bytes, const ProgressSink &progress)
{
    const qsizetype size = bytes.size();
    for (qsizetype done = 0; done < size;) {
        const qsizetype n = std::min(kSliceBytes, size - done);
        if (file.write(bytes.constData() + done, n) != n)
            return false;
        done += n;
        tellWritten(progress, done, size);
    }
    return true;
}

// The text as news file bytes, checked and encoded in slices, telling progress
// after each. Returns the index of the first character that no byte stands
// for, or -1 when bytes holds the whole text.
qsizetype encodeInSlices(const QString &text, const CodePage &codePage, QByteArray &bytes,
                         bool &exact, const ProgressSink &progress)
{
    exact = true;
    bytes.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype done = 0; done < size;) {
        const QStringView slice = QStringView(text).sliced(done, std::min(kSliceBytes, size - done));
        if (const qsizetype bad = codePage.firstUnstorable(slice); bad >= 0)
            return done + bad;
        bool sliceExact = true;
        bytes.append(codePage.encode(slice, &sliceExact));
        exact = exact && sliceExact;
        done += slice.size();
        if (progress)
            progress(done, 2 * size);
    }
    return -1;
}

FileResult writeInPlace(const QString &path, const QByteArray &bytes, const ProgressSink &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return FileResult::failure(file.errorString());
    if (!writeAll(file, bytes, progress))
        return FileResult::failure(file.errorString());
    file.close();
    return {};
}

FileResult writeReplacing(const QString &path, const QByteArray &bytes,
                          const ProgressSink &progress)
{
    QSaveFile file(path);
    // Where the folder takes no new file but the file itself is writable.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(file.errorString());
    if (!writeAll(file, bytes, progress)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return FileResult::failure(why);
    }
    if (!file.commit())
        return FileResult::failure(file.errorString());
    return {};
}
// Bytes as read from a file, with every line end made CR LF and the last line
// ended; lines receives the number of lines.
QByteArray normaliseLineEnds(const QByteArray &bytes, qsizetype &lines)
{
    if (lineEndsAreCrLf(bytes, lines))
        return bytes;
    lines = 0;
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (!isLineEnd(p[i]))
            continue;
        out.append(p + start, i - start);
        out.append("\r\n", 2);
        ++lines;
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(p + start, n - start);
        out.append("\r\n", 2);
        ++lines;
    }
    return out;
}
} // namespace

bool loadFitsInMemory(qint64 bytes, qint64 lines, qint64 availableBytes)
{
    if (availableBytes < 0)
        return true;
    const qint64 needed = bytes * 4 + lines * kBytesPerLine;
    return needed < availableBytes - availableBytes / 8;
}

FileResult ReadNewsFile(const QString &path, const CodePage &codePage, const TextSink &appendSlice,
                        QByteArray &fileBytes, const ProgressSink &progress, qint64 available)
{
    fileBytes.clear();
    const QString tooLarge = tr("The file is too large to be held in memory");
    try {
        QFile file;
        qint64 size = 0;
        if (const FileResult opened = openRegularFile(path, file, size); !opened)
            return opened;
        // Better a plain failure now than the system running out of memory
        // while reading, or halfway through filling the text area.
        if (!loadFitsInMemory(size, 0, available))
            return FileResult::failure(tooLarge);
        // Reading is the first half of the work, filling the text the second.
        const auto firstHalf = [&progress, size](qint64 done) {
            if (progress)
                progress(std::min(done, size), 2 * std::max<qint64>(size, 1));
        };
        QByteArray bytes = readAllInSlices(file, size, firstHalf);
        if (file.error() != QFileDevice::NoError)
            return FileResult::failure(file.errorString());
        file.close();
        qsizetype lines = 0;
        bytes = normaliseLineEnds(bytes, lines);
        if (!loadFitsInMemory(bytes.size(), lines, available))
            return FileResult::failure(tooLarge);
        // A slice of whole lines at a time, so that a large file is never held
        // as bytes, as one decoded string and in the text area at once.
        const qsizetype total = bytes.size();
        for (qsizetype start = 0; start < total;) {
            const qsizetype lineEnd = bytes.indexOf('\n', std::min(start + kSliceBytes, total) - 1);
            const qsizetype end = lineEnd < 0 ? total : lineEnd + 1;
            appendSlice(codePage.decode(QByteArrayView(bytes).sliced(start, end - start)));
            start = end;
            if (progress)
                progress(total + end, 2 * total);
        }
        fileBytes = std::move(bytes);
        return {};
    } catch (const std::bad_alloc &) {
        return FileResult::failure(tooLarge);
    }
}

FileResult WriteNewsFile(const QString &path, const QString &text, const CodePage &codePage,
                         QByteArray *written, const ProgressSink &progress)
{
    try {
        QByteArray bytes;
        bool exact = true;
        if (const qsizetype bad = encodeInSlices(text, codePage, bytes, exact, progress); bad >= 0)
            return FileResult::failure(describeUnstorable(text, bad, codePage));
        const QString target = resolveTarget(path);
        const QFileInfo info(target);
        // Devices and pipes cannot be replaced, only written to.
        const FileResult result = info.exists() && !info.isFile() && !info.isDir()
                                      ? writeInPlace(target, bytes, progress)
                                      : writeReplacing(target, bytes, progress);
        if (result && written)
            *written = exact ? bytes : QByteArray();
        return result;
    } catch (const std::bad_alloc &) {
        return FileResult::failure(tr("Not enough memory to write the file"));
    }
}

QString QuickFilePath(const QString &workingDirectory, QChar separator)
{
    QString path = workingDirectory;
    if (path.isEmpty() || path.back() != separator)
        path += separator;
    return path + QLatin1String("news.txt");
}
