#include "keptpairs.h"

#include <algorithm>
#include <unordered_map>

namespace {
// Where the next LF at or after from lies, or -1.
template <typename Char>
std::ptrdiff_t indexOf(std::basic_string_view<Char> text, std::ptrdiff_t from)
{
    const size_t at = text.find(Char('\n'), size_t(from));
    return at == text.npos ? -1 : std::ptrdiff_t(at);
}

// The pair (lead << 8 | trail) that starts at bytes.
std::uint16_t pairAt(const char *bytes)
{
    return std::uint16_t(static_cast<unsigned char>(bytes[0]) << 8 |
                         static_cast<unsigned char>(bytes[1]));
}

// Where the lines of a text or of its bytes start, each line with its LF, and
// where the last one ends.
template <typename Find>
std::vector<std::ptrdiff_t> lineStarts(std::ptrdiff_t size, Find nextLineFeed)
{
    std::vector<std::ptrdiff_t> starts{0};
    for (std::ptrdiff_t at = nextLineFeed(0); at >= 0; at = nextLineFeed(at + 1))
        starts.push_back(at + 1);
    if (starts.back() != size)
        starts.push_back(size);
    return starts;
}

class Aligner {
public:
    Aligner(const CodePage &page, std::u16string_view text, std::string_view saved)
        : m_page(page), m_text(text), m_saved(saved),
          m_textLines(lineStarts(std::ptrdiff_t(text.size()),
                                 [text](std::ptrdiff_t from) { return indexOf(text, from); })),
          m_savedLines(lineStarts(std::ptrdiff_t(saved.size()),
                                  [saved](std::ptrdiff_t from) { return indexOf(saved, from); }))
    {
    }

    std::vector<KeptPair> run()
    {
        const std::ptrdiff_t newCount = std::ptrdiff_t(m_textLines.size()) - 1;
        const std::ptrdiff_t oldCount = std::ptrdiff_t(m_savedLines.size()) - 1;
        // Lines equal at the start, then at the end: after most edits all but
        // a few lines.
        std::ptrdiff_t first = 0;
        while (first < newCount && first < oldCount && matchLines(first, first))
            ++first;
        std::ptrdiff_t last = 0;
        while (last < newCount - first && last < oldCount - first &&
               sameLine(newCount - 1 - last, oldCount - 1 - last))
            ++last;
        alignMiddle(first, newCount - last, first, oldCount - last);
        for (std::ptrdiff_t k = last; k > 0; --k)
            matchLines(newCount - k, oldCount - k);
        return std::move(m_kept);
    }

private:
    std::u16string_view textLine(std::ptrdiff_t n) const
    {
        return m_text.substr(size_t(m_textLines[size_t(n)]),
                             size_t(m_textLines[size_t(n + 1)] - m_textLines[size_t(n)]));
    }
    std::string_view savedLine(std::ptrdiff_t n) const
    {
        return m_saved.substr(size_t(m_savedLines[size_t(n)]),
                              size_t(m_savedLines[size_t(n + 1)] - m_savedLines[size_t(n)]));
    }
    bool sameLine(std::ptrdiff_t newLine, std::ptrdiff_t oldLine) const
    {
        return m_page.equals(textLine(newLine), savedLine(oldLine));
    }

    // Whether the text's line reads as the saved one; if so its characters
    // keep their pairs.
    bool matchLines(std::ptrdiff_t newLine, std::ptrdiff_t oldLine)
    {
        const std::u16string_view t = textLine(newLine);
        const std::string_view s = savedLine(oldLine);
        const size_t before = m_kept.size();
        size_t k = 0;
        for (std::ptrdiff_t i = 0, n = std::ptrdiff_t(s.size()); i < n; ++k) {
            int width = 1;
            const char16_t c = m_page.decodeAt(s.data(), i, n, width);
            if (k >= t.size() || c != t[k]) {
                m_kept.resize(before);
                return false;
            }
            keepIfSecond(c, s.data() + i, width, m_textLines[size_t(newLine)] + std::ptrdiff_t(k));
            i += width;
        }
        if (k == t.size())
            return true;
        m_kept.resize(before);
        return false;
    }

