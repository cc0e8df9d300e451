#pragma once

#include "fileresult.h"
#include "filestate.h"
#include "progress.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>

#ifndef Q_OS_UNIX
#include <QFile>
#endif

// An open file, closed when it goes.
class OpenFile {
public:
    OpenFile() = default;
    ~OpenFile() { close(); }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    // 0, or the system's error (on Unix: errno) of closing it.
    int close();
#ifdef Q_OS_UNIX
    int fd = -1;
#else
    QFile file;
#endif
};

// Opens a regular file for reading; anything else fails at once: opening a
// pipe would wait for a writer, and a device may never end. state receives
// the file's identity, size and times as it was opened (no digest yet).
FileResult openRegularFile(const QString &path, OpenFile &file, FileState &state);

// All of an open file of about sizeHint bytes, read in slices, telling how
// many bytes are in after each; a file that grew meanwhile is read to its end.
FileResult readAllInSlices(OpenFile &file, qint64 sizeHint, std::string &bytes,
                           const std::function<void(qint64)> &read = {});

// All bytes of a regular file; a failure when it is none or cannot be read.
FileResult readRegularFile(const QString &path, std::string &bytes);
