#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// What a load makes of a file's line ends, said another way than the reader
// says it: every CR LF, lone CR and lone LF is one line end, and the last line
// is ended.
inline QByteArray referenceLineEnds(QByteArray bytes)
{
    bytes.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes.append("\r\n");
    return bytes;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}
