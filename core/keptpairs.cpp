#include "keptpairs.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {
// Where the lines of a text or of its bytes start, each line with its LF, and
// where the last one ends.
template <typename Find> std::vector<qsizetype> lineStarts(qsizetype size, Find nextLineFeed)
{
    std::vector<qsizetype> starts{0};
    for (qsizetype at = nextLineFeed(0); at >= 0; at = nextLineFeed(at + 1))
        starts.push_back(at + 1);
    if (starts.back() != size)
        starts.push_back(size);
    return starts;
}

class Aligner {
public:
    Aligner(const CodePage &page, QStringView text, QByteArrayView saved)
        : m_page(page), m_text(text), m_saved(saved),
          m_textLines(lineStarts(text.size(),
                                 [text](qsizetype from) { return text.indexOf(u'\n', from); })),
          m_savedLines(lineStarts(saved.size(), [saved](qsizetype from) {
              const void *at = from < saved.size()
                                   ? std::memchr(saved.data() + from, '\n', saved.size() - from)
                                   : nullptr;
              return at ? static_cast<const char *>(at) - saved.data() : qsizetype(-1);
          }))
    {
    }

    std::vector<KeptPair> run()
    {
        const qsizetype newCount = qsizetype(m_textLines.size()) - 1;
        const qsizetype oldCount = qsizetype(m_savedLines.size()) - 1;
        // Lines equal at the start, then at the end: after most edits all but
        // a few lines.
        qsizetype first = 0;
        while (first < newCount && first < oldCount && matchLines(first, first))
            ++first;
        qsizetype last = 0;
        while (last < newCount - first && last < oldCount - first &&
               sameLine(newCount - 1 - last, oldCount - 1 - last))
            ++last;
        alignMiddle(first, newCount - last, first, oldCount - last);
        for (qsizetype k = last; k > 0; --k)
            matchLines(newCount - k, oldCount - k);
        return std::move(m_kept);
    }

private:
    QStringView textLine(qsizetype n) const
    {
        return m_text.sliced(m_textLines[n], m_textLines[n + 1] - m_textLines[n]);
    }
    QByteArrayView savedLine(qsizetype n) const
    {
        return m_saved.sliced(m_savedLines[n], m_savedLines[n + 1] - m_savedLines[n]);
    }
    bool sameLine(qsizetype newLine, qsizetype oldLine) const
    {
        return m_page.equals(textLine(newLine), savedLine(oldLine));
    }

    // Whether the text's line reads as the saved one; if so its characters
    // keep their pairs.
    bool matchLines(qsizetype newLine, qsizetype oldLine)
    {
        const QStringView t = textLine(newLine);
        const QByteArrayView s = savedLine(oldLine);
        const size_t before = m_kept.size();
        qsizetype k = 0;
        for (qsizetype i = 0, n = s.size(); i < n; ++k) {
            int width = 1;
            const char16_t c = m_page.decodeAt(s.data(), i, n, width);
            if (k >= t.size() || c != t[k].unicode()) {
                m_kept.resize(before);
                return false;
            }
            keepIfSecond(c, s.data() + i, width, m_textLines[newLine] + k);
            i += width;
        }
        if (k == t.size())
            return true;
        m_kept.resize(before);
        return false;
    }

    void keepIfSecond(char16_t c, const char *bytes, int width, qsizetype index)
    {
        if (width != 2)
            return;
        const quint16 pair = quint16(uchar(bytes[0]) << 8 | uchar(bytes[1]));
        if (pair != m_page.pairFor(c))
            m_kept.push_back({index, pair});
    }

    static quint64 hashOf(quint64 h, char16_t c) { return (h ^ c) * 0x100000001B3ull; }

    // Lines [n0, n1) of the text against lines [o0, o1) of the saved bytes:
    // the lines found exactly once in each, in the same order, are anchors;
    // between them, equal lines at either end and then characters.
    void alignMiddle(qsizetype n0, qsizetype n1, qsizetype o0, qsizetype o1)
    {
        if (n0 >= n1 || o0 >= o1)
            return;
        struct Seen {
            qsizetype oldCount = 0, newCount = 0, oldLine = 0;
        };
        std::unordered_map<quint64, Seen> seen;
        std::vector<quint64> newHash(size_t(n1 - n0));
        for (qsizetype o = o0; o < o1; ++o) {
            quint64 h = 0xCBF29CE484222325ull;
            const QByteArrayView s = savedLine(o);
            for (qsizetype i = 0, n = s.size(); i < n;) {
                int width = 1;
                h = hashOf(h, m_page.decodeAt(s.data(), i, n, width));
                i += width;
            }
            Seen &entry = seen[h];
            ++entry.oldCount;
            entry.oldLine = o;
        }
        for (qsizetype l = n0; l < n1; ++l) {
            quint64 h = 0xCBF29CE484222325ull;
            for (const QChar c : textLine(l))
                h = hashOf(h, c.unicode());
            newHash[size_t(l - n0)] = h;
            if (const auto found = seen.find(h); found != seen.end())
                ++found->second.newCount;
        }
        // Lines unique on both sides, in the text's order, then the longest
        // run of them in the same order in the saved text.
        std::vector<std::pair<qsizetype, qsizetype>> unique; // new line, old line
        for (qsizetype l = n0; l < n1; ++l) {
            const auto found = seen.find(newHash[size_t(l - n0)]);
            if (found != seen.end() && found->second.oldCount == 1 && found->second.newCount == 1 &&
                sameLine(l, found->second.oldLine))
                unique.emplace_back(l, found->second.oldLine);
        }
        std::vector<size_t> tails, previous(unique.size());
        for (size_t u = 0; u < unique.size(); ++u) {
            const auto at = std::lower_bound(
                tails.begin(), tails.end(), unique[u].second,
                [&unique](size_t t, qsizetype old) { return unique[t].second < old; });
            previous[u] = at == tails.begin() ? SIZE_MAX : *(at - 1);
            if (at == tails.end())
                tails.push_back(u);
            else
                *at = u;
        }
        std::vector<std::pair<qsizetype, qsizetype>> anchors;
        for (size_t u = tails.empty() ? SIZE_MAX : tails.back(); u != SIZE_MAX; u = previous[u])
            anchors.push_back(unique[u]);
        std::reverse(anchors.begin(), anchors.end());
        anchors.emplace_back(n1, o1);
        qsizetype n = n0, o = o0;
        for (const auto &[an, ao] : anchors) {
            alignGap(n, an, o, ao);
            if (an < n1)
                matchLines(an, ao);
            n = an + 1;
            o = ao + 1;
        }
    }

