#include "textsearch.h"

#include "unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {
// Characters below this are never changed by normal form C.
constexpr char16_t kFirstComposing = 0x0300;

using unicode::isHighSurrogate;
using unicode::isLowSurrogate;
using unicode::isSurrogate;

// For each UTF-16 unit from U+0300 on: whether normal form C may change it
// where it stands (a combining mark or Hangul vowel or final that may join
// the character before it, or a character that normal form C replaces, as
// U+212B by U+00C5), and its case folding.
struct CharTables {
    std::vector<std::uint8_t> composes = std::vector<std::uint8_t>(0x10000);
    std::vector<char16_t> folded = std::vector<char16_t>(0x10000);
    CharTables()
    {
        for (char32_t u = 0; u < 0x10000; ++u) {
            const char32_t f = isSurrogate(u) ? u : unicode::folded(u);
            folded[u] = f < 0x10000 ? char16_t(f) : char16_t(u);
            if (u < kFirstComposing || isSurrogate(u))
                continue;
            const char16_t one = char16_t(u);
            composes[u] =
                unicode::isMark(u) || (u >= 0x1161 && u <= 0x11FF) ||
                unicode::composed(std::u16string_view(&one, 1)) != std::u16string_view(&one, 1);
        }
    }
};

const CharTables &tables()
{
    static const CharTables instance;
    return instance;
}

bool mayCompose(char16_t c)
{
    return c >= kFirstComposing && tables().composes[c];
}

// The case folding of the character at text[i], and how many units it takes.
char32_t foldedAt(std::u16string_view text, size_t i, size_t &width)
{
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
        width = 2;
        return unicode::folded(unicode::fromSurrogates(text[i], text[i + 1]));
    }
    width = 1;
    return tables().folded[text[i]];
}

// Whether the needle is at text[at], case folded.
bool foldedMatchAt(std::u16string_view text, size_t at, std::u16string_view needle)
{
    size_t i = at, j = 0;
    while (j < needle.size()) {
        if (i >= text.size())
            return false;
        size_t wt = 1, wn = 1;
        if (foldedAt(text, i, wt) != foldedAt(needle, j, wn) || wt != wn)
            return false;
        i += wt;
        j += wn;
    }
    return true;
}

// Case-insensitive search (simple case folding) for a needle without
// surrogates, Boyer-Moore-Horspool on the folded characters.
std::ptrdiff_t foldedIndexOf(std::u16string_view text, std::u16string_view needle,
                             std::ptrdiff_t from)
{
    const std::vector<char16_t> &fold = tables().folded;
    const std::ptrdiff_t m = std::ptrdiff_t(needle.size());
    const std::ptrdiff_t n = std::ptrdiff_t(text.size());
    std::vector<char16_t> pattern(static_cast<size_t>(m));
    for (std::ptrdiff_t j = 0; j < m; ++j)
        pattern[size_t(j)] = fold[needle[size_t(j)]];
    std::array<std::ptrdiff_t, 256> skip;
    skip.fill(m);
    for (std::ptrdiff_t j = 0; j + 1 < m; ++j)
        skip[pattern[size_t(j)] & 0xFF] = m - 1 - j;
    const char16_t *t = text.data();
    for (std::ptrdiff_t at = std::max<std::ptrdiff_t>(from, 0); at + m <= n;) {
        const char16_t last = fold[t[at + m - 1]];
        if (last == pattern[size_t(m - 1)]) {
            std::ptrdiff_t j = m - 2;
            while (j >= 0 && fold[t[at + j]] == pattern[size_t(j)])
                --j;
            if (j < 0)
                return at;
        }
        at += skip[last & 0xFF];
    }
    return -1;
}

std::ptrdiff_t toIndex(size_t at)
{
    return at == std::u16string_view::npos ? -1 : std::ptrdiff_t(at);
}

bool isWordChar(char16_t c)
{
    return unicode::isLetterOrNumber(c) || unicode::isMark(c) || c == u'_';
}
} // namespace

TextSearch::TextSearch(std::u16string text) : m_text(std::move(text))
{
    const char16_t *data = m_text.data();
    const std::ptrdiff_t n = std::ptrdiff_t(m_text.size());
    if (std::none_of(data, data + n, mayCompose))
        return;
    // Normalised a cluster (a character and the marks that follow it) at a
    // time, so that every character of the result knows where it came from.
    m_normal.reserve(size_t(n));
    m_origin.reserve(size_t(n) + 1);
    std::ptrdiff_t i = 0;
    while (i < n) {
        std::ptrdiff_t end = i + 1;
        if (isHighSurrogate(data[i]) && end < n && isLowSurrogate(data[end]))
            ++end;
        while (end < n && mayCompose(data[end]))
            ++end;
        const std::u16string_view cluster(data + i, size_t(end - i));
        const bool plain = cluster.size() == 1 && !mayCompose(data[i]);
        const std::u16string normal = plain ? std::u16string(cluster) : unicode::composed(cluster);
        m_normal += normal;
        m_origin.insert(m_origin.end(), normal.size(), i);
        i = end;
    }
    m_origin.push_back(n);
    if (m_normal == m_text) {
        m_normal.clear();
        m_origin.clear();
    }
}

