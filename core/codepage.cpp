#include "codepage.h"

#include "codepagetables.h"
#include "unicode.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {
// Normal form C of text.
QString nfc(QStringView text)
{
    return QString::fromStdU16String(unicode::composed(std::u16string_view(
        reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size()))));
}
bool isMark(QChar c)
{
    return unicode::isMark(c.unicode());
}

bool isKnown(int number)
{
    return std::find(CodePage::kNumbers.begin(), CodePage::kNumbers.end(), number) !=
           CodePage::kNumbers.end();
}
} // namespace

CodePage::CodePage(int number)
    : m_number(number), m_byteFor(std::make_unique<std::array<qint16, 0x10000>>())
{
    m_byteFor->fill(-1);
    const CodePageTable &table = *codePageTable(number);
    if (table.pairCount) {
        buildDoubleByte(table);
        return;
    }
    // Windows' table gives every byte a character of its own (the script that
    // writes the tables refuses one that does not).
    for (int b = 0; b < 256; ++b) {
        m_decoded[b] = table.bytes[b];
        (*m_byteFor)[m_decoded[b]] = qint16(b);
    }
}

const CodePage &CodePage::get(int number)
{
    static std::mutex lock;
    static std::map<int, std::unique_ptr<CodePage>> built;
    if (!isKnown(number))
        number = 1252;
    const std::lock_guard<std::mutex> guard(lock);
    auto &page = built[number];
    if (!page)
        page.reset(new CodePage(number));
    return *page;
}

QString CodePage::name() const
{
    return QStringLiteral("Windows-%1").arg(m_number);
}

char16_t CodePage::decodeAt(const char *bytes, qsizetype i, qsizetype n, int &width) const
{
    const uchar b = uchar(bytes[i]);
    if (m_lead[b] && i + 1 < n) {
        if (const char16_t c = (*m_pairs)[b << 8 | uchar(bytes[i + 1])]) {
            width = 2;
            return c;
        }
    }
    width = 1;
    return m_decoded[b];
}

QString CodePage::decode(QByteArrayView bytes) const
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    const char *b = bytes.data();
    const qsizetype n = bytes.size();
    if (!m_pairs) {
        for (qsizetype i = 0; i < n; ++i)
            o[i] = m_decoded[uchar(b[i])];
        return out;
    }
    qsizetype k = 0;
    for (qsizetype i = 0; i < n;) {
        int width = 1;
        o[k++] = decodeAt(b, i, n, width);
        i += width;
    }
    out.truncate(k);
    return out;
}

qsizetype CodePage::decodedLength(QByteArrayView bytes) const
{
    if (!m_pairs)
        return bytes.size();
    qsizetype k = 0;
    for (qsizetype i = 0, n = bytes.size(); i < n; ++k) {
        int width = 1;
        decodeAt(bytes.data(), i, n, width);
        i += width;
    }
    return k;
}

bool CodePage::appendBytes(char32_t c, QByteArray *out, bool *exact) const
{
    // No code page stores a character beyond the first plane (callers pass
    // UTF-16 units, never a surrogate).
    if (c >= 0x10000)
        return false;
    if (const qint16 b = (*m_byteFor)[c]; b >= 0) {
        if (out)
            out->append(char(b));
        return true;
    }
    if (const quint16 pair = m_pairFor ? (*m_pairFor)[c] : 0) {
        if (out)
            out->append(char(pair >> 8)).append(char(pair & 0xFF));
        return true;
    }
    // A letter and combining marks canonically equal to c: the letter with
    // some of the marks composed, if the code page has that, and the other
    // marks combining (U+1EC7 as U+00EA U+0323 in Windows-1258).
    const char16_t unit = char16_t(c);
    const QString nfd =
        QString::fromStdU16String(unicode::decomposed(std::u16string_view(&unit, 1)));
    const qsizetype marks = nfd.size() - 1;
    if (marks < 1 || marks > 4)
        return false;
    for (int composed = (1 << marks) - 1; composed >= 0; --composed) {
        QString letter = nfd.first(1);
        QString rest;
        for (qsizetype m = 0; m < marks; ++m)
            ((composed >> m) & 1 ? letter : rest).append(nfd.at(m + 1));
        letter = nfc(letter);
        if (letter.size() != 1 || firstUnstorableExactly(letter) >= 0)
            continue;
        const QString parts = letter + rest;
        if (firstUnstorableExactly(parts) >= 0)
            continue;
        if (out) {
            for (const QChar part : parts)
                appendBytes(part.unicode(), out, nullptr);
        }
        if (exact)
            *exact = false;
        return true;
    }
    return false;
}

qsizetype CodePage::firstUnstorableExactly(QStringView text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if ((*m_byteFor)[c] < 0 && !(m_pairFor && (*m_pairFor)[c]))
            return i;
    }
    return -1;
}

