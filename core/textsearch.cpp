#include "textsearch.h"

#include <algorithm>
#include <array>

namespace {
// Characters below this are never changed by normal form C.
constexpr char16_t kFirstComposing = 0x0300;

// For each UTF-16 unit from U+0300 on: whether normal form C may change it
// where it stands (a combining mark or Hangul vowel or final that may join
// the character before it, or a character that normal form C replaces, as
// U+212B by U+00C5), and its case folding.
struct CharTables {
    std::vector<quint8> composes = std::vector<quint8>(0x10000);
    std::vector<char16_t> folded = std::vector<char16_t>(0x10000);
    CharTables()
    {
        for (char32_t u = 0; u < 0x10000; ++u) {
            folded[u] = QChar::isSurrogate(u) ? char16_t(u) : char16_t(QChar::toCaseFolded(u));
            if (u < kFirstComposing)
                continue;
            bool replaced = false;
            if (QChar::decompositionTag(u) == QChar::Canonical) {
                const QString one = QString(QChar(u));
                replaced = one.normalized(QString::NormalizationForm_C) != one;
            }
            composes[u] = QChar::isMark(u) || (u >= 0x1161 && u <= 0x11FF) || replaced;
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

// Case-insensitive search (simple case folding) for a needle without
// surrogates, Boyer-Moore-Horspool on the folded characters.
qsizetype foldedIndexOf(QStringView text, QStringView needle, qsizetype from)
{
    const std::vector<char16_t> &fold = tables().folded;
    const qsizetype m = needle.size();
    const qsizetype n = text.size();
    std::vector<char16_t> pattern(static_cast<size_t>(m));
    for (qsizetype j = 0; j < m; ++j)
        pattern[size_t(j)] = fold[needle[j].unicode()];
    std::array<qsizetype, 256> skip;
    skip.fill(m);
    for (qsizetype j = 0; j + 1 < m; ++j)
        skip[pattern[size_t(j)] & 0xFF] = m - 1 - j;
    const char16_t *t = reinterpret_cast<const char16_t *>(text.utf16());
    for (qsizetype at = std::max<qsizetype>(from, 0); at + m <= n;) {
        const char16_t last = fold[t[at + m - 1]];
        if (last == pattern[size_t(m - 1)]) {
            qsizetype j = m - 2;
            while (j >= 0 && fold[t[at + j]] == pattern[size_t(j)])
                --j;
            if (j < 0)
                return at;
        }
        at += skip[last & 0xFF];
    }
    return -1;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}
} // namespace

TextSearch::TextSearch(QString text) : m_text(std::move(text))
{
    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.utf16());
    const qsizetype n = m_text.size();
    if (std::none_of(data, data + n, mayCompose))
        return;
    // Normalised a cluster (a character and the marks that follow it) at a
    // time, so that every character of the result knows where it came from.
    m_normal.reserve(n);
    m_origin.reserve(size_t(n) + 1);
    qsizetype i = 0;
    while (i < n) {
        qsizetype end = i + 1;
        if (QChar::isHighSurrogate(data[i]) && end < n && QChar::isLowSurrogate(data[end]))
            ++end;
        while (end < n && mayCompose(data[end]))
            ++end;
        const QStringView cluster(data + i, end - i);
        const bool plain = cluster.size() == 1 && !mayCompose(data[i]);
        const QString normal = plain ? cluster.toString()
                                     : cluster.toString().normalized(QString::NormalizationForm_C);
        m_normal += normal;
        m_origin.insert(m_origin.end(), size_t(normal.size()), i);
        i = end;
    }
    m_origin.push_back(n);
    if (m_normal == m_text) {
        m_normal.clear();
        m_origin.clear();
    }
}

qsizetype TextSearch::toSearched(qsizetype position) const
{
    if (m_origin.empty())
        return position;
    return std::lower_bound(m_origin.begin(), m_origin.end(), position) - m_origin.begin();
}

TextMatch TextSearch::toText(qsizetype start, qsizetype length) const
{
    if (start < 0)
        return {};
    if (m_origin.empty())
        return {start, length};
    const qsizetype from = m_origin[size_t(start)];
    // The end of the last cluster the match reaches into.
    qsizetype last = start + length;
    while (last < qsizetype(m_origin.size()) - 1 &&
           m_origin[size_t(last)] == m_origin[size_t(last - 1)])
        ++last;
    return {from, m_origin[size_t(last)] - from};
}

bool TextSearch::isWholeWord(qsizetype start, qsizetype length) const
{
    const QString &s = m_origin.empty() ? m_text : m_normal;
    const bool before = start > 0 && isWordChar(s.at(start - 1));
    const bool after = start + length < s.size() && isWordChar(s.at(start + length));
    return !before && !after;
}

qsizetype TextSearch::next(const QString &needle, qsizetype from, FindOptions options) const
{
    const QString &s = m_origin.empty() ? m_text : m_normal;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool folded = !options.matchCase && std::none_of(needle.begin(), needle.end(),
                                                           [](QChar c) { return c.isSurrogate(); });
    const auto search = [&](qsizetype start) {
        return folded ? foldedIndexOf(s, needle, start) : s.indexOf(needle, start, cs);
    };
    for (qsizetype at = search(from); at >= 0; at = search(at + 1)) {
        if (!options.wholeWords || isWholeWord(at, needle.size()))
            return at;
    }
    return -1;
}

qsizetype TextSearch::previous(const QString &needle, qsizetype before, FindOptions options) const
{
    const QString &s = m_origin.empty() ? m_text : m_normal;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype from = before - needle.size();
    while (from >= 0) {
        const qsizetype at = s.lastIndexOf(needle, from, cs);
        if (at < 0)
            return -1;
        if (!options.wholeWords || isWholeWord(at, needle.size()))
            return at;
        from = at - 1;
    }
    return -1;
}

TextSearch::Result TextSearch::find(QStringView needle, qsizetype from, FindOptions options,
                                    bool backward) const
{
    const QString normal = needle.toString().normalized(QString::NormalizationForm_C);
    if (normal.isEmpty())
        return {};
    const qsizetype size = m_origin.empty() ? m_text.size() : m_normal.size();
    const qsizetype start = toSearched(std::clamp<qsizetype>(from, 0, m_text.size()));
    qsizetype at = backward ? previous(normal, start, options) : next(normal, start, options);
    bool wrapped = false;
    if (at < 0) {
        at = backward ? previous(normal, size, options) : next(normal, 0, options);
        wrapped = at >= 0;
    }
    return {toText(at, normal.size()), wrapped};
}

QList<TextMatch> TextSearch::findAll(QStringView needle, FindOptions options) const
{
    QList<TextMatch> all;
    const QString normal = needle.toString().normalized(QString::NormalizationForm_C);
    if (normal.isEmpty())
        return all;
    for (qsizetype at = next(normal, 0, options); at >= 0;
         at = next(normal, at + normal.size(), options))
        all.append(toText(at, normal.size()));
    return all;
}

bool TextSearch::isMatch(QStringView needle, TextMatch range, FindOptions options) const
{
    if (!range.found())
        return false;
    const Result r = find(needle, range.start, options);
    return r.match == range && !r.wrapped;
}

bool TextSearch::holdsLineBreak(QStringView needle)
{
    return std::any_of(needle.begin(), needle.end(), [](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
}
