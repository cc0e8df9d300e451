#pragma once

#include "newsfile.h"

#include <QByteArray>
#include <QString>

// Puts bytes into the file at path, telling progress as the second half of a
// save (progress(total + written, 2 * total)). A link stays a link: the file
// it points to is written. Mode, owner and group stay.
//
// A regular file is replaced: the bytes go to a new file beside it, which is
// on the disk (fsync) before it takes the old one's name, so that a failure or
// a power cut leaves the old file or the new one, never a mix. A file that
// has more than one name (hard links), that lies in a folder taking no new
// file, or whose owner or group the new file cannot be given, is rewritten in
// place instead, so that every name sees the new text; so are devices and
// pipes. target receives the path of the file written.
FileResult writeFileBytes(const QString &path, const QByteArray &bytes,
                          const ProgressSink &progress, QString *target = nullptr);