    void keepIfSecond(char16_t c, const char *bytes, int width, std::ptrdiff_t index)
    {
        if (width != 2)
            return;
        const std::uint16_t pair = pairAt(bytes);
        if (pair != m_page.pairFor(c))
            m_kept.push_back({index, pair});
    }

    static std::uint64_t hashOf(std::uint64_t h, char16_t c) { return (h ^ c) * 0x100000001B3ull; }

    // Lines [n0, n1) of the text against lines [o0, o1) of the saved bytes:
    // the lines found exactly once in each, in the same order, are anchors;
    // between them, equal lines at either end and then characters.
    void alignMiddle(std::ptrdiff_t n0, std::ptrdiff_t n1, std::ptrdiff_t o0, std::ptrdiff_t o1)
    {
        if (n0 >= n1 || o0 >= o1)
            return;
        struct Seen {
            std::ptrdiff_t oldCount = 0, newCount = 0, oldLine = 0;
        };
        std::unordered_map<std::uint64_t, Seen> seen;
        std::vector<std::uint64_t> newHash(size_t(n1 - n0));
        for (std::ptrdiff_t o = o0; o < o1; ++o) {
            std::uint64_t h = 0xCBF29CE484222325ull;
            const std::string_view s = savedLine(o);
            for (std::ptrdiff_t i = 0, n = std::ptrdiff_t(s.size()); i < n;) {
                int width = 1;
                h = hashOf(h, m_page.decodeAt(s.data(), i, n, width));
                i += width;
            }
            Seen &entry = seen[h];
            ++entry.oldCount;
            entry.oldLine = o;
        }
        for (std::ptrdiff_t l = n0; l < n1; ++l) {
            std::uint64_t h = 0xCBF29CE484222325ull;
            for (const char16_t c : textLine(l))
                h = hashOf(h, c);
            newHash[size_t(l - n0)] = h;
            if (const auto found = seen.find(h); found != seen.end())
                ++found->second.newCount;
        }
        // Lines unique on both sides, in the text's order, then the longest
        // run of them in the same order in the saved text.
        std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>> unique; // new line, old line
        for (std::ptrdiff_t l = n0; l < n1; ++l) {
            const auto found = seen.find(newHash[size_t(l - n0)]);
            if (found != seen.end() && found->second.oldCount == 1 && found->second.newCount == 1 &&
                sameLine(l, found->second.oldLine))
                unique.emplace_back(l, found->second.oldLine);
        }
        std::vector<size_t> tails, previous(unique.size());
        for (size_t u = 0; u < unique.size(); ++u) {
            const auto at = std::lower_bound(
                tails.begin(), tails.end(), unique[u].second,
                [&unique](size_t t, std::ptrdiff_t old) { return unique[t].second < old; });
            previous[u] = at == tails.begin() ? SIZE_MAX : *(at - 1);
            if (at == tails.end())
                tails.push_back(u);
            else
                *at = u;
        }
        std::vector<std::pair<std::ptrdiff_t, std::ptrdiff_t>> anchors;
        for (size_t u = tails.empty() ? SIZE_MAX : tails.back(); u != SIZE_MAX; u = previous[u])
            anchors.push_back(unique[u]);
        std::reverse(anchors.begin(), anchors.end());
        anchors.emplace_back(n1, o1);
        std::ptrdiff_t n = n0, o = o0;
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
    void alignGap(std::ptrdiff_t n0, std::ptrdiff_t n1, std::ptrdiff_t o0, std::ptrdiff_t o1)
    {
        while (n0 < n1 && o0 < o1 && matchLines(n0, o0)) {
            ++n0;
            ++o0;
        }
        std::ptrdiff_t last = 0;
        while (n1 - last > n0 && o1 - last > o0 && sameLine(n1 - 1 - last, o1 - 1 - last))
            ++last;
        if (n0 < n1 - last && o0 < o1 - last)
            alignCharacters(m_textLines[size_t(n0)], m_textLines[size_t(n1 - last)],
                            m_savedLines[size_t(o0)], m_savedLines[size_t(o1 - last)]);
        for (std::ptrdiff_t k = last; k > 0; --k)
            matchLines(n1 - k, o1 - k);
    }

    // Text [t0, t1) against saved bytes [s0, s1) that differ: equal characters
    // at either end, and between them, where that is small enough, the longest
    // common sequence.
    void alignCharacters(std::ptrdiff_t t0, std::ptrdiff_t t1, std::ptrdiff_t s0, std::ptrdiff_t s1)
    {
        std::u16string oldText;
        std::vector<std::uint16_t> oldPair; // the pair to keep for each old character, or 0
        for (std::ptrdiff_t i = s0; i < s1;) {
            int width = 1;
            const char16_t c = m_page.decodeAt(m_saved.data(), i, s1, width);
            oldText.push_back(c);
            const std::uint16_t pair = width == 2 ? pairAt(m_saved.data() + i) : 0;
            oldPair.push_back(pair && pair != m_page.pairFor(c) ? pair : 0);
            i += width;
        }
        const auto old = [&oldText](std::ptrdiff_t at) { return oldText[size_t(at)]; };
        const std::u16string_view nowText = m_text.substr(size_t(t0), size_t(t1 - t0));
        const auto now = [nowText](std::ptrdiff_t at) { return nowText[size_t(at)]; };
        const std::ptrdiff_t oldSize = std::ptrdiff_t(oldText.size());
        const std::ptrdiff_t newSize = std::ptrdiff_t(nowText.size());
        std::ptrdiff_t head = 0;
        while (head < oldSize && head < newSize && old(head) == now(head))
            ++head;
        std::ptrdiff_t tail = 0;
        while (tail < oldSize - head && tail < newSize - head &&
               old(oldSize - 1 - tail) == now(newSize - 1 - tail))
            ++tail;
        const auto keep = [&](std::ptrdiff_t oldAt, std::ptrdiff_t newAt) {
            if (oldPair[size_t(oldAt)])
                m_kept.push_back({t0 + newAt, oldPair[size_t(oldAt)]});
        };
        for (std::ptrdiff_t k = 0; k < head; ++k)
            keep(k, k);
        const std::ptrdiff_t a = oldSize - head - tail, b = newSize - head - tail;
        constexpr std::ptrdiff_t kMostCells = 1 << 22;
        const bool anyPair = std::any_of(oldPair.begin() + head, oldPair.end() - tail,
                                         [](std::uint16_t p) { return p != 0; });
        if (anyPair && a > 0 && b > 0 && a * b <= kMostCells) {
            // The longest common sequence, by the table of its lengths from
            // each pair of positions to the end.
            const std::ptrdiff_t w = b + 1;
            std::vector<std::uint32_t> length(size_t((a + 1) * w), 0);
            for (std::ptrdiff_t i = a - 1; i >= 0; --i) {
                for (std::ptrdiff_t j = b - 1; j >= 0; --j) {
                    length[size_t(i * w + j)] = old(head + i) == now(head + j)
                                                    ? length[size_t((i + 1) * w + j + 1)] + 1
                                                    : std::max(length[size_t((i + 1) * w + j)],
                                                               length[size_t(i * w + j + 1)]);
                }
            }
            for (std::ptrdiff_t i = 0, j = 0; i < a && j < b;) {
                if (old(head + i) == now(head + j)) {
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
        for (std::ptrdiff_t k = tail; k > 0; --k)
            keep(oldSize - k, newSize - k);
    }

    const CodePage &m_page;
    std::u16string_view m_text;
    std::string_view m_saved;
    std::vector<std::ptrdiff_t> m_textLines;
    std::vector<std::ptrdiff_t> m_savedLines;
    std::vector<KeptPair> m_kept;
};
} // namespace

std::vector<KeptPair> pairsToKeep(const CodePage &page, std::u16string_view text,
                                  std::string_view saved)
{
    if (!page.hasSecondPairs() || saved.empty() || text.empty())
        return {};
    return Aligner(page, text, saved).run();
}
