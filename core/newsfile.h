#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

class NewsDocument;

// Outcome of a file operation; on failure, why, in the operating system's words
// where it gave any.
struct FileResult {
    bool ok = true;
    QString error;

    explicit operator bool() const { return ok; }
    static FileResult failure(const QString &why) { return {false, why}; }
};

// Reads a news text file into the document's text, after whatever it holds
// (the caller empties it and sets LoadingFile first). Every line, the last one
// too, ends up followed by CR LF; CR LF, a lone CR and a lone LF each end a line.
// On failure the text holds the complete lines read before it.
FileResult ReadNewsFile(const QString &path, NewsDocument &document);

// Replaces the file's contents with the text, byte for byte as held, nothing
// added. The earlier file stays whole unless the new one was written completely.
// Fails without touching the file when the text holds a character that a news
// text file cannot store.
// When written is given, it receives the bytes the file now holds.
FileResult WriteNewsFile(const QString &path, const QString &text, QByteArray *written = nullptr);

// Whether a news file of this many bytes and lines can be held, with memory to
// spare: its bytes as the saved text, two bytes a character in the text area and
// the text area's bookkeeping for every line. availableBytes < 0: not known.
bool LoadFitsInMemory(qint64 bytes, qint64 lines, qint64 availableBytes);

// "news.txt" in the given working directory.
QString QuickFilePath(const QString &workingDirectory, QChar separator = QDir::separator());

// Bytes as read from a file, with every line end made CR LF and the last line ended.
QByteArray NormaliseLineEnds(const QByteArray &bytes);
