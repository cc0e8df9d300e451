#include "codepage.h"

#include "codepagetables.h"
#include "unicode.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {
using unicode::isMark;
using unicode::isSurrogate;

bool isKnown(int number)
{
    return std::find(CodePage::kNumbers.begin(), CodePage::kNumbers.end(), number) !=
           CodePage::kNumbers.end();
}
} // namespace

CodePage::CodePage(int number)
    : m_number(number), m_byteFor(std::make_unique<std::array<std::int16_t, 0x10000>>())
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
        (*m_byteFor)[m_decoded[b]] = std::int16_t(b);
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

std::string CodePage::name() const
{
    return "Windows-" + std::to_string(m_number);
}

char16_t CodePage::decodeAt(const char *bytes, std::ptrdiff_t i, std::ptrdiff_t n, int &width) const
{
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (m_lead[b] && i + 1 < n) {
        if (const char16_t c = (*m_pairs)[b << 8 | static_cast<unsigned char>(bytes[i + 1])]) {
            width = 2;
            return c;
        }
    }
    width = 1;
    return m_decoded[b];
}

std::size_t CodePage::decodeInto(std::string_view bytes, char16_t *out) const
{
    const char *b = bytes.data();
    const std::ptrdiff_t n = std::ptrdiff_t(bytes.size());
    if (!m_pairs) {
        for (std::ptrdiff_t i = 0; i < n; ++i)
            out[i] = m_decoded[static_cast<unsigned char>(b[i])];
        return bytes.size();
    }
    std::size_t k = 0;
    for (std::ptrdiff_t i = 0; i < n;) {
        int width = 1;
        out[k++] = decodeAt(b, i, n, width);
        i += width;
    }
    return k;
}

std::u16string CodePage::decode(std::string_view bytes) const
{
    std::u16string out(bytes.size(), u'\0');
    out.resize(decodeInto(bytes, out.data()));
    return out;
}

std::ptrdiff_t CodePage::decodedLength(std::string_view bytes) const
{
    if (!m_pairs)
        return std::ptrdiff_t(bytes.size());
    std::ptrdiff_t k = 0;
    for (std::ptrdiff_t i = 0, n = std::ptrdiff_t(bytes.size()); i < n; ++k) {
        int width = 1;
        decodeAt(bytes.data(), i, n, width);
        i += width;
    }
    return k;
}

bool CodePage::appendBytes(char32_t c, std::string *out, bool *exact) const
{
    // No code page stores a character beyond the first plane (callers pass
    // UTF-16 units, never a surrogate).
    if (c >= 0x10000)
        return false;
    if (const std::int16_t b = (*m_byteFor)[c]; b >= 0) {
        if (out)
            out->push_back(char(b));
        return true;
    }
    if (const std::uint16_t pair = m_pairFor ? (*m_pairFor)[c] : 0) {
        if (out) {
            out->push_back(char(pair >> 8));
            out->push_back(char(pair & 0xFF));
        }
        return true;
    }
    // A letter and combining marks canonically equal to c: the letter with
    // some of the marks composed, if the code page has that, and the other
    // marks combining (U+1EC7 as U+00EA U+0323 in Windows-1258).
    const char16_t unit = char16_t(c);
    const std::u16string nfd = unicode::decomposed(std::u16string_view(&unit, 1));
    const std::ptrdiff_t marks = std::ptrdiff_t(nfd.size()) - 1;
    if (marks < 1 || marks > 4)
        return false;
    for (int composed = (1 << marks) - 1; composed >= 0; --composed) {
        std::u16string letter = nfd.substr(0, 1);
        std::u16string rest;
        for (std::ptrdiff_t m = 0; m < marks; ++m)
            ((composed >> m) & 1 ? letter : rest).push_back(nfd[size_t(m + 1)]);
        letter = unicode::composed(letter);
        if (letter.size() != 1 || firstUnstorableExactly(letter) >= 0)
            continue;
        const std::u16string parts = letter + rest;
        if (firstUnstorableExactly(parts) >= 0)
            continue;
        if (out) {
            for (const char16_t part : parts)
                appendBytes(part, out, nullptr);
        }
        if (exact)
            *exact = false;
        return true;
    }
    return false;
}

std::ptrdiff_t CodePage::firstUnstorableExactly(std::u16string_view text) const
{
    for (std::ptrdiff_t i = 0, n = std::ptrdiff_t(text.size()); i < n; ++i) {
        const char16_t c = text[size_t(i)];
        if ((*m_byteFor)[c] < 0 && !(m_pairFor && (*m_pairFor)[c]))
            return i;
    }
    return -1;
}

