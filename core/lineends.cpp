#include "lineends.h"

#include <algorithm>
#include <string_view>

namespace {
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True when every line already ends in CR LF, so the bytes need no copy;
// lines is then their number.
bool lineEndsAreCrLf(std::string_view bytes, std::ptrdiff_t &lines)
{
    const size_t n = bytes.size();
    lines = 0;
    if (n == 0)
        return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n')
        return false;
    std::ptrdiff_t crs = 0;
    for (size_t i = bytes.find('\r'); i != bytes.npos; i = bytes.find('\r', i + 2), ++crs) {
        if (i + 1 >= n || bytes[i + 1] != '\n')
            return false;
    }
    // Now every CR starts a CR LF; an LF without CR shows as more LFs than CRs.
    lines = crs;
    return crs == std::count(bytes.begin(), bytes.end(), '\n');
}

} // namespace

std::string normaliseLineEnds(std::string bytes, std::ptrdiff_t &lines)
{
    if (lineEndsAreCrLf(bytes, lines))
        return bytes;
    lines = 0;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    const char *p = bytes.data();
    const size_t n = bytes.size();
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!isLineEnd(p[i]))
            continue;
        out.append(p + start, i - start);
        out.append("\r\n", 2);
        ++lines;
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n) {
        out.append(p + start, n - start);
        out.append("\r\n", 2);
        ++lines;
    }
    return out;
}
