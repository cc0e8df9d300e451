#pragma once

#include <cstdint>

// What the system can still give comes from availableMemory()
// (platform/systemmemory.h).

// Whether a news file of this many bytes and lines can be held, with memory to
// spare: its bytes as the saved text, two bytes a character in the text area, a
// slice being decoded and the text area's own record of every line (about
// kBytesPerLine, measured with 5 million empty lines). availableBytes < 0:
// not known.
// Asked once with lines 0 before reading a file, and again once they are counted.
inline constexpr std::int64_t kBytesPerLine = 128;
// What a character of the text on screen costs, with the text area's records.
inline constexpr std::int64_t kBytesPerKeptChar = 4;
bool loadFitsInMemory(std::int64_t bytes, std::int64_t lines, std::int64_t availableBytes);

// Whether the old bytes of a file rewritten in place can be held beside the
// new ones, which are in memory already.
bool rewriteFitsInMemory(std::int64_t oldBytes, std::int64_t availableBytes);