    // Lines between two anchors: equal ones at either end, then the rest
    // character by character.
    void alignGap(qsizetype n0, qsizetype n1, qsizetype o0, qsizetype o1)
    {
        while (n0 < n1 && o0 < o1 && matchLines(n0, o0)) {
            ++n0;
            ++o0;
        }
        qsizetype last = 0;
        while (n1 - last > n0 && o1 - last > o0 && sameLine(n1 - 1 - last, o1 - 1 - last))
            ++last;
        if (n0 < n1 - last && o0 < o1 - last)
            alignCharacters(m_textLines[n0], m_textLines[n1 - last], m_savedLines[o0],
                            m_savedLines[o1 - last]);
        for (qsizetype k = last; k > 0; --k)
            matchLines(n1 - k, o1 - k);
    }

    // Text [t0, t1) against saved bytes [s0, s1) that differ: equal characters
    // at either end, and between them, where that is small enough, the longest
    // common sequence.
    void alignCharacters(qsizetype t0, qsizetype t1, qsizetype s0, qsizetype s1)
    {
        QString old;
        std::vector<quint16> oldPair; // the pair to keep for each old character, or 0
        for (qsizetype i = s0; i < s1;) {
            int width = 1;
            const char16_t c = m_page.decodeAt(m_saved.data(), i, s1, width);
            old.append(QChar(c));
            const quint16 pair =
                width == 2 ? quint16(uchar(m_saved[i]) << 8 | uchar(m_saved[i + 1])) : 0;
            oldPair.push_back(pair && pair != m_page.pairFor(c) ? pair : 0);
            i += width;
        }
        const QStringView now = m_text.sliced(t0, t1 - t0);
        const qsizetype oldSize = old.size(), newSize = now.size();
        qsizetype head = 0;
        while (head < oldSize && head < newSize && old[head] == now[head])
            ++head;
        qsizetype tail = 0;
        while (tail < oldSize - head && tail < newSize - head &&
               old[oldSize - 1 - tail] == now[newSize - 1 - tail])
            ++tail;
        const auto keep = [&](qsizetype oldAt, qsizetype newAt) {
            if (oldPair[size_t(oldAt)])
                m_kept.push_back({t0 + newAt, oldPair[size_t(oldAt)]});
        };
        for (qsizetype k = 0; k < head; ++k)
            keep(k, k);
        const qsizetype a = oldSize - head - tail, b = newSize - head - tail;
        constexpr qsizetype kMostCells = 1 << 22;
        const bool anyPair = std::any_of(oldPair.begin() + head, oldPair.end() - tail,
                                         [](quint16 p) { return p != 0; });
        if (anyPair && a > 0 && b > 0 && a * b <= kMostCells) {
            // The longest common sequence, by the table of its lengths from
            // each pair of positions to the end.
            const qsizetype w = b + 1;
            std::vector<quint32> length(size_t((a + 1) * w), 0);
            for (qsizetype i = a - 1; i >= 0; --i) {
                for (qsizetype j = b - 1; j >= 0; --j) {
                    length[size_t(i * w + j)] = old[head + i] == now[head + j]
                                                    ? length[size_t((i + 1) * w + j + 1)] + 1
                                                    : std::max(length[size_t((i + 1) * w + j)],
                                                               length[size_t(i * w + j + 1)]);
                }
            }
            for (qsizetype i = 0, j = 0; i < a && j < b;) {
                if (old[head + i] == now[head + j]) {
                    keep(head + i, head + j);
                    ++i;
                    ++j;
                } else if (length[size_t((i + 1) * w + j)] >= length[size_t(i * w + j + 1)]) {
                    ++i;
                } else {
                    ++j;
                }
            }
        }
        for (qsizetype k = tail; k > 0; --k)
            keep(oldSize - k, newSize - k);
    }

    const CodePage &m_page;
    QStringView m_text;
    QByteArrayView m_saved;
    std::vector<qsizetype> m_textLines;
    std::vector<qsizetype> m_savedLines;
    std::vector<KeptPair> m_kept;
};
} // namespace

std::vector<KeptPair> pairsToKeep(const CodePage &page, QStringView text, QByteArrayView saved)
{
    if (!page.hasSecondPairs() || saved.isEmpty() || text.isEmpty())
        return {};
    return Aligner(page, text, saved).run();
}
