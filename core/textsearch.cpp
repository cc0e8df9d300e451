#include "textsearch.h"

#include <algorithm>

namespace {
// Characters below this are never changed by normal form C.
constexpr char16_t kFirstComposing = 0x0300;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}
} // namespace

TextSearch::TextSearch(QString text) : m_text(std::move(text))
{
    const char16_t *data = reinterpret_cast<const char16_t *>(m_text.utf16());
    const qsizetype n = m_text.size();
    if (std::none_of(data, data + n, [](char16_t c) { return c >= kFirstComposing; }))
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
        while (end < n && (QChar(data[end]).isMark() || (data[end] >= 0x1161 && data[end] <= 0x11FF)))
            ++end;
        const QStringView cluster(data + i, end - i);
        const bool plain = cluster.size() == 1 && cluster[0].unicode() < kFirstComposing;
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
    while (last < qsizetype(m_origin.size()) - 1 && m_origin[size_t(last)] == m_origin[size_t(last - 1)])
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
    for (qsizetype at = s.indexOf(needle, from, cs); at >= 0; at = s.indexOf(needle, at + 1, cs)) {
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
