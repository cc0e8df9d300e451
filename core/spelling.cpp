#include "spelling.h"

#include "unicode.h"
#include "utf8.h"

#include <nuspell/dictionary.hxx>

#include <algorithm>
#include <exception>
#include <system_error>

namespace {
bool isJoiner(char16_t c)
{
    return c == u'\'' || c == u'\u2019' || c == u'-';
}

bool isWordChar(char16_t c)
{
    return unicode::isLetter(c) || unicode::isMark(c);
}

// The words of one token, which holds no whitespace.
void addWords(std::u16string_view line, std::size_t start, std::size_t end,
              std::vector<WordSpan> &words)
{
    for (std::size_t i = start; i < end; ++i) {
        const char16_t c = line[i];
        if (unicode::isDigit(c) || c == u'@' || c == u'/')
            return;
    }
    std::size_t i = start;
    while (i < end) {
        while (i < end && !unicode::isLetter(line[i]))
            ++i;
        if (i == end)
            break;
        const std::size_t wordStart = i;
        for (;;) {
            while (i < end && isWordChar(line[i]))
                ++i;
            if (i + 1 < end && isJoiner(line[i]) && unicode::isLetter(line[i + 1]))
                ++i;
            else
                break;
        }
        words.push_back({std::ptrdiff_t(wordStart), std::ptrdiff_t(i - wordStart)});
    }
}

std::u16string caseFolded(std::u16string_view word)
{
    std::u16string folded(word);
    for (char16_t &c : folded) {
        // (One unit for one: a surrogate folds to itself.)
        const char32_t to = unicode::folded(c);
        if (to <= 0xFFFF)
            c = char16_t(to);
    }
    return folded;
}
} // namespace

std::vector<WordSpan> wordsToCheck(std::u16string_view line)
{
    std::vector<WordSpan> words;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && unicode::isSpace(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < n && !unicode::isSpace(line[i]))
            ++i;
        if (i > start)
            addWords(line, start, i, words);
    }
    return words;
}

SpellChecker::Folders SpellChecker::defaultFolders()
{
    return {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"};
}

std::unique_ptr<SpellChecker> SpellChecker::forLocale(const LocaleName &locale,
                                                      const Folders &folders)
{
    const bool english = locale.language.empty();
    const std::string language = english ? "en" : locale.language;
    const std::string territory = english ? "US" : locale.territory;
    // The language and territory, else the language of any territory.
    std::vector<std::filesystem::path> candidates;
    for (const std::filesystem::path &folder : folders) {
        if (!territory.empty())
            candidates.push_back(folder / (language + '_' + territory + ".aff"));
    }
    for (const std::filesystem::path &folder : folders) {
        candidates.push_back(folder / (language + ".aff"));
        std::vector<std::filesystem::path> others;
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > language.size() + 5 && name.starts_with(language + '_') &&
                name.ends_with(".aff") && entry.is_regular_file(error))
                others.push_back(entry.path());
        }
        std::sort(others.begin(), others.end());
        candidates.insert(candidates.end(), others.begin(), others.end());
    }
    for (const std::filesystem::path &aff : candidates) {
        std::error_code error;
        if (!std::filesystem::exists(aff, error))
            continue;
        auto checker = std::make_unique<SpellChecker>(aff);
        if (checker->isLoaded())
            return checker;
    }
    return nullptr;
}

SpellChecker::SpellChecker(const std::filesystem::path &affPath)
{
    try {
        auto dictionary = std::make_unique<nuspell::Dictionary>();
        dictionary->load_aff_dic(affPath);
        m_dictionary = std::move(dictionary);
    } catch (const std::exception &) {
        // A dictionary that cannot be read marks nothing.
    }
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::isCorrect(std::u16string_view word) const
{
    return check(word, true).value_or(true);
}

std::optional<bool> SpellChecker::isCorrectAtOnce(std::u16string_view word) const
{
    return check(word, false);
}

std::optional<bool> SpellChecker::check(std::u16string_view word, bool mayAsk) const
{
    std::optional<bool> whole = checkWord(word, mayAsk);
    if (!whole || *whole || word.find(u'-') == std::u16string_view::npos)
        return whole;
    // A compound the dictionary does not list ("Orbitane-based") is right
    // when each of its parts is.
    for (std::size_t at = 0; at <= word.size();) {
        std::size_t dash = word.find(u'-', at);
        if (dash == std::u16string_view::npos)
            dash = word.size();
        if (dash > at) {
            const std::optional<bool> known = checkWord(word.substr(at, dash - at), mayAsk);
            if (!known || !*known)
                return known;
        }
        at = dash + 1;
    }
    return true;
}

std::optional<bool> SpellChecker::checkWord(std::u16string_view word, bool mayAsk) const
{
    if (!m_dictionary)
        return true;
    // Below U+0300 no character combines or composes: the word is in normal
    // form C already, and a paragraph of it is checked without the cost.
    const bool composed =
        std::all_of(word.begin(), word.end(), [](char16_t c) { return c < u'\u0300'; });
    const std::u16string normal = composed ? std::u16string(word) : unicode::composed(word);
    // The program's own names are in every news text.
    static const std::unordered_set<std::u16string> kOwnNames{u"orbitane", u"novaglide",
                                                              u"heraldpad"};
    std::u16string folded = caseFolded(normal);
    // And their possessives: "Orbitane's".
    if (folded.ends_with(u"'s") || folded.ends_with(u"\u2019s"))
        folded.resize(folded.size() - 2);
    if (m_ignored.contains(folded) || kOwnNames.contains(folded))
        return true;
    const auto known = m_known.find(normal);
    if (known != m_known.cend())
        return known->second;
    if (!mayAsk)
        return std::nullopt;
    const bool correct = m_dictionary->spell(utf8::encode(normal));
    m_known.emplace(normal, correct);
    return correct;
}

std::vector<std::u16string> SpellChecker::suggestions(std::u16string_view word, int max) const
{
    std::vector<std::u16string> out;
    if (!m_dictionary)
        return out;
    std::vector<std::string> found;
    m_dictionary->suggest(utf8::encode(unicode::composed(word)), found);
    for (const std::string &s : found) {
        if (int(out.size()) == max)
            break;
        out.push_back(utf8::decode(s));
    }
    return out;
}

void SpellChecker::ignore(std::u16string_view word)
{
    // In every case form: at a sentence's start, in capitals, as written.
    m_ignored.insert(caseFolded(unicode::composed(word)));
    ++m_generation;
}
