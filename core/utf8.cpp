#include "utf8.h"

#include "unicode.h"

namespace utf8 {

std::string encode(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        char32_t c = text[at];
        if (unicode::isHighSurrogate(text[at]) && at + 1 < text.size() &&
            unicode::isLowSurrogate(text[at + 1])) {
            c = unicode::fromSurrogates(text[at], text[at + 1]);
            ++at;
        } else if (unicode::isSurrogate(text[at])) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {
// The character of the sequence at the start of bytes and its length, or
// length 0 when none starts there.
struct Sequence {
    char32_t c = 0;
    std::size_t length = 0;
};

Sequence sequenceAt(std::string_view bytes)
{
    const unsigned char lead = static_cast<unsigned char>(bytes[0]);
    std::size_t more;
    char32_t c, least;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3, c = lead & 0x07, least = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() <= more)
        return {};
    for (std::size_t k = 1; k <= more; ++k) {
        const unsigned char next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return {};
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {};
    return {c, more + 1};
}
} // namespace

std::u16string decode(std::string_view bytes)
{
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            out += char16_t(byte);
            ++at;
            continue;
        }
        const Sequence sequence = sequenceAt(bytes.substr(at));
        if (sequence.length == 0) {
            out += u"\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            ++at;
        } else if (sequence.c >= 0x10000) {
            out += char16_t(0xD800 + ((sequence.c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((sequence.c - 0x10000) & 0x3FF));
        } else {
            out += char16_t(sequence.c);
        }
        at += sequence.length;
    }
    return out;
}

} // namespace utf8
