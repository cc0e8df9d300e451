#include "newsfile.h"

#include "newscodec.h"
#include "newsdocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <new>

namespace {
constexpr qsizetype kSliceBytes = 4 << 20;

QString tr(const char *text)
{
    return QCoreApplication::translate("NewsFile", text);
}

// Memory the system can still give, or -1 where it does not say.
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

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True when every line already ends in CR LF, so the bytes need no copy.
bool lineEndsAreCrLf(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    if (n == 0)
        return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n')
        return false;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 2)) {
        if (i + 1 >= n || bytes[i + 1] != '\n')
            return false;
    }
    // Now every CR starts a CR LF; an LF without CR shows as more LFs than CRs.
    return bytes.count('\r') == bytes.count('\n');
}

QString describeUnstorable(const QString &text, qsizetype index)
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
    return tr("Line %1, column %2: \"%3\" (U+%4) cannot be stored in a news text file.")
        .arg(line)
        .arg(column)
        .arg(text.mid(index, width))
        .arg(QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0'));
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

FileResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return FileResult::failure(file.errorString());
    if (file.write(bytes) != bytes.size())
        return FileResult::failure(file.errorString());
    file.close();
    return {};
}

FileResult writeReplacing(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Where the folder takes no new file but the file itself is writable.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return FileResult::failure(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return FileResult::failure(why);
    }
    if (!file.commit())
        return FileResult::failure(file.errorString());
    return {};
}
} // namespace

QByteArray NormaliseLineEnds(const QByteArray &bytes)
{
    if (lineEndsAreCrLf(bytes))
        return bytes;
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
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(p + start, n - start);
        out.append("\r\n", 2);
    }
    return out;
}

bool LoadFitsInMemory(qint64 bytes, qint64 lines, qint64 availableBytes)
{
    if (availableBytes < 0)
        return true;
    const qint64 needed = bytes * 4 + lines * 256;
    return needed < availableBytes - availableBytes / 8;
}

FileResult ReadNewsFile(const QString &path, NewsDocument &document)
{
    DocumentHost &host = document.host();
    try {
        if (QFileInfo(path).isDir())
            return FileResult::failure(tr("Is a directory"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return FileResult::failure(file.errorString());
        QByteArray bytes = file.readAll();
        FileResult result;
        if (file.error() != QFileDevice::NoError) {
            result = FileResult::failure(file.errorString());
            // Keep only the lines that were read to their end.
            qsizetype end = bytes.size();
            while (end > 0 && !isLineEnd(bytes[end - 1]))
                --end;
            bytes.truncate(end);
        }
        file.close();
        bytes = NormaliseLineEnds(bytes);
        // Better a plain failure now than the system running out of memory
        // halfway through filling the text area.
        if (!LoadFitsInMemory(bytes.size(), bytes.count('\n'), availableMemory()))
            return FileResult::failure(tr("The file is too large to be held in memory"));
        const bool wasEmpty = host.textLength() == 0;
        // Into the text a slice of whole lines at a time, so that a large file
        // is never held as bytes, as one decoded string and in the host at once.
        const qsizetype size = bytes.size();
        for (qsizetype start = 0; start < size;) {
            const qsizetype lineEnd = bytes.indexOf('\n', std::min(start + kSliceBytes, size) - 1);
            const qsizetype end = lineEnd < 0 ? size : lineEnd + 1;
            host.appendText(NewsCodec::decode(QByteArrayView(bytes).sliced(start, end - start)));
            start = end;
        }
        if (result && wasEmpty)
            document.noteTextIsFileBytes(bytes);
        return result;
    } catch (const std::bad_alloc &) {
        return FileResult::failure(tr("The file is too large to be held in memory"));
    }
}

FileResult WriteNewsFile(const QString &path, const QString &text, QByteArray *written)
{
    const qsizetype bad = NewsCodec::firstUnstorable(text);
    if (bad >= 0)
        return FileResult::failure(describeUnstorable(text, bad));
    try {
        const QByteArray bytes = NewsCodec::encode(text);
        const QString target = resolveTarget(path);
        const QFileInfo info(target);
        // Devices and pipes cannot be replaced, only written to.
        const FileResult result = info.exists() && !info.isFile() && !info.isDir()
                                      ? writeInPlace(target, bytes)
                                      : writeReplacing(target, bytes);
        if (result && written)
            *written = bytes;
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
