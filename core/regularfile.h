#pragma once

#include "filestate.h"
#include "newsfile.h"

#include <QByteArray>
#include <QFile>

#include <functional>

// Work goes in slices of this many bytes or characters, with the progress
// told after each, so that a long load or save never goes long without it.
inline constexpr qsizetype kSliceBytes = 1 << 20;

// Opens a regular file for reading; anything else fails at once: opening a
// pipe would wait for a writer, and a device may never end. state receives
// the file's identity, size and times as it was opened (no digest yet).
FileResult openRegularFile(const QString &path, QFile &file, FileState &state);

// All of a file of about sizeHint bytes, read in slices, telling how many
// bytes are in after each.
QByteArray readAllInSlices(QFile &file, qint64 sizeHint, const std::function<void(qint64)> &read);
