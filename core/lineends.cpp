#include "lineends.h"

namespace {
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// True when every line already ends in CR LF, so the bytes need no copy;
// lines is then their number.
bool lineEndsAreCrLf(const QByteArray &bytes, qsizetype &lines)
{
    const qsizetype n = bytes.size();
    lines = 0;
    if (n == 0)
        return true;
    if (n < 2 || bytes[n - 2] != '\r' || bytes[n - 1] != '\n')
        return false;
    qsizetype crs = 0;
    for (qsizetype i = bytes.indexOf('\r'); i >= 0; i = bytes.indexOf('\r', i + 2), ++crs) {
        if (i + 1 >= n || bytes[i + 1] != '\n')
            return false;
    }
    // Now every CR starts a CR LF; an LF without CR shows as more LFs than CRs.
    lines = crs;
    return crs == bytes.count('\n');
}

} // namespace

// Bytes as read from a file, with every line end made CR LF and the last line
// ended; lines receives the number of lines.
QByteArray normaliseLineEnds(const QByteArray &bytes, qsizetype &lines)
{
    if (lineEndsAreCrLf(bytes, lines))
        return bytes;
    lines = 0;
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
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
