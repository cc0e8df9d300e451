#include "filecommands.h"
#include "files.h"
#include "progress.h"
#include "qtfakes.h"
#include "qtplainhost.h"
#include "standardinput.h"
#include "syscallfaults.h"

#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <utility>

#include <stdlib.h>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kError = qtstd::string(FileCommands::loadErrorText());
} // namespace

// heraldpad -: the news piped in becomes the text, as a load makes a file's
// bytes the text, but unsaved and without a file; it is read as it comes.
class TestStandardInput : public QObject {
    Q_OBJECT

    struct Reader {
        PlainDocument d;
        FakeServices services;
        StandardInput input;
        explicit Reader(qint64 available = -1) : input(d.document, services, available)
        {
            d.document.Reset();
        }
    };

private slots:
    void readToItsEnd_data()
    {
        QTest::addColumn<QString>("source"); // a file, a pipe or a folder redirected
        QTest::addColumn<QByteArray>("piped");
        QTest::addColumn<qint64>("available"); // memory, bytes
        QTest::addColumn<int>("failingRead");  // the read that fails with EIO, from 1
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unsaved"); // the title's mark
        QTest::addColumn<QString>("problem");
        const QByteArray large = QByteArray("news\r\n").repeated(600000);
        // clang-format off
        QTest::newRow("lines of every ending, the last unended") << "file" << QByteArray("Top\r\nnews\nof\rthe day \xe9") << qint64(-1) << 0 << QString("Top\r\nnews\r\nof\r\nthe day \u00e9\r\n") << true << "";
        QTest::newRow("nothing") << "file" << QByteArray() << qint64(-1) << 0 << QString() << false << "";
        QTest::newRow("a pipe, slices of a larger news") << "pipe" << large << qint64(-1) << 0 << QString::fromLatin1(large) << true << "";
        QTest::newRow("more than memory holds") << "file" << QByteArray("news\r\n").repeated(1000) << qint64(2000) << 0 << kError << false << "The text is too large to be held in memory";
        QTest::newRow("lines that outgrow memory once counted") << "file" << QByteArray("\n").repeated(1000) << qint64(10000) << 0 << kError << false << "The text is too large to be held in memory";
        QTest::newRow("a folder") << "folder" << QByteArray() << qint64(-1) << 0 << kError << false << "Is a directory";
        QTest::newRow("a read error after the news began") << "file" << QByteArray("partial news\r\n") << qint64(-1) << 2 << kError << false << "Input/output error";
        QTest::newRow("closed") << "closed" << QByteArray() << qint64(-1) << 0 << kError << false << "Standard input is closed.";
        QTest::newRow("a terminal hung up") << "terminal" << QByteArray("partial line\nmore") << qint64(-1) << 0 << kError << false << "The terminal was closed before the news ended.";
        // clang-format on
    }
    void readToItsEnd()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, piped);
        QFETCH(qint64, available);
        QFETCH(int, failingRead);
        QFETCH(QString, text);
        QFETCH(bool, unsaved);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        int fd = -1, terminal = -1;
        std::thread writer;
        if (source == "terminal") {
            terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
            fd = ::open(::ptsname(terminal), O_RDONLY | O_NOCTTY);
            QCOMPARE(::write(terminal, piped.constData(), size_t(piped.size())), piped.size());
        } else if (source == "pipe") {
            int ends[2];
            QCOMPARE(::pipe(ends), 0);
            fd = ends[0];
            writer = std::thread([ends, piped] {
                for (qsizetype done = 0; done < piped.size();) {
                    const ssize_t n =
                        ::write(ends[1], piped.constData() + done, size_t(piped.size() - done));
                    if (n <= 0)
                        break;
                    done += n;
                }
                ::close(ends[1]);
            });
        } else if (source != "closed") {
            const QString name = source == "folder" ? dir.path() : dir.filePath("piped");
            if (source == "file")
                writeBytes(name, piped);
            fd = ::open(QFile::encodeName(name).constData(), O_RDONLY);
        }
        QVERIFY(fd >= 0 || source == "closed");
        Reader r(available);
        {
            SyscallFaults faults;
            faults.failAt = failingRead;
            faults.failWith = EIO;
            r.input.begin(fd);
            while (r.input.readMore()) {
                QVERIFY(r.input.reading());
                // The terminal goes away after its first line.
                if (terminal >= 0)
                    ::close(std::exchange(terminal, -1));
            }
        }
        if (writer.joinable())
            writer.join();
        if (fd >= 0)
            ::close(fd);
        QVERIFY(!r.input.reading());
        QCOMPARE(r.d.host.textValue, text);
        QCOMPARE(r.d.host.titleValue, PlainHost::kTitle + (unsaved ? "*" : ""));
        QCOMPARE(qtstd::string(r.input.problem()), problem);
        QCOMPARE(r.services.loadFailures,
                 problem.isEmpty() ? QStringList() : QStringList{"standard input: " + problem});
        if (source != "closed")
            QCOMPARE(r.services.work.last(), QString("end"));
        // While reading, how much came so far, never a share of a whole
        // nobody knows; then the text fills as a share of the known length.
        for (qsizetype i = 1; i < r.services.readSoFar.size(); ++i)
            QVERIFY(r.services.readSoFar[i] > r.services.readSoFar[i - 1]);
        if (problem.isEmpty() && !piped.isEmpty()) {
            QCOMPARE(r.services.readSoFar.last(), piped.size());
            QCOMPARE(r.services.progress.last(), 1.0);
        }
    }

    // A pipe that stays open: what came so far is counted, the text waits
    // for the end; the writer may stop it, and nothing is asked or shown.
    void aStalledPipeWaitsAndStops()
    {
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        QCOMPARE(::write(ends[1], "hi\n", 3), ssize_t(3));
        Reader r;
        r.input.begin(ends[0]);
        QVERIFY(r.input.readMore());
        QVERIFY(r.input.reading());
        QCOMPARE(r.services.readSoFar, QList<qint64>{3});
        QCOMPARE(r.d.host.textValue, QString());
        r.input.stop();
        QVERIFY(!r.input.reading());
        QVERIFY(!r.input.readMore());
        QCOMPARE(r.services.work,
                 QStringList({"waiting: Loading the news from standard input", "end"}));
        QCOMPARE(r.d.host.textValue, QString());
        QCOMPARE(r.d.host.titleValue, PlainHost::kTitle);
        QVERIFY(r.services.asked.isEmpty() && r.services.loadFailures.isEmpty());
        ::close(ends[0]);
        ::close(ends[1]);
    }
};

QTEST_GUILESS_MAIN(TestStandardInput)
#include "tst_standardinput.moc"
