#pragma once

#include <QCoreApplication>

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <memory>

// The 8-bit code page of news text files: every byte value stands for one
// character and comes back as the same byte. Bytes that the code page leaves
// undefined stand for the private-use character U+F700 plus the byte.
// A character the code page lacks is stored as its canonical decomposition
// when every part of it has a byte (a Vietnamese toned letter in Windows-1258).
class CodePage {
    Q_DECLARE_TR_FUNCTIONS(CodePage)

public:
    // The Windows code pages a news file can be in: 874 and 1250 to 1258.
    static constexpr std::array<int, 10> kNumbers{874,  1250, 1251, 1252, 1253,
                                                  1254, 1255, 1256, 1257, 1258};

    // The code page with this number, built once; Windows-1252 for a number
    // not in kNumbers.
    static const CodePage &get(int number);

    int number() const { return m_number; }
    // "Windows-1251".
    QString name() const;
    // Empty when the toolkit's converter gave a table that maps every byte to
    // one character and back; otherwise why news text cannot be handled
    // safely in this code page. Check it once at start.
    QString problem() const { return m_problem; }

    QString decode(QByteArrayView bytes) const;
    // Index of the first character that cannot be stored, or -1.
    qsizetype firstUnstorable(QStringView text) const;
    // Only for text in which firstUnstorable() found nothing. exact, when
    // given, tells whether every character had a byte of its own, so that the
    // bytes decode to the very text.
    QByteArray encode(QStringView text, bool *exact = nullptr) const;
    // True when text is what bytes decode to, without decoding them.
    bool equals(QStringView text, QByteArrayView bytes) const;

private:
    explicit CodePage(int number);
    // Appends the bytes for c, decomposing it where needed; false when some
    // part of it has no byte.
    bool appendBytes(char32_t c, QByteArray *out, bool *exact) const;
    // Index of the first character without a byte of its own, or -1.
    qsizetype firstUnstorableExactly(QStringView text) const;

    int m_number;
    QString m_problem;
    std::array<char16_t, 256> m_decoded{};
    // The byte for each UTF-16 unit, or -1.
    std::unique_ptr<std::array<qint16, 0x10000>> m_byteFor;
};

// The code page a Windows system of this locale's language uses, for a locale
// name such as "ru_RU.UTF-8", "sr_RS@latin" or "C": 1252 for languages
// without a code page of their own.
int codePageForLocale(QStringView locale);

// The locale the program runs in: the first of LC_ALL, LC_CTYPE and LANG that
// is set and not empty; empty when none is.
QString localeFromEnvironment();

// The system's 8-bit code page: on Windows its ANSI code page where news files
// can be in it, elsewhere the one of the locale the program runs in.
int systemCodePage();
