// The tables of the double-byte code pages (932, 936, 949, 950), built from
// Windows' own when a code page is first asked for.
#include "codepage.h"
#include "codepagetables.h"

#include <algorithm>
#include <vector>

namespace {
// Kept bytes go where no character of the code page lies: U+F780 to U+F7FF,
// or (950 uses those) the first free run of 128 after them; else fallback.
char16_t keptBase(std::span<const char16_t, 256> single, const std::array<char16_t, 0x10000> &pairs,
                  char16_t fallback)
{
    std::vector<bool> used(0x10000);
    for (const char16_t c : single)
        used[c] = c != CodePageTable::kNone;
    for (const char16_t c : pairs)
        used[c] = true;
    for (char16_t base = 0xF700; base < 0xF880; ++base) {
        if (std::none_of(used.begin() + base + 0x80, used.begin() + base + 0x100,
                         [](bool u) { return u; }))
            return base;
    }
    return fallback;
}
} // namespace

void CodePage::buildDoubleByte(const CodePageTable &table)
{
    m_pairs = std::make_unique<std::array<char16_t, 0x10000>>();
    m_pairs->fill(0);
    m_pairFor = std::make_unique<std::array<std::uint16_t, 0x10000>>();
    m_pairFor->fill(0);
    std::array<char16_t, 0x10000> &pairs = *m_pairs;
    for (const CodePageTable::Pair &p : std::span(table.pairs, table.pairCount)) {
        pairs[p.bytes] = p.character;
        m_lead[p.bytes >> 8] = true;
        // A character with one pair is written as it; one with several as
        // the table says below.
        if (!(*m_pairFor)[p.character])
            (*m_pairFor)[p.character] = p.bytes;
    }
    for (const CodePageTable::Pair &p : std::span(table.written, table.writtenCount))
        (*m_pairFor)[p.character] = p.bytes;
    m_hasSecondPairs = table.writtenCount > 0;
    m_keptBase = keptBase(std::span<const char16_t, 256>(table.bytes, 256), pairs, m_keptBase);
    for (int b = 0; b < 256; ++b) {
        // A lead byte, or one Windows reads as nothing: kept as a byte of its
        // own when it starts no character.
        char16_t c = table.bytes[b];
        if (c == CodePageTable::kNone || (*m_byteFor)[c] >= 0 || (*m_pairFor)[c])
            c = keptByte(static_cast<unsigned char>(b));
        m_decoded[b] = c;
        (*m_byteFor)[c] = std::int16_t(b);
    }
}
