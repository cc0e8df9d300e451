#include "fakes.h"
#include "filecommands.h"
#include "plainhost.h"
#include "progress.h"
#include "standardinput.h"

#include <QBuffer>
#include <QTest>

// heraldpad -: the news piped in becomes the text, as a load makes a file's
// bytes the text, but unsaved and without a file.
class TestStandardInput : public QObject {
    Q_OBJECT

private slots:
    void readToItsEnd_data()
    {
        QTest::addColumn<QByteArray>("piped");
        QTest::addColumn<qint64>("available"); // memory, bytes
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unsaved"); // the title's mark
        QTest::newRow("lines of every ending, the last unended")
            << QByteArray("Top\r\nnews\nof\rthe day \xe9") << qint64(-1)
            << QString("Top\r\nnews\r\nof\r\nthe day \u00e9\r\n") << true;
        QTest::newRow("nothing") << QByteArray() << qint64(-1) << QString() << false;
        QTest::newRow("slices of a larger news")
            << QByteArray("news\r\n").repeated(600000) << qint64(-1)
            << QString("news\r\n").repeated(600000) << true;
        QTest::newRow("more than memory holds")
            << QByteArray("news\r\n").repeated(1000) << qint64(2000)
            << FileCommands::loadErrorText() << false;
    }
    void readToItsEnd()
    {
        QFETCH(QByteArray, piped);
        QFETCH(qint64, available);
        QFETCH(QString, text);
        QFETCH(bool, unsaved);
        PlainDocument d;
        d.document.Reset();
        FakeServices services;
        QBuffer in(&piped);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QString reason;
        const bool read = StandardInput::read(in, d.document, services, &reason, available);
        QCOMPARE(read, text != FileCommands::loadErrorText());
        QCOMPARE(reason.isEmpty(), read);
        QCOMPARE(d.host.textValue, text);
        QCOMPARE(d.host.titleValue, PlainHost::kTitle + (unsaved ? "*" : ""));
        QCOMPARE(services.work.last(), QString("end"));
        // Reading, then filling the text: the progress grows to the whole.
        for (qsizetype i = 1; i < services.progress.size(); ++i)
            QVERIFY(services.progress[i] >= services.progress[i - 1]);
        if (read && !piped.isEmpty())
            QCOMPARE(services.progress.last(), 1.0);
        if (piped.size() > kSlice)
            QVERIFY(services.progress.first() < 0.5);
    }
};

QTEST_GUILESS_MAIN(TestStandardInput)
#include "tst_standardinput.moc"
