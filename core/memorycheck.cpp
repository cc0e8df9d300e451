// Whether a news file fits in the memory the system can still give.
#include "memorycheck.h"

#include <QFile>

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

bool loadFitsInMemory(qint64 bytes, qint64 lines, qint64 availableBytes)
{
    if (availableBytes < 0)
        return true;
    const qint64 needed = bytes * 4 + lines * kBytesPerLine;
    return needed < availableBytes - availableBytes / 8;
}

bool rewriteFitsInMemory(qint64 oldBytes, qint64 availableBytes)
{
    return availableBytes < 0 || oldBytes < availableBytes - availableBytes / 8;
}
