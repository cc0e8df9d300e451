#pragma once

#include "localename.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace nuspell {
inline namespace v5 {
class Dictionary;
}
} // namespace nuspell

// A word of a line: where it starts and how long it is, in UTF-16 units.
struct WordSpan {
    std::ptrdiff_t start = 0;
    std::ptrdiff_t length = 0;
    std::ptrdiff_t end() const { return start + length; }
    bool operator==(const WordSpan &) const = default;
};

// The words of a line that spelling checks. A token is a run of characters
// between whitespace; a token holding a digit, "@" or "/" is left alone;
// otherwise each run of letters (with their combining marks) joined by ',
// U+2019 or - is a word.
std::vector<WordSpan> wordsToCheck(std::u16string_view line);

// Spelling against a Hunspell dictionary (read by Nuspell, in UTF-8). Words
// are compared in Unicode normal form C. Words the user ignores are ignored
// for as long as the checker lives; nothing is stored.
class SpellChecker {
public:
    using Folders = std::vector<std::filesystem::path>;

    // The checker for a locale (English for "", C and POSIX) from the
    // dictionaries in the folders; null when there is none.
    static std::unique_ptr<SpellChecker> forLocale(const LocaleName &locale,
                                                   const Folders &folders = defaultFolders());
    static Folders defaultFolders();

    // Loads the dictionary whose .aff file this is; isLoaded() says whether it could.
    explicit SpellChecker(const std::filesystem::path &affPath);
    ~SpellChecker();

    bool isLoaded() const { return bool(m_dictionary); }
    bool isCorrect(std::u16string_view word) const;
    // The same when it takes no work of the dictionary's (the word was asked
    // about before, or is ignored); nothing otherwise.
    std::optional<bool> isCorrectAtOnce(std::u16string_view word) const;
    // At most max suggestions, best first.
    std::vector<std::u16string> suggestions(std::u16string_view word, int max = 5) const;
    // Accepts the word, in every case form, until the checker ends. The
    // program's own names (Orbitane, Novaglide, Heraldpad) are always accepted.
    void ignore(std::u16string_view word);
    // Grows whenever the set of ignored words does, so earlier results can be dropped.
    int generation() const { return m_generation; }

private:
    std::optional<bool> check(std::u16string_view word, bool mayAsk) const;
    std::optional<bool> checkWord(std::u16string_view word, bool mayAsk) const;

    std::unique_ptr<nuspell::Dictionary> m_dictionary;
    std::unordered_set<std::u16string> m_ignored; // case-folded
    mutable std::unordered_map<std::u16string, bool> m_known;
    int m_generation = 0;
};
