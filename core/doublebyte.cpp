// The tables of the double-byte code pages (932, 936, 949, 950), built from
// the toolkit's converters when a code page is first asked for.
#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <vector>

namespace {
// What the toolkit's converter makes of these bytes alone: the one character
// they stand for, or -1 when they are not exactly one character (an error, a
// byte dropped, more than one character).
int oneCharacter(const QByteArray &charset, QByteArrayView bytes)
{
    // A new decoder each time: the toolkit's error flag outlives resetState().
    QStringDecoder decoder(charset.constData());
    const QString chars = decoder.decode(bytes);
    if (decoder.hasError() || chars.size() != 1 || chars.at(0).isSurrogate())
        return -1;
    return chars.at(0).unicode();
}

// Kept bytes go where no character of the code page lies: U+F780 to U+F7FF,
// or (950 uses those) the first free run of 128 after them; else fallback.
char16_t keptBase(const std::array<int, 256> &single, const std::array<char16_t, 0x10000> &pairs,
                  char16_t fallback)
{
    std::vector<bool> used(0x10000);
    for (int b = 0; b < 256; ++b) {
        if (single[b] >= 0)
            used[single[b]] = true;
    }
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

void CodePage::buildDoubleByte(const QByteArray &charset)
{
    m_pairs = std::make_unique<std::array<char16_t, 0x10000>>();
    m_pairs->fill(0);
    m_pairFor = std::make_unique<std::array<quint16, 0x10000>>();
    m_pairFor->fill(0);
    // Every single byte and every pair, each alone through the toolkit.
    std::array<int, 256> single{};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        single[b] = oneCharacter(charset, QByteArrayView(&byte, 1));
    }
    std::array<char16_t, 0x10000> &pairs = *m_pairs;
    for (int lead = 0x81; lead < 0x100; ++lead) {
        // A byte that is a character alone leads nothing (the toolkit drops a
        // lone lead byte after it without a word).
        if (single[lead] >= 0)
            continue;
        for (int trail = 0x40; trail < 0x100; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            // No pair stands for U+0000: 0 is "no character" here.
            pairs[lead << 8 | trail] =
                char16_t(std::max(0, oneCharacter(charset, QByteArrayView(pair, 2))));
            m_lead[lead] = m_lead[lead] || pairs[lead << 8 | trail];
        }
    }
    m_keptBase = keptBase(single, pairs, m_keptBase);
    // Every pair shows its character. Where several pairs share one, a typed
    // character is written as Windows writes it, which the toolkit's encoder
    // tells; in 950, where Windows writes the ETEN row F9 D6 to F9 FE (F9 F9
    // for U+2550), Big5 files and other encoders hold the pair of Big5's own
    // rows (A2 A4): that one.
    QStringEncoder encoder(charset.constData());
    for (int code = 0; code < 0x10000; ++code) {
        const char16_t c = pairs[code];
        if (!c || (*m_pairFor)[c])
            continue;
        const QByteArray written = encoder.encode(QStringView(&c, 1));
        int writtenCode = written.size() == 2 ? uchar(written[0]) << 8 | uchar(written[1]) : code;
        if (pairs[writtenCode] != c || (m_number == 950 && writtenCode >= 0xF9D6))
            writtenCode = code;
        (*m_pairFor)[c] = quint16(writtenCode);
    }
    for (int code = 0; code < 0x10000; ++code) {
        if (pairs[code] && (*m_pairFor)[pairs[code]] != code)
            m_hasSecondPairs = true;
    }
    for (int b = 0; b < 256; ++b) {
        // Windows' double-byte code pages keep ASCII as it is (the toolkit's
        // 932 swaps three control codes, as IBM's code page does).
        char16_t c = b < 0x80 ? char16_t(b) : char16_t(std::max(0, single[b]));
        const bool own = (b < 0x80 || single[b] >= 0) && (*m_byteFor)[c] < 0 && !(*m_pairFor)[c];
        if (!own && b < 0x80) {
            m_problem = CodePage::tr("The character set %1 does not map every byte to one "
                                     "character and back in this Qt build.")
                            .arg(name());
            return;
        }
        if (!own)
            c = keptByte(uchar(b));
        m_decoded[b] = c;
        (*m_byteFor)[c] = qint16(b);
    }
}
