#pragma once

#include "localename.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>

namespace nuspell {
inline namespace v5 {
class Dictionary;
}
} // namespace nuspell

// A word of a line: where it starts and how long it is, in characters.
struct WordSpan {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype end() const { return start + length; }
    bool operator==(const WordSpan &) const = default;
};

// The words of a line that spelling checks. A token is a run of characters
// between whitespace; a token holding a digit, "@" or "/" is left alone;
// otherwise each run of letters (with their combining marks) joined by ',
// U+2019 or - is a word.
QList<WordSpan> wordsToCheck(QStringView line);

// Spelling against a Hunspell dictionary (read by Nuspell, in UTF-8). Words
// are compared in Unicode normal form C. Words the user ignores are ignored
// for as long as the checker lives; nothing is stored.
class SpellChecker {
public:
    // The checker for a locale (English for "", C and POSIX) from the
    // dictionaries in the folders; null when there is none.
    static std::unique_ptr<SpellChecker> forLocale(const LocaleName &locale,
                                                   const QStringList &folders = defaultFolders());
    static QStringList defaultFolders();

    // Loads the dictionary whose .aff file this is; isLoaded() says whether it could.
    explicit SpellChecker(const QString &affPath);
    ~SpellChecker();

    bool isLoaded() const { return bool(m_dictionary); }
    bool isCorrect(QStringView word) const;
    // The same when it takes no work of the dictionary's (the word was asked
    // about before, or is ignored); nothing otherwise.
    std::optional<bool> isCorrectAtOnce(QStringView word) const;
    // At most max suggestions, best first.
    QStringList suggestions(QStringView word, int max = 5) const;
    // Accepts the word, in every case form, until the checker ends. The
    // program's own names (Orbitane, Novaglide, Heraldpad) are always accepted.
    void ignore(QStringView word);
    // Grows whenever the set of ignored words does, so earlier results can be dropped.
    int generation() const { return m_generation; }

private:
    std::optional<bool> check(QStringView word, bool mayAsk) const;
    std::optional<bool> checkWord(QStringView word, bool mayAsk) const;

    std::unique_ptr<nuspell::Dictionary> m_dictionary;
    QSet<QString> m_ignored; // case-folded
    mutable QHash<QString, bool> m_known;
    int m_generation = 0;
};
