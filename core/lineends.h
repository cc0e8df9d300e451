#pragma once

#include <cstddef>
#include <string>

// Bytes as read from a news file, with every line end (CR LF, a lone CR or a
// lone LF) made CR LF and the last line ended; lines receives the number of
// lines. Bytes that already are so come back as they are, without a copy.
std::string normaliseLineEnds(std::string bytes, std::ptrdiff_t &lines);
