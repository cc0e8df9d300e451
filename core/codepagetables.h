#pragma once

#include <cstddef>
#include <cstdint>

// Windows' table of one code page, as scripts/codepages.py writes it into
// core/codepages/.
struct CodePageTable {
    // A pair of bytes (lead << 8 | trail) and its character.
    struct Pair {
        std::uint16_t bytes;
        char16_t character;
    };
    // In bytes: a byte that is no character by itself (it leads a pair, or
    // Windows reads nothing there).
    static constexpr char16_t kNone = 0xFFFF;

    // The character of each byte read alone.
    const char16_t *bytes;
    // Every pair that reads as a character, in the order of the pairs.
    const Pair *pairs;
    std::size_t pairCount;
    // The characters that several pairs read as, each with the pair a typed
    // one is written as; in the order of the pairs.
    const Pair *written;
    std::size_t writtenCount;
};

// The table of a code page of CodePage::kNumbers; nullptr for another number.
const CodePageTable *codePageTable(int number);
