#include "files.h"
#include "spelling.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A tiny dictionary made here, so that no installed language is needed.
inline void makeDictionary(const QString &folder, const QString &name, const QByteArray &words)
{
    QDir().mkpath(folder);
    writeBytes(folder + "/" + name + ".aff", "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
    writeBytes(folder + "/" + name + ".dic", QByteArray::number(words.count('\n')) + "\n" + words);
}

class TestSpelling : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void words_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "the relay station" << QStringList{"the", "relay", "station"};
        QTest::newRow("punctuation") << "(news), \"ore\"!" << QStringList{"news", "ore"};
        QTest::newRow("joined") << "don't co-pilot rock’n’roll"
                                << QStringList{"don't", "co-pilot", "rock’n’roll"};
        QTest::newRow("joiner at an end")
            << "'tis pilots' -dock-" << QStringList{"tis", "pilots", "dock"};
        QTest::newRow("digits, @ and / left alone")
            << "dock 12 B7 ann@orbit.net and/or 4th ok" << QStringList{"dock", "ok"};
        QTest::newRow("marks stay with their letter")
            << QString::fromUtf16(u"Vie\u0323\u0302t Nam")
            << QStringList{QString::fromUtf16(u"Vie\u0323\u0302t"), "Nam"};
        QTest::newRow("tabs and NBSP separate")
            << QString::fromUtf16(u"one\ttwo\u00A0three") << QStringList{"one", "two", "three"};
    }
    void words()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, words);
        QStringList found;
        for (const WordSpan &w : wordsToCheck(line))
            found << line.mid(w.start, w.length);
        QCOMPARE(found, words);
    }

    void checking()
    {
        makeDictionary(dir.filePath("dicts"), "en_US",
                       QString::fromUtf16(u"news\nrelay\nstation\ncaf\u00E9\n").toUtf8());
        const auto checker =
            SpellChecker::forLocale(LocaleName::parse("C"), {dir.filePath("dicts")});
        QVERIFY(checker);
        QVERIFY(checker->isCorrect(u"relay"));
        QVERIFY(!checker->isCorrect(u"rellay"));
        // A compound is right when each part is.
        QVERIFY(checker->isCorrect(u"relay-station"));
        QVERIFY(!checker->isCorrect(u"relay-stattion"));
        // Canonically equal: a decomposed letter is the dictionary's precomposed one.
        QVERIFY(checker->isCorrect(QString::fromUtf16(u"cafe\u0301")));
        QVERIFY(checker->suggestions(u"rellay").contains("relay"));
        QVERIFY(checker->suggestions(u"stattion", 5).size() <= 5);
        const int before = checker->generation();
        checker->ignore(u"rellay");
        QVERIFY(checker->isCorrect(u"rellay"));
        QVERIFY(checker->generation() != before);
    }

    // An ignored word is accepted in every case form; the program's own
    // names are never marked.
    void ignoredForms_data()
    {
        QTest::addColumn<QString>("ignored");
        QTest::addColumn<QStringList>("accepted");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("lower case")
            << "teh" << QStringList{"teh", "Teh", "TEH", "tEh"} << QStringList{"tehh"};
        QTest::newRow("capitalised")
            << "Orbitan" << QStringList{"Orbitan", "orbitan", "ORBITAN"} << QStringList{"Orbita"};
        QTest::newRow("capitals") << "TEH" << QStringList{"TEH", "teh", "Teh"} << QStringList{"eh"};
        QTest::newRow("typed decomposed")
            << QString::fromUtf16(u"zo\u0308rg")
            << QStringList{QString::fromUtf16(u"z\u00F6rg"), QString::fromUtf16(u"Z\u00F6rg")}
            << QStringList{"zorg"};
        QTest::newRow("possessive")
            << "Kessa" << QStringList{"Kessa's", QString::fromUtf16(u"KESSA\u2019S")}
            << QStringList{"Kessas", "Kessa's'"};
    }
    void ignoredForms()
    {
        QFETCH(QString, ignored);
        QFETCH(QStringList, accepted);
        QFETCH(QStringList, marked);
        makeDictionary(dir.filePath("dicts"), "en_US", "the\nnews\n");
        const auto checker =
            SpellChecker::forLocale(LocaleName::parse("C"), {dir.filePath("dicts")});
        QVERIFY(checker);
        for (const QStringList &words : {accepted, marked}) {
            for (const QString &word : words)
                QVERIFY2(!checker->isCorrect(word), qPrintable(word));
        }
        checker->ignore(ignored);
        for (const QString &word : accepted)
            QVERIFY2(checker->isCorrect(word), qPrintable(word));
        for (const QString &word : marked)
            QVERIFY2(!checker->isCorrect(word), qPrintable(word));
        for (const char *own :
             {"Orbitane", "NOVAGLIDE", "heraldpad", "Orbitane's", "Orbitane-news"})
            QVERIFY2(checker->isCorrect(QString::fromLatin1(own)), own);
    }

    void suggestionsKeepToTheirNumber()
    {
        makeDictionary(dir.filePath("many"), "en_US", "bat\ncat\nhat\nmat\nrat\nsat\nvat\n");
        const auto checker =
            SpellChecker::forLocale(LocaleName::parse("C"), {dir.filePath("many")});
        QVERIFY(checker);
        QVERIFY(checker->suggestions(u"xat", 7).size() > 2);
        QCOMPARE(checker->suggestions(u"xat", 2).size(), 2);
    }

    void dictionaryForTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("correct"); // a word only that dictionary has; "" none
        QTest::newRow("language and territory") << "pt_BR.UTF-8"
                                                << "brasil";
        QTest::newRow("another territory of the language") << "pt_AO.UTF-8"
                                                           << "brasil";
        QTest::newRow("C is English") << "C"
                                      << "english";
        QTest::newRow("POSIX and no locale are English") << "POSIX.UTF-8@x"
                                                         << "english";
        QTest::newRow("codeset and modifier") << "pt_BR.ISO-8859-1@euro"
                                              << "brasil";
        QTest::newRow("empty") << ""
                               << "english";
        QTest::newRow("no dictionary") << "ru_RU.UTF-8"
                                       << "";
    }
    void dictionaryForTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, correct);
        makeDictionary(dir.filePath("langs"), "pt_BR", "brasil\n");
        makeDictionary(dir.filePath("langs"), "en_US", "english\n");
        const auto checker = SpellChecker::forLocale(LocaleName::parse(locale.toStdString()),
                                                     {dir.filePath("langs")});
        QCOMPARE(bool(checker), !correct.isEmpty());
        if (checker)
            QVERIFY(checker->isCorrect(correct));
    }
};

QTEST_APPLESS_MAIN(TestSpelling)
#include "tst_spelling.moc"
