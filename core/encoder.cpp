// Writing a text a slice at a time, with the pairs a file had kept and the
// joins of kept bytes watched across the slices.
#include "codepage.h"

#include <algorithm>

CodePage::Encoder::Encoder(const CodePage &page, std::string &out, std::span<const KeptPair> keep)
    : m_page(page), m_out(out), m_keep(keep)
{
}

namespace {
// Bytes are gathered in a block the cache holds and appended to the output a
// block at a time, so that the output never holds bytes written twice.
constexpr size_t kBlock = 1 << 15;
} // namespace

void CodePage::Encoder::append(std::u16string_view slice)
{
    const CodePage &page = m_page;
    const auto &byteFor = *page.m_byteFor;
    const size_t n = slice.size();
    char block[kBlock];
    if (!page.m_pairs) {
        // A byte a character; one stored decomposed goes the long way.
        for (size_t from = 0; from < n;) {
            const size_t count = std::min(n - from, kBlock);
            size_t i = 0;
            for (; i < count; ++i) {
                const std::int16_t b = byteFor[slice[from + i]];
                if (b < 0)
                    break;
                block[i] = char(b);
            }
            m_out.append(block, i);
            from += i;
            if (i < count)
                page.appendBytes(slice[from++], &m_out, &m_exact);
        }
        m_done += std::ptrdiff_t(n);
        return;
    }
    const auto &pairFor = *page.m_pairFor;
    const auto &pairs = *page.m_pairs;
    const auto nextKeep = [this] {
        return m_nextKeep < m_keep.size() ? m_keep[m_nextKeep].index - m_done : -1;
    };
    std::ptrdiff_t keepAt = nextKeep();
    size_t k = 0; // bytes in the block
    for (size_t i = 0; i < n; ++i) {
        if (k + 2 > kBlock) {
            m_out.append(block, k);
            k = 0;
        }
        const char16_t c = slice[i];
        int first; // the first byte written for c
        int kept = -1;
        std::uint16_t pair = 0;
        if (std::ptrdiff_t(i) == keepAt) {
            // A character read from its second pair and not changed since.
            if (pairs[m_keep[m_nextKeep].pair] == c)
                pair = m_keep[m_nextKeep].pair;
            ++m_nextKeep;
            keepAt = nextKeep();
        }
        if (const std::int16_t b = byteFor[c]; !pair && b >= 0) {
            block[k++] = char(b);
            first = b;
            kept = page.m_lead[b] ? b : -1;
        } else if (pair || (pair = pairFor[c])) {
            block[k++] = char(pair >> 8);
            block[k++] = char(pair & 0xFF);
            first = pair >> 8;
        } else {
            // Stored decomposed (no double-byte table has combining marks
            // today, so this is for a toolkit that gives them).
            m_out.append(block, k);
            k = 0;
            const size_t before = m_out.size();
            page.appendBytes(c, &m_out, &m_exact);
            first = before < m_out.size() ? static_cast<unsigned char>(m_out[before]) : 0;
        }
        // Read back, a kept lead byte and the byte after it would be a pair.
        if (m_keptLead >= 0 && m_join < 0 && pairs[m_keptLead << 8 | first])
            m_join = m_done + std::ptrdiff_t(i) - 1;
        m_keptLead = kept;
    }
    m_out.append(block, k);
    m_done += std::ptrdiff_t(n);
}
