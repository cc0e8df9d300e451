#include "fakes.h"
#include "filecommands.h"
#include "plainhost.h"
#include "progress.h"
#include "standardinput.h"

#include <QBuffer>
#include <QTest>

#include <algorithm>
#include <cstring>

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

    // Standard input as the file engine reads it: its size unknown, every read
    // filled until the input ends. A full slice is no end, a short one is.
    void aPipeIsReadToItsEnd()
    {
        class Pipe : public QIODevice {
        public:
            explicit Pipe(const QByteArray &bytes) : m_bytes(bytes) {}
            bool isSequential() const override { return true; }

        protected:
            qint64 readData(char *data, qint64 most) override
            {
                const qint64 n = std::min<qint64>(most, m_bytes.size() - m_at);
                std::memcpy(data, m_bytes.constData() + m_at, size_t(n));
                m_at += n;
                return n;
            }
            qint64 writeData(const char *, qint64) override { return -1; }

        private:
            QByteArray m_bytes;
            qint64 m_at = 0;
        };
        const QByteArray piped = QByteArray("news\r\n").repeated(500000);
        Pipe in(piped);
        QVERIFY(in.open(QIODevice::ReadOnly));
        PlainDocument d;
        d.document.Reset();
        FakeServices services;
        QString reason;
        QVERIFY(StandardInput::read(in, d.document, services, &reason, -1));
        QCOMPARE(d.host.textValue, QString::fromLatin1(piped));
    }
};

QTEST_GUILESS_MAIN(TestStandardInput)
#include "tst_standardinput.moc"
