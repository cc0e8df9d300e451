#include "standardinput.h"

#include "filecommands.h"
#include "lineends.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "progress.h"
#include "runtimeservices.h"
#include "work.h"

#include <QFileDevice>

#include <algorithm>
#include <new>

namespace {
// The bytes of in to its end; false when they would not fit in memory or
// could not be read.
bool readToEnd(QIODevice &in, QByteArray &bytes, qint64 available, const ProgressSink &progress,
               QString *reason)
{
    const qint64 size = in.isSequential() ? 0 : in.size();
    for (;;) {
        const QByteArray slice = in.read(kSlice);
        if (slice.isEmpty())
            break;
        bytes.append(slice);
        // A slice cut short already met the end: from a terminal, asking
        // again would wait for a second Ctrl+D.
        const bool ended = in.isSequential() && slice.size() < kSlice;
        if (!loadFitsInMemory(bytes.size(), 0, available)) {
            *reason = StandardInput::tr("The text is too large to be held in memory");
            return false;
        }
        // Read of all, when its size is known.
        progress(size > 0 ? bytes.size() : 0, size);
        if (ended)
            break;
    }
    if (const auto *file = qobject_cast<const QFileDevice *>(&in);
        file && file->error() != QFileDevice::NoError) {
        *reason = file->errorString();
        return false;
    }
    return true;
}
} // namespace

bool StandardInput::read(QIODevice &in, NewsDocument &document, RuntimeServices &services,
                         QString *reason, qint64 availableBytes)
{
    document.beginLoad();
    bool read = false;
    try {
        const Work work(services, tr("Loading the news from standard input"));
        QByteArray bytes;
        qsizetype lines = 0;
        read = readToEnd(in, bytes, availableBytes, work.step(0, 2), reason);
        if (read) {
            bytes = normaliseLineEnds(bytes, lines);
            read = loadFitsInMemory(bytes.size(), lines, availableBytes);
            if (!read)
                *reason = tr("The text is too large to be held in memory");
        }
        if (read)
            decodeInSlices(
                bytes, document.codePage(),
                [&document](const QString &slice) { document.appendText(slice); }, work.step(1, 2));
    } catch (const std::bad_alloc &) {
        read = false;
        *reason = tr("The text is too large to be held in memory");
    }
    if (read)
        document.finishLoadFromNoFile();
    else
        document.failLoad(FileCommands::loadErrorText());
    return read;
}
