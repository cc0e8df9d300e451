#include "spelling.h"

#include <QDir>
#include <QFileInfo>

#include <nuspell/dictionary.hxx>

#include <algorithm>
#include <exception>

namespace {
bool isJoiner(QChar c)
{
    return c == u'\'' || c == QChar(0x2019) || c == u'-';
}

bool isWordChar(QChar c)
{
    return c.isLetter() || c.isMark();
}

// The words of one token, which holds no whitespace.
void addWords(QStringView line, qsizetype start, qsizetype end, QList<WordSpan> &words)
{
    for (qsizetype i = start; i < end; ++i) {
        const QChar c = line[i];
        if (c.isDigit() || c == u'@' || c == u'/')
            return;
    }
    qsizetype i = start;
    while (i < end) {
        while (i < end && !(line[i].isLetter()))
            ++i;
        if (i == end)
            break;
        const qsizetype wordStart = i;
        for (;;) {
            while (i < end && isWordChar(line[i]))
                ++i;
            if (i + 1 < end && isJoiner(line[i]) && line[i + 1].isLetter())
                ++i;
            else
                break;
        }
        words.append({wordStart, i - wordStart});
    }
}

std::string utf8(QStringView word)
{
    const QByteArray bytes = word.toString().normalized(QString::NormalizationForm_C).toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}
} // namespace

QList<WordSpan> wordsToCheck(QStringView line)
{
    QList<WordSpan> words;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && line[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < n && !line[i].isSpace())
            ++i;
        if (i > start)
            addWords(line, start, i, words);
    }
    return words;
}

QStringList SpellChecker::defaultFolders()
{
    return {QStringLiteral("/usr/share/hunspell"), QStringLiteral("/usr/share/myspell"),
            QStringLiteral("/usr/share/myspell/dicts")};
}

std::unique_ptr<SpellChecker> SpellChecker::forLocale(const LocaleName &locale,
                                                      const QStringList &folders)
{
    const bool english = locale.language.empty();
    const QString language =
        english ? QStringLiteral("en") : QString::fromStdString(locale.language);
    const QString territory =
        english ? QStringLiteral("US") : QString::fromStdString(locale.territory);
    // The language and territory, else the language of any territory.
    QStringList candidates;
    for (const QString &folder : folders) {
        if (!territory.isEmpty())
            candidates << QDir(folder).filePath(language + u'_' + territory +
                                                QLatin1String(".aff"));
    }
    for (const QString &folder : folders) {
        candidates << QDir(folder).filePath(language + QLatin1String(".aff"));
        const QStringList others =
            QDir(folder).entryList({language + QLatin1String("_*.aff")}, QDir::Files, QDir::Name);
        for (const QString &other : others)
            candidates << QDir(folder).filePath(other);
    }
    for (const QString &aff : candidates) {
        if (!QFileInfo::exists(aff))
            continue;
        auto checker = std::make_unique<SpellChecker>(aff);
        if (checker->isLoaded())
            return checker;
    }
    return nullptr;
}

SpellChecker::SpellChecker(const QString &affPath)
{
    try {
        auto dictionary = std::make_unique<nuspell::Dictionary>();
        dictionary->load_aff_dic(QFile::encodeName(affPath).toStdString());
        m_dictionary = std::move(dictionary);
    } catch (const std::exception &) {
        // A dictionary that cannot be read marks nothing.
    }
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::isCorrect(QStringView word) const
{
    return check(word, true).value_or(true);
}

std::optional<bool> SpellChecker::isCorrectAtOnce(QStringView word) const
{
    return check(word, false);
}

std::optional<bool> SpellChecker::check(QStringView word, bool mayAsk) const
{
    std::optional<bool> whole = checkWord(word, mayAsk);
    if (!whole || *whole || !word.contains(u'-'))
        return whole;
    // A compound the dictionary does not list ("Orbitane-based") is right
    // when each of its parts is.
    for (const QStringView part : word.tokenize(u'-', Qt::SkipEmptyParts)) {
        const std::optional<bool> known = checkWord(part, mayAsk);
        if (!known || !*known)
            return known;
    }
    return true;
}

std::optional<bool> SpellChecker::checkWord(QStringView word, bool mayAsk) const
{
    if (!m_dictionary)
        return true;
    // Below U+0300 no character combines or composes: the word is in normal
    // form C already, and a paragraph of it is checked without the cost.
    const bool composed =
        std::all_of(word.begin(), word.end(), [](QChar c) { return c < u'\u0300'; });
    const QString normal =
        composed ? word.toString() : word.toString().normalized(QString::NormalizationForm_C);
    // The program's own names are in every news text.
    static const QSet<QString> kOwnNames{QStringLiteral("orbitane"), QStringLiteral("novaglide"),
                                         QStringLiteral("heraldpad")};
    QString folded = normal.toCaseFolded();
    // And their possessives: "Orbitane's".
    if (folded.endsWith(u"'s") || folded.endsWith(u"\u2019s"))
        folded.chop(2);
    if (m_ignored.contains(folded) || kOwnNames.contains(folded))
        return true;
    const auto known = m_known.constFind(normal);
    if (known != m_known.cend())
        return *known;
    if (!mayAsk)
        return std::nullopt;
    const bool correct = m_dictionary->spell(utf8(normal));
    m_known.insert(normal, correct);
    return correct;
}

QStringList SpellChecker::suggestions(QStringView word, int max) const
{
    QStringList out;
    if (!m_dictionary)
        return out;
    std::vector<std::string> found;
    m_dictionary->suggest(utf8(word), found);
    for (const std::string &s : found) {
        if (out.size() == max)
            break;
        out << QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    return out;
}

void SpellChecker::ignore(QStringView word)
{
    // In every case form: at a sentence's start, in capitals, as written.
    m_ignored.insert(word.toString().normalized(QString::NormalizationForm_C).toCaseFolded());
    ++m_generation;
}
