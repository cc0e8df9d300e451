// Writing a text a slice at a time, with the pairs a file had kept and the
// joins of kept bytes watched across the slices.
#include "codepage.h"

CodePage::Encoder::Encoder(const CodePage &page, QByteArray &out, std::span<const KeptPair> keep)
    : m_page(page), m_out(out), m_keep(keep)
{
}

void CodePage::Encoder::append(QStringView slice)
{
    const CodePage &page = m_page;
    if (!page.m_pairs) {
        bool exact = true;
        m_out.append(page.encode(slice, &exact));
        m_exact = m_exact && exact;
        m_done += slice.size();
        return;
    }
    const auto &byteFor = *page.m_byteFor;
    const auto &pairFor = *page.m_pairFor;
    const auto &pairs = *page.m_pairs;
    const qsizetype n = slice.size();
    const auto nextKeep = [this] {
        return m_nextKeep < m_keep.size() ? m_keep[m_nextKeep].index - m_done : -1;
    };
    qsizetype keepAt = nextKeep();
    qsizetype k = m_out.size();
    m_out.resize(k + 2 * n);
    char *o = m_out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = slice[i].unicode();
        int first; // the first byte written for c
        int kept = -1;
        quint16 pair = 0;
        if (i == keepAt) {
            // A character read from its second pair and not changed since.
            if (pairs[m_keep[m_nextKeep].pair] == c)
                pair = m_keep[m_nextKeep].pair;
            ++m_nextKeep;
            keepAt = nextKeep();
        }
        if (const qint16 b = byteFor[c]; !pair && b >= 0) {
            o[k++] = char(b);
            first = b;
            kept = page.m_lead[b] ? b : -1;
        } else if (pair || (pair = pairFor[c])) {
            o[k++] = char(pair >> 8);
            o[k++] = char(pair & 0xFF);
            first = pair >> 8;
        } else {
            // Stored decomposed (no double-byte table has combining marks
            // today, so this is for a toolkit that gives them).
            m_out.truncate(k);
            page.appendBytes(c, &m_out, &m_exact);
            first = k < m_out.size() ? uchar(m_out.at(k)) : 0;
            k = m_out.size();
            m_out.resize(k + 2 * (n - i));
            o = m_out.data();
        }
        // Read back, a kept lead byte and the byte after it would be a pair.
        if (m_keptLead >= 0 && m_join < 0 && pairs[m_keptLead << 8 | first])
            m_join = m_done + i - 1;
        m_keptLead = kept;
    }
    m_out.truncate(k);
    m_done += n;
}
