#pragma once

#include <QtGlobal>

// Memory the system can still give, in bytes, or -1 where it does not say.
qint64 availableMemory();

// Whether a news file of this many bytes and lines can be held, with memory to
// spare: its bytes as the saved text, two bytes a character in the text area, a
// slice being decoded and the text area's own record of every line (about
// kBytesPerLine, measured with 5 million empty lines). availableBytes < 0:
// not known.
// Asked once with lines 0 before reading a file, and again once they are counted.
inline constexpr qint64 kBytesPerLine = 128;
// What a character of the text on screen costs, with the text area's records.
inline constexpr qint64 kBytesPerKeptChar = 4;
bool loadFitsInMemory(qint64 bytes, qint64 lines, qint64 availableBytes);

// Whether the old bytes of a file rewritten in place can be held beside the
// new ones, which are in memory already.
bool rewriteFitsInMemory(qint64 oldBytes, qint64 availableBytes);
