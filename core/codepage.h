#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The Windows code page of news text files, read and written with Windows'
// own tables (core/codepages/). In the 8-bit ones every byte value stands for
// one character and comes back as the same byte. A character the code page lacks is stored as its
// canonical decomposition when every part of it has a byte (a Vietnamese toned letter in
// Windows-1258).
//
// In the double-byte ones (932, 936, 949, 950) a character is one byte or a
// lead byte and a trail byte, and every pair that Windows reads as a character
// shows as that character. A byte that starts no character there (a lead byte
// before a byte that cannot trail it or at a line's end, a pair the table does
// not define, a byte no table defines) is kept as a private-use character of
// its own, and the next byte is read afresh. Some characters have a second
// pair (932: ED 40 and FA 5C for U+7E8A); a typed one is written as the first
// of pairFor(), and one read from a file keeps its pair through a save when
// the encoder is told so (KeptPair); so every file comes back byte for byte.
struct KeptPair {
    std::ptrdiff_t index; // of the character in the text being encoded
    std::uint16_t pair;   // lead << 8 | trail
};

class CodePage {
public:
    // The Windows code pages a news file can be in: 874 and 1250 to 1258,
    // and the double-byte 932, 936, 949 and 950.
    static constexpr std::array<int, 14> kNumbers{874,  1250, 1251, 1252, 1253, 1254, 1255,
                                                  1256, 1257, 1258, 932,  936,  949,  950};

    // The code page with this number, built once; Windows-1252 for a number
    // not in kNumbers.
    static const CodePage &get(int number);

    int number() const { return m_number; }
    bool isDoubleByte() const { return m_pairs != nullptr; }
    // The private-use character that keeps byte b (0x80 to 0xFF) when it
    // starts no character of its own.
    char16_t keptByte(unsigned char b) const { return char16_t(m_keptBase + b); }
    // "Windows-1251".
    std::string name() const;
    // Whether some character has a second pair (932 and 950).
    bool hasSecondPairs() const { return m_hasSecondPairs; }
    // The pair a typed character c is written as (lead << 8 | trail), or 0.
    std::uint16_t pairFor(char16_t c) const { return m_pairFor ? (*m_pairFor)[c] : 0; }

    std::u16string decode(std::string_view bytes) const;
    // decode() into out, which has room for bytes.size() characters; returns
    // how many it wrote.
    std::size_t decodeInto(std::string_view bytes, char16_t *out) const;
    // The character that starts at bytes[i] (i < n), and how many bytes it takes.
    char16_t decodeAt(const char *bytes, std::ptrdiff_t i, std::ptrdiff_t n, int &width) const;
    // Index of the first character that cannot be stored, or -1.
    std::ptrdiff_t firstUnstorable(std::u16string_view text) const;

    // A letter and the combining marks after it that cannot be stored as they
    // are, and the one composed character (normal form C) that can, as
    // Windows' own conversion composes them (text pasted decomposed, é as e
    // and U+0301). Marks the code page stores stay apart (Windows-1258, whose
    // readers expect them so). In order of start; nothing else changes.
    struct Composed {
        std::ptrdiff_t start = 0;
        std::ptrdiff_t length = 0;
        std::u16string with;
        bool operator==(const Composed &) const = default;
    };
    std::vector<Composed> composable(std::u16string_view text) const;
    // Only for text in which firstUnstorable() found nothing. exact, when
    // given, tells whether every character had a byte of its own, so that the
    // bytes decode to the very text. join, when given, receives the index of
    // the first kept byte that the byte written after it would join into a
    // character (an edit put them side by side), or -1; only double-byte code
    // pages have such bytes.
    std::string encode(std::u16string_view text, bool *exact = nullptr,
                       std::ptrdiff_t *join = nullptr) const;
    // True when text is what bytes decode to, without building that text.
    bool equals(std::u16string_view text, std::string_view bytes) const;
    // The length of what bytes decode to.
    std::ptrdiff_t decodedLength(std::string_view bytes) const;

    // Writes a text a slice at a time: the bytes of each slice are appended
    // to out. Characters listed in keep (in the order of their index in the
    // whole text) are written as the pair given there.
    class Encoder {
    public:
        Encoder(const CodePage &page, std::string &out, std::span<const KeptPair> keep = {});
        // The next slice of the text, in which firstUnstorable() found nothing.
        void append(std::u16string_view slice);
        bool exact() const { return m_exact; }
        // As encode() tells it, for everything appended so far.
        std::ptrdiff_t firstJoin() const { return m_join; }

    private:
        const CodePage &m_page;
        std::string &m_out;
        std::span<const KeptPair> m_keep;
        size_t m_nextKeep = 0;
        std::ptrdiff_t m_done = 0; // characters appended so far
        bool m_exact = true;
        std::ptrdiff_t m_join = -1;
        int m_keptLead = -1; // the last byte written when it is a kept lead byte
    };

private:
    explicit CodePage(int number);
    void buildDoubleByte(const struct CodePageTable &table);
    // Appends the bytes for c, decomposing it where needed; false when some
    // part of it has no byte.
    bool appendBytes(char32_t c, std::string *out, bool *exact) const;
    // Index of the first character without a byte of its own, or -1.
    std::ptrdiff_t firstUnstorableExactly(std::u16string_view text) const;

    int m_number;
    std::array<char16_t, 256> m_decoded{};
    char16_t m_keptBase = 0xF700;
    // Double-byte code pages only: the character of lead << 8 | trail, 0 for
    // none, and whether a byte may lead a pair.
    std::unique_ptr<std::array<char16_t, 0x10000>> m_pairs;
    std::array<bool, 256> m_lead{};
    bool m_hasSecondPairs = false;
    // The pair for each UTF-16 unit (lead << 8 | trail), or 0.
    std::unique_ptr<std::array<std::uint16_t, 0x10000>> m_pairFor;
    // The byte for each UTF-16 unit, or -1.
    std::unique_ptr<std::array<std::int16_t, 0x10000>> m_byteFor;
};
