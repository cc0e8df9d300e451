#include "textsearch.h"

#include <QTest>

class TestTextSearch : public QObject {
    Q_OBJECT

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<int>("start"); // -1: not found
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("wrapped");
        const QString text = "News of the news: newsroom NEWS.";
        QTest::newRow("any case") << text << "news" << 1 << false << false << false << 12 << 4
                                  << false;
        QTest::newRow("match case")
            << text << "NEWS" << 0 << true << false << false << 27 << 4 << false;
        QTest::newRow("whole words skip newsroom")
            << text << "news" << 13 << false << true << false << 27 << 4 << false;
        QTest::newRow("wrap to the start")
            << text << "news" << 28 << false << false << false << 0 << 4 << true;
        QTest::newRow("backward") << text << "news" << 18 << false << false << true << 12 << 4
                                  << false;
        QTest::newRow("backward wraps to the end")
            << text << "news" << 0 << false << false << true << 27 << 4 << true;
        QTest::newRow("not found")
            << text << "ore" << 0 << false << false << false << -1 << 0 << false;
        QTest::newRow("empty needle")
            << text << "" << 0 << false << false << false << -1 << 0 << false;
        QTest::newRow("no match across a line break")
            << QString::fromUtf16(u"ab\u2029cd") << "bc" << 0 << false << false << false << -1 << 0
            << false;
        // Canonically equal texts match, at the text's own positions.
        QTest::newRow("decomposed text, precomposed needle")
            << QString::fromUtf16(u"xx Vie\u0323\u0302t Nam") << QString::fromUtf16(u"Vi\u1EC7t")
            << 0 << true << true << false << 3 << 6 << false;
        QTest::newRow("precomposed text, decomposed needle")
            << QString::fromUtf16(u"caf\u00E9 cafe") << QString::fromUtf16(u"cafe\u0301") << 0
            << true << false << false << 0 << 4 << false;
        QTest::newRow("backward finds an overlapping match")
            << "aaaa"
            << "aa" << 2 << false << false << true << 0 << 2 << false;
        QTest::newRow("backward wraps over the very end")
            << "the news"
            << "news" << 0 << false << false << true << 4 << 4 << true;
        // A match covers whole characters: the base letter with all its marks.
        QTest::newRow("a match takes every mark of its letter")
            << QString::fromUtf16(u"a\u0301\u0316") << QString::fromUtf16(u"\u00E1") << 0 << true
            << false << false << 0 << 3 << false;
        QTest::newRow("decomposed text searched from its start")
            << QString::fromUtf16(u"e\u0301 e\u0301") << QString::fromUtf16(u"\u00E9") << 0 << true
            << false << false << 0 << 2 << false;
        QTest::newRow("a base letter does not match its accented form")
            << QString::fromUtf16(u"cafe\u0301") << "cafe" << 0 << true << true << false << -1 << 0
            << false;
    }
    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(bool, backward);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, wrapped);
        const TextSearch search(text);
        const TextSearch::Result r = search.find(needle, from, {matchCase, wholeWords}, backward);
        QCOMPARE(r.match.start, qsizetype(start));
        if (start >= 0)
            QCOMPARE(r.match.length, qsizetype(length));
        QCOMPARE(r.wrapped, wrapped);
    }

    void findAll()
    {
        const TextSearch search("aaaa news anews news");
        QCOMPARE(search.findAll(u"aa", {}).size(), 2); // none overlapping
        QCOMPARE(search.findAll(u"news", {false, true}), (QList<TextMatch>{{5, 4}, {16, 4}}));
        QVERIFY(search.isMatch(u"news", {5, 4}, {}));
        QVERIFY(!search.isMatch(u"news", {11, 4}, {false, true}));
        QVERIFY(TextSearch::holdsLineBreak(u"one\ntwo"));
        QVERIFY(TextSearch::holdsLineBreak(QString::fromUtf16(u"one\u2029")));
        QVERIFY(!TextSearch::holdsLineBreak(QString::fromUtf16(u"one\u00A0two")));
    }
};

QTEST_APPLESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