std::u16string_view TextSearch::searched() const
{
    return m_origin.empty() ? m_text : m_normal;
}

std::ptrdiff_t TextSearch::toSearched(std::ptrdiff_t position) const
{
    if (m_origin.empty())
        return position;
    return std::lower_bound(m_origin.begin(), m_origin.end(), position) - m_origin.begin();
}

TextMatch TextSearch::toText(std::ptrdiff_t start, std::ptrdiff_t length) const
{
    if (start < 0)
        return {};
    if (m_origin.empty())
        return {start, length};
    const std::ptrdiff_t from = m_origin[size_t(start)];
    // The end of the last cluster the match reaches into.
    std::ptrdiff_t last = start + length;
    while (last < std::ptrdiff_t(m_origin.size()) - 1 &&
           m_origin[size_t(last)] == m_origin[size_t(last - 1)])
        ++last;
    return {from, m_origin[size_t(last)] - from};
}

bool TextSearch::isWholeWord(std::ptrdiff_t start, std::ptrdiff_t length) const
{
    const std::u16string_view s = searched();
    const bool before = start > 0 && isWordChar(s[size_t(start - 1)]);
    const bool after =
        start + length < std::ptrdiff_t(s.size()) && isWordChar(s[size_t(start + length)]);
    return !before && !after;
}

std::ptrdiff_t TextSearch::next(std::u16string_view needle, std::ptrdiff_t from,
                                FindOptions options) const
{
    const std::u16string_view s = searched();
    const bool horspool =
        !options.matchCase &&
        std::none_of(needle.begin(), needle.end(), [](char16_t c) { return isSurrogate(c); });
    const auto search = [&](std::ptrdiff_t start) -> std::ptrdiff_t {
        if (options.matchCase)
            return toIndex(s.find(needle, size_t(start)));
        if (horspool)
            return foldedIndexOf(s, needle, start);
        for (size_t at = size_t(start); at + needle.size() <= s.size(); ++at) {
            if (foldedMatchAt(s, at, needle))
                return std::ptrdiff_t(at);
        }
        return -1;
    };
    for (std::ptrdiff_t at = search(from); at >= 0; at = search(at + 1)) {
        if (!options.wholeWords || isWholeWord(at, std::ptrdiff_t(needle.size())))
            return at;
    }
    return -1;
}

std::ptrdiff_t TextSearch::previous(std::u16string_view needle, std::ptrdiff_t before,
                                    FindOptions options) const
{
    const std::u16string_view s = searched();
    // The last match that starts at or before from.
    const auto search = [&](std::ptrdiff_t from) -> std::ptrdiff_t {
        if (options.matchCase)
            return toIndex(s.rfind(needle, size_t(from)));
        for (std::ptrdiff_t at = from; at >= 0; --at) {
            if (foldedMatchAt(s, size_t(at), needle))
                return at;
        }
        return -1;
    };
    for (std::ptrdiff_t from = before - std::ptrdiff_t(needle.size()); from >= 0;) {
        const std::ptrdiff_t at = search(from);
        if (at < 0)
            return -1;
        if (!options.wholeWords || isWholeWord(at, std::ptrdiff_t(needle.size())))
            return at;
        from = at - 1;
    }
    return -1;
}

TextSearch::Result TextSearch::find(std::u16string_view needle, std::ptrdiff_t from,
                                    FindOptions options, bool backward) const
{
    const std::u16string normal = unicode::composed(needle);
    if (normal.empty())
        return {};
    const std::ptrdiff_t size = std::ptrdiff_t(searched().size());
    const std::ptrdiff_t start =
        toSearched(std::clamp<std::ptrdiff_t>(from, 0, std::ptrdiff_t(m_text.size())));
    std::ptrdiff_t at = backward ? previous(normal, start, options) : next(normal, start, options);
    bool wrapped = false;
    if (at < 0) {
        at = backward ? previous(normal, size, options) : next(normal, 0, options);
        wrapped = at >= 0;
    }
    return {toText(at, std::ptrdiff_t(normal.size())), wrapped};
}

std::vector<TextMatch> TextSearch::findAll(std::u16string_view needle, FindOptions options) const
{
    std::vector<TextMatch> all;
    const std::u16string normal = unicode::composed(needle);
    const std::ptrdiff_t length = std::ptrdiff_t(normal.size());
    if (normal.empty())
        return all;
    for (std::ptrdiff_t at = next(normal, 0, options); at >= 0;
         at = next(normal, at + length, options))
        all.push_back(toText(at, length));
    return all;
}

bool TextSearch::isMatch(std::u16string_view needle, TextMatch range, FindOptions options) const
{
    if (!range.found())
        return false;
    const Result r = find(needle, range.start, options);
    return r.match == range && !r.wrapped;
}

bool TextSearch::holdsLineBreak(std::u16string_view needle)
{
    return std::any_of(needle.begin(), needle.end(), [](char16_t c) {
        return c == u'\r' || c == u'\n' || c == u'\u2028' || c == u'\u2029';
    });
}
