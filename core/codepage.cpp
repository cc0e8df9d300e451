#include "codepage.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <map>
#include <mutex>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
constexpr char16_t kUndefinedBase = 0xF700;
constexpr char16_t kReplacement = 0xFFFD;

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
    const QByteArray charset = "windows-" + QByteArray::number(number);
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid()) {
        m_problem =
            CodePage::tr("The character set %1 is not available in this Qt build.").arg(name());
        return;
    }
    // Byte by byte, so that each byte gives exactly one character.
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString chars = decoder.decode(QByteArrayView(&byte, 1));
        decoder.resetState();
        char16_t c = chars.size() == 1 ? chars.at(0).unicode() : kReplacement;
        // Undefined, or a character another byte already stands for: a
        // private-use character of its own, so the byte comes back unchanged.
        if (c == kReplacement || (*m_byteFor)[c] >= 0 || (c >= 0xD800 && c < 0xE000))
            c = char16_t(kUndefinedBase + b);
        m_decoded[b] = c;
        (*m_byteFor)[c] = qint16(b);
    }
    // The table must agree with the toolkit's encoder for every defined byte.
    QStringEncoder encoder(charset.constData());
    for (int b = 0; b < 256 && encoder.isValid(); ++b) {
        const char16_t c = m_decoded[b];
        if (c >= kUndefinedBase && c < kUndefinedBase + 256)
            continue;
        const QByteArray back = encoder.encode(QStringView(&c, 1));
        if (back.size() != 1 || uchar(back[0]) != b) {
            m_problem =
                CodePage::tr("The character set %1 does not map every byte to one character and "
                             "back in this Qt build.")
                    .arg(name());
            return;
        }
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

QString CodePage::decode(QByteArrayView bytes) const
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    const char *b = bytes.data();
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        o[i] = m_decoded[uchar(b[i])];
    return out;
}

bool CodePage::appendBytes(char32_t c, QByteArray *out, bool *exact) const
{
    if (c < 0x10000) {
        if (const qint16 b = (*m_byteFor)[c]; b >= 0) {
            if (out)
                out->append(char(b));
            return true;
        }
    }
    // A letter and combining marks canonically equal to c: the letter with
    // some of the marks composed, if the code page has that, and the other
    // marks combining (U+1EC7 as U+00EA U+0323 in Windows-1258).
    const QString nfd = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_D);
    const qsizetype marks = nfd.size() - 1;
    if (marks < 1 || marks > 4)
        return false;
    for (int composed = (1 << marks) - 1; composed >= 0; --composed) {
        QString letter = nfd.first(1);
        QString rest;
        for (qsizetype m = 0; m < marks; ++m)
            ((composed >> m) & 1 ? letter : rest).append(nfd.at(m + 1));
        letter = letter.normalized(QString::NormalizationForm_C);
        if (letter.size() != 1 || (*m_byteFor)[letter.at(0).unicode()] < 0)
            continue;
        const QString parts = letter + rest;
        if (firstUnstorableExactly(parts) >= 0)
            continue;
        if (out) {
            for (const QChar part : parts)
                out->append(char((*m_byteFor)[part.unicode()]));
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
        if ((*m_byteFor)[text.at(i).unicode()] < 0)
            return i;
    }
    return -1;
}

qsizetype CodePage::firstUnstorable(QStringView text) const
{
    const char16_t *data = text.utf16();
    const auto &byteFor = *m_byteFor;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (byteFor[data[i]] >= 0)
            continue;
        if (QChar::isSurrogate(data[i]) || !appendBytes(data[i], nullptr, nullptr))
            return i;
    }
    return -1;
}

QByteArray CodePage::encode(QStringView text, bool *exact) const
{
    if (exact)
        *exact = true;
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
    if (text.size() != bytes.size())
        return false;
    const char16_t *t = text.utf16();
    const char *b = bytes.data();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (m_decoded[uchar(b[i])] != t[i])
            return false;
    }
    return true;
}

int codePageForLocale(QStringView locale)
{
    // language[_territory][.codeset][@modifier]
    const qsizetype at = locale.indexOf(u'@');
    const QStringView modifier = at >= 0 ? locale.sliced(at + 1) : QStringView();
    const QStringView name = at >= 0 ? locale.first(at) : locale;
    qsizetype end = 0;
    while (end < name.size() && name[end].isLetter())
        ++end;
    const QString language = name.first(end).toString().toLower();
    const bool latin = modifier.compare(u"latin", Qt::CaseInsensitive) == 0;
    const bool cyrillic = modifier.compare(u"cyrillic", Qt::CaseInsensitive) == 0;

    if (language == u"sr")
        return latin ? 1250 : 1251; // Serbian is written in Cyrillic unless said
    if (language == u"uz")
        return cyrillic ? 1251 : 1254; // Uzbek in Latin unless said
    static const std::map<QString, int> byLanguage{
        {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250},
        {"bs", 1250}, {"ro", 1250}, {"sq", 1250}, {"sh", 1250}, {"ru", 1251}, {"uk", 1251},
        {"be", 1251}, {"bg", 1251}, {"mk", 1251}, {"kk", 1251}, {"ky", 1251}, {"mn", 1251},
        {"tt", 1251}, {"tg", 1251}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255},
        {"iw", 1255}, {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"lt", 1257}, {"lv", 1257},
        {"et", 1257}, {"vi", 1258}, {"th", 874},
    };
    const auto found = byLanguage.find(language);
    return found == byLanguage.end() ? 1252 : found->second;
}

QString localeFromEnvironment()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

int systemCodePage()
{
#ifdef Q_OS_WIN
    const int acp = int(GetACP());
    return isKnown(acp) ? acp : 1252;
#else
    return codePageForLocale(localeFromEnvironment());
#endif
}