std::ptrdiff_t CodePage::firstUnstorable(std::u16string_view text) const
{
    const char16_t *data = text.data();
    const auto &byteFor = *m_byteFor;
    const std::uint16_t *pairFor = m_pairFor ? m_pairFor->data() : nullptr;
    for (std::ptrdiff_t i = 0, n = std::ptrdiff_t(text.size()); i < n; ++i) {
        if (byteFor[data[i]] >= 0 || (pairFor && pairFor[data[i]]))
            continue;
        if (isSurrogate(data[i]) || !appendBytes(data[i], nullptr, nullptr))
            return i;
    }
    return -1;
}

namespace {
// Hangul's conjoining letters (leading, vowel and final, with their
// extensions) and its precomposed syllables.
bool isJamo(char16_t u)
{
    return (u >= 0x1100 && u <= 0x11FF) || (u >= 0xA960 && u <= 0xA97F) ||
           (u >= 0xD7B0 && u <= 0xD7FF);
}
bool isSyllable(char16_t u)
{
    return u >= 0xAC00 && u <= 0xD7A3;
}
} // namespace

std::vector<CodePage::Composed> CodePage::composable(std::u16string_view text) const
{
    std::vector<Composed> found;
    const std::ptrdiff_t size = std::ptrdiff_t(text.size());
    const auto at = [text](std::ptrdiff_t i) { return text[size_t(i)]; };
    for (std::ptrdiff_t from = 0; from < size;) {
        const std::ptrdiff_t bad = firstUnstorable(text.substr(size_t(from)));
        if (bad < 0)
            break;
        const std::ptrdiff_t first = from + bad;
        from = first + 1;
        std::ptrdiff_t start = first, end = first + 1;
        if (isJamo(at(first))) {
            // Korean written as conjoining letters: the syllable they make,
            // with a syllable just before that a final letter completes.
            while (start > 0 && isJamo(at(start - 1)))
                --start;
            if (start > 0 && isSyllable(at(start - 1)))
                --start;
            while (end < size && isJamo(at(end)))
                ++end;
        } else if (isMark(at(first))) {
            // The letter before the marks, and every mark after it.
            while (start > 0 && isMark(at(start - 1)))
                --start;
            if (start == 0 || !unicode::isLetter(at(start - 1)))
                continue;
            --start;
        } else {
            continue;
        }
        while (end < size && isMark(at(end)))
            ++end;
        from = end;
        const auto storable = [this](const std::u16string &whole, std::ptrdiff_t length) {
            return std::ptrdiff_t(whole.size()) < length && firstUnstorableExactly(whole) < 0;
        };
        const std::u16string_view run = text.substr(size_t(start), size_t(end - start));
        const std::ptrdiff_t runSize = std::ptrdiff_t(run.size());
        std::u16string whole = unicode::composed(run);
        if (storable(whole, runSize)) {
            found.push_back({start, runSize, whole});
        } else if (isJamo(at(first))) {
            // The longest start of the letters that makes storable syllables;
            // what follows stays as it is.
            for (std::ptrdiff_t k = runSize - 1; k >= 2; --k) {
                whole = unicode::composed(run.substr(0, size_t(k)));
                if (storable(whole, k)) {
                    found.push_back({start, k, whole});
                    break;
                }
            }
        } else {
            // Only the marks the code page has no byte for go into the letter;
            // those it has stay apart (Windows-1258's tone marks).
            std::u16string letter(run.substr(0, 1)), kept;
            for (const char16_t mark : run.substr(1))
                (firstUnstorable(std::u16string_view(&mark, 1)) < 0 ? kept : letter) += mark;
            whole = unicode::composed(letter);
            if (!kept.empty() && storable(whole, std::ptrdiff_t(letter.size())) &&
                whole.size() == 1)
                found.push_back({start, runSize, whole + kept});
        }
    }
    return found;
}

std::string CodePage::encode(std::u16string_view text, bool *exact, std::ptrdiff_t *join) const
{
    std::string out;
    Encoder encoder(*this, out);
    encoder.append(text);
    if (exact)
        *exact = encoder.exact();
    if (join)
        *join = encoder.firstJoin();
    return out;
}

bool CodePage::equals(std::u16string_view text, std::string_view bytes) const
{
    const char16_t *t = text.data();
    const char *b = bytes.data();
    const std::ptrdiff_t n = std::ptrdiff_t(bytes.size());
    const std::ptrdiff_t length = std::ptrdiff_t(text.size());
    if (!m_pairs) {
        if (length != n)
            return false;
        for (std::ptrdiff_t i = 0; i < n; ++i) {
            if (m_decoded[static_cast<unsigned char>(b[i])] != t[i])
                return false;
        }
        return true;
    }
    std::ptrdiff_t k = 0;
    for (std::ptrdiff_t i = 0; i < n; ++k) {
        int width = 1;
        if (k >= length || decodeAt(b, i, n, width) != t[k])
            return false;
        i += width;
    }
    return k == length;
}
