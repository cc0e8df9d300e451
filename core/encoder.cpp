// Writing a text a slice at a time, with the pairs a file had kept and the
// joins of kept bytes watched across the slices.
#include "codepage.h"

CodePage::Encoder::Encoder(const CodePage &page, std::string &out, std::span<const KeptPair> keep)
    : m_page(page), m_out(out), m_keep(keep)
{
}

void CodePage::Encoder::append(std::u16string_view slice)
{
    const CodePage &page = m_page;
    const auto &byteFor = *page.m_byteFor;
    if (!page.m_pairs) {
        // A byte a character, straight into out; from a character stored
        // decomposed on, the long way.
        const size_t k = m_out.size(), n = slice.size();
        m_out.resize(k + n);
        char *o = m_out.data() + k;
        size_t i = 0;
        for (; i < n; ++i) {
            const std::int16_t b = byteFor[slice[i]];
            if (b < 0)
                break;
            o[i] = char(b);
        }
        if (i < n) {
            m_out.resize(k + i);
            for (; i < n; ++i)
                page.appendBytes(slice[i], &m_out, &m_exact);
        }
        m_done += std::ptrdiff_t(n);
        return;
    }
    const auto &pairFor = *page.m_pairFor;
    const auto &pairs = *page.m_pairs;
    const std::ptrdiff_t n = std::ptrdiff_t(slice.size());
    const auto nextKeep = [this] {
        return m_nextKeep < m_keep.size() ? m_keep[m_nextKeep].index - m_done : -1;
    };
    std::ptrdiff_t keepAt = nextKeep();
    std::ptrdiff_t k = std::ptrdiff_t(m_out.size());
    m_out.resize(size_t(k + 2 * n));
    char *o = m_out.data();
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const char16_t c = slice[size_t(i)];
        int first; // the first byte written for c
        int kept = -1;
        std::uint16_t pair = 0;
        if (i == keepAt) {
            // A character read from its second pair and not changed since.
            if (pairs[m_keep[m_nextKeep].pair] == c)
                pair = m_keep[m_nextKeep].pair;
            ++m_nextKeep;
            keepAt = nextKeep();
        }
        if (const std::int16_t b = byteFor[c]; !pair && b >= 0) {
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
            m_out.resize(size_t(k));
            page.appendBytes(c, &m_out, &m_exact);
            first =
                k < std::ptrdiff_t(m_out.size()) ? static_cast<unsigned char>(m_out[size_t(k)]) : 0;
            k = std::ptrdiff_t(m_out.size());
            m_out.resize(size_t(k + 2 * (n - i)));
            o = m_out.data();
        }
        // Read back, a kept lead byte and the byte after it would be a pair.
        if (m_keptLead >= 0 && m_join < 0 && pairs[m_keptLead << 8 | first])
            m_join = m_done + i - 1;
        m_keptLead = kept;
    }
    m_out.resize(size_t(k));
    m_done += n;
}
