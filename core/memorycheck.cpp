// Whether a news file fits in the memory the system can still give.
#include "memorycheck.h"

bool loadFitsInMemory(std::int64_t bytes, std::int64_t lines, std::int64_t availableBytes)
{
    if (availableBytes < 0)
        return true;
    const std::int64_t needed = bytes * 4 + lines * kBytesPerLine;
    return needed < availableBytes - availableBytes / 8;
}

bool rewriteFitsInMemory(std::int64_t oldBytes, std::int64_t availableBytes)
{
    return availableBytes < 0 || oldBytes < availableBytes - availableBytes / 8;
}
