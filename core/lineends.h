#pragma once

#include <QByteArray>

// Bytes as read from a news file, with every line end (CR LF, a lone CR or a
// lone LF) made CR LF and the last line ended; lines receives the number of
// lines. Bytes that already are so come back without a copy.
QByteArray normaliseLineEnds(const QByteArray &bytes, qsizetype &lines);