qsizetype CodePage::firstUnstorable(QStringView text) const
{
    const char16_t *data = text.utf16();
    const auto &byteFor = *m_byteFor;
    const quint16 *pairFor = m_pairFor ? m_pairFor->data() : nullptr;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (byteFor[data[i]] >= 0 || (pairFor && pairFor[data[i]]))
            continue;
        if (QChar::isSurrogate(data[i]) || !appendBytes(data[i], nullptr, nullptr))
            return i;
    }
    return -1;
}

namespace {
// Hangul's conjoining letters (leading, vowel and final, with their
// extensions) and its precomposed syllables.
bool isJamo(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x1100 && u <= 0x11FF) || (u >= 0xA960 && u <= 0xA97F) ||
           (u >= 0xD7B0 && u <= 0xD7FF);
}
bool isSyllable(QChar c)
{
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
}
} // namespace

QList<CodePage::Composed> CodePage::composable(QStringView text) const
{
    QList<Composed> found;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype bad = firstUnstorable(text.sliced(from));
        if (bad < 0)
            break;
        qsizetype at = from + bad;
        from = at + 1;
        qsizetype start = at, end = at + 1;
        if (isJamo(text.at(at))) {
            // Korean written as conjoining letters: the syllable they make,
            // with a syllable just before that a final letter completes.
            while (start > 0 && isJamo(text.at(start - 1)))
                --start;
            if (start > 0 && isSyllable(text.at(start - 1)))
                --start;
            while (end < text.size() && isJamo(text.at(end)))
                ++end;
        } else if (isMark(text.at(at))) {
            // The letter before the marks, and every mark after it.
            while (start > 0 && isMark(text.at(start - 1)))
                --start;
            if (start == 0 || !unicode::isLetter(text.at(start - 1).unicode()))
                continue;
            --start;
        } else {
            continue;
        }
        while (end < text.size() && isMark(text.at(end)))
            ++end;
        from = end;
        const auto storable = [this](const QString &whole, qsizetype length) {
            return whole.size() < length && firstUnstorableExactly(whole) < 0;
        };
        const QStringView run = text.sliced(start, end - start);
        QString whole = nfc(run);
        if (storable(whole, run.size())) {
            found.append({start, run.size(), whole});
        } else if (isJamo(text.at(at))) {
            // The longest start of the letters that makes storable syllables;
            // what follows stays as it is.
            for (qsizetype k = run.size() - 1; k >= 2; --k) {
                whole = nfc(run.first(k));
                if (storable(whole, k)) {
                    found.append({start, k, whole});
                    break;
                }
            }
        } else {
            // Only the marks the code page has no byte for go into the letter;
            // those it has stay apart (Windows-1258's tone marks).
            QString letter = run.first(1).toString(), kept;
            for (const QChar mark : run.sliced(1))
                (firstUnstorable(QStringView(&mark, 1)) < 0 ? kept : letter) += mark;
            whole = nfc(letter);
            if (!kept.isEmpty() && storable(whole, letter.size()) && whole.size() == 1)
                found.append({start, run.size(), whole + kept});
        }
    }
    return found;
}

QByteArray CodePage::encode(QStringView text, bool *exact, qsizetype *join) const
{
    if (exact)
        *exact = true;
    if (join)
        *join = -1;
    if (m_pairs) {
        QByteArray out;
        Encoder encoder(*this, out);
        encoder.append(text);
        if (exact)
            *exact = encoder.exact();
        if (join)
            *join = encoder.firstJoin();
        return out;
    }
    QByteArray out(text.size(), Qt::Uninitialized);
    char *o = out.data();
    const char16_t *data = text.utf16();
    const auto &byteFor = *m_byteFor;
    qsizetype i = 0;
    const qsizetype n = text.size();
    for (; i < n; ++i) {
        const qint16 b = byteFor[data[i]];
        if (b < 0)
            break;
        o[i] = char(b);
    }
    if (i == n)
        return out;
    // Some character is stored decomposed: the rest goes the long way.
    out.truncate(i);
    for (; i < n; ++i)
        appendBytes(data[i], &out, exact);
    return out;
}

bool CodePage::equals(QStringView text, QByteArrayView bytes) const
{
    const char16_t *t = text.utf16();
    const char *b = bytes.data();
    const qsizetype n = bytes.size();
    if (!m_pairs) {
        if (text.size() != n)
            return false;
        for (qsizetype i = 0; i < n; ++i) {
            if (m_decoded[uchar(b[i])] != t[i])
                return false;
        }
        return true;
    }
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++k) {
        int width = 1;
        if (k >= text.size() || decodeAt(b, i, n, width) != t[k])
            return false;
        i += width;
    }
    return k == text.size();
}
