#include "files.h"
#include "newsfile.h"
#include "qtside.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <thread>

#include <sys/stat.h>

namespace {
const CodePage &k1252 = CodePage::get(1252);
}

class TestNewsFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    QString load(const QByteArray &bytes)
    {
        writeBytes(path("in.txt"), bytes);
        QString text;
        const NewsRead r =
            ReadNewsFile(path("in.txt"), k1252, [&text](const QString &slice) { text += slice; });
        if (!r)
            return "<failed: " + qtstd::string(r.result.error) + ">";
        if (decoded(k1252, r.bytes) != text)
            return "<file bytes are not the text>";
        return text;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("two CR LF lines") << QByteArray("one\r\ntwo\r\n") << "one\r\ntwo\r\n";
        QTest::newRow("last line unended") << QByteArray("one\r\ntwo") << "one\r\ntwo\r\n";
        QTest::newRow("LF only") << QByteArray("a\nb\n") << "a\r\nb\r\n";
        QTest::newRow("CR only") << QByteArray("a\rb") << "a\r\nb\r\n";
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << "a\r\nb\r\nc\r\nd\r\n";
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << "a\r\n\r\nb\r\n";
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << "\r\n\r\n";
        QTest::newRow("one lone CR at end") << QByteArray("a\r") << "a\r\n";
        QTest::newRow("only a line end") << QByteArray("\n") << "\r\n";
        QTest::newRow("byte-order mark is text")
            << QByteArray("\xEF\xBB\xBFx") << QString::fromUtf16(u"\u00EF\u00BB\u00BFx\r\n");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b\r\n", 5);
    }
    void lineEnds()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QCOMPARE(load(file), text);
    }

    void everyByteRoundTrips()
    {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b) {
            if (b != '\r' && b != '\n')
                bytes.append(char(b));
        }
        bytes.append("\r\n");
        const QString text = load(bytes);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xA0 - 2), QChar(0x00A0)); // a non-breaking space, not a space
        QCOMPARE(text.at(0x80 - 2), QChar(0x20AC));
        for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(text.at(b - 2).unicode(), char16_t(b));
        QVERIFY(WriteNewsFile(path("out.txt"), text, k1252));
        QCOMPARE(readBytes(path("out.txt")), bytes);
    }

    // Only a regular file that fits is read; anything else fails at once,
    // without waiting for a writer or reading without end.
    void readFailures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << path("missing.txt") << "No such file or directory";
        QTest::newRow("a folder") << dir.path() << "folder";
        QTest::newRow("a FIFO") << path("fifo") << "not a regular file";
        QTest::newRow("a link to /dev/zero") << path("zero") << "not a regular file";
        QTest::newRow("larger than memory") << path("sparse") << "too large";
    }
    void readFailures()
    {
        QFETCH(QString, file);
        QFETCH(QString, error);
        QVERIFY(QFile::exists(path("fifo")) || mkfifo(QFile::encodeName(path("fifo")), 0600) == 0);
        QFile::link("/dev/zero", path("zero"));
        QFile sparse(path("sparse"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(1) << 40));
        sparse.close();
        int slices = 0;
        const NewsRead r = ReadNewsFile(file, k1252, [&slices](const QString &) { ++slices; });
        QVERIFY(!r);
        QVERIFY2(qtstd::string(r.result.error).contains(error),
                 qPrintable(qtstd::string(r.result.error)));
        QCOMPARE(slices, 0);
        QVERIFY(r.bytes.empty());
    }

    void writeIsExactWithNothingAdded()
    {
        const QString text = QString::fromUtf16(u"caf\u00E9\r\nno end");
        QVERIFY(WriteNewsFile(path("w.txt"), text, k1252));
        QCOMPARE(readBytes(path("w.txt")), QByteArray("caf\xE9\r\nno end"));
        QVERIFY(WriteNewsFile(path("w.txt"), QString(), k1252));
        QCOMPARE(readBytes(path("w.txt")), QByteArray());
    }

    void loadThenSaveKeepsTheBytes()
    {
        const QByteArray file("Head\xA0line \x80\r\n\r\n\xFF\xFE end\r\n");
        const QString text = load(file);
        QVERIFY(WriteNewsFile(path("again.txt"), text, k1252));
        QCOMPARE(readBytes(path("again.txt")), file);
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a folder") << QString("<dir>");
        QTest::newRow("missing parent folder") << QString("<dir>/no/such/folder/x.txt");
        QTest::newRow("a full device") << QString("/dev/full");
    }
    void writeFailures()
    {
        QFETCH(QString, target);
        target.replace("<dir>", dir.path());
        const FileResult r = WriteNewsFile(target, "some news\r\n", k1252);
        QVERIFY(!r);
        QVERIFY2(!qtstd::string(r.error).isEmpty(), "a failure says why");
        QVERIFY2(r.kind != FileResult::Kind::Incomplete && r.kind != FileResult::Kind::SentInPart,
                 "nothing went in, so nothing is left half written");
        if (target == "/dev/full") {
            struct stat st {};
            QCOMPARE(::stat("/dev/full", &st), 0);
            QVERIFY2(S_ISCHR(st.st_mode), "the device was replaced by a file");
        }
    }

    // A pipe whose reader goes away after a few bytes: the save fails and
    // says so; the program goes on.
    void pipeClosedByItsReader()
    {
        const QString fifo = path("closing.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        std::thread reader([&fifo] {
            QFile f(fifo);
            if (f.open(QIODevice::ReadOnly))
                f.read(10);
        });
        // Open for writing only once the reader is there.
        QTest::qWait(100);
        const FileResult r = WriteNewsFile(fifo, QString(200000, u'x'), k1252);
        reader.join();
        QVERIFY(!r);
        QVERIFY2(qtstd::string(r.error).contains(QString::fromLocal8Bit(std::strerror(EPIPE))),
                 qPrintable(qtstd::string(r.error)));
        QCOMPARE(r.kind, FileResult::Kind::SentInPart);
        QFile::remove(fifo);
    }

    // Writing to a pipe changes its times, not what it is: no change; another
    // pipe in its place is one.
    void pipeWrittenIsNoChange()
    {
        const QString fifo = path("written.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const FileState before = FileState::look(qtstd::path(fifo));
        QTest::qWait(20);
        std::thread reader([&fifo] {
            QFile f(fifo);
            if (f.open(QIODevice::ReadOnly))
                f.readAll();
        });
        QTest::qWait(100);
        QVERIFY(WriteNewsFile(fifo, "news", k1252));
        reader.join();
        QVERIFY(!FileState::look(qtstd::path(fifo)).sameIdentityAndTimes(before));
        QCOMPARE(changeSince(before, qtstd::path(fifo)).change, DiskChange::None);
        const QString other = path("other.fifo");
        QCOMPARE(mkfifo(QFile::encodeName(other).constData(), 0600), 0);
        QCOMPARE(
            ::rename(QFile::encodeName(other).constData(), QFile::encodeName(fifo).constData()), 0);
        QCOMPARE(changeSince(before, qtstd::path(fifo)).change, DiskChange::Changed);
        QFile::remove(fifo);
    }

    void unstorableCharacterLeavesTheFileAlone()
    {
        writeBytes(path("keep.txt"), "earlier\r\n");
        const QString text = QString::fromUtf16(u"one\r\ntwo\r\nthe mark \u2713 here\r\n");
        const FileResult r = WriteNewsFile(path("keep.txt"), text, k1252);
        QVERIFY(!r);
        QCOMPARE(qtstd::string(r.error),
                 QString::fromUtf16(u"Line 3, column 10: \"\u2713\" (U+2713) cannot be stored in "
                                    u"Windows-1252."));
        QCOMPARE(readBytes(path("keep.txt")), QByteArray("earlier\r\n"));

        // A character outside the basic plane counts as one column.
        const QString emoji = QString::fromUtf16(u"\U0001F600x\U0001F600");
        const FileResult e = WriteNewsFile(path("e.txt"), emoji, k1252);
        QCOMPARE(
            qtstd::string(e.error),
            QString::fromUtf16(u"2 characters cannot be stored in Windows-1252: \"\U0001F600\" "
                               u"(U+1F600) at line 1, column 1; \"\U0001F600\" (U+1F600) at "
                               u"line 1, column 3."));
        QVERIFY(!QFileInfo::exists(path("e.txt")));
        const FileResult second = WriteNewsFile(path("e.txt"), "\xC3\xA9" + emoji.mid(2), k1252);
        QVERIFY(qtstd::string(second.error).startsWith("Line 1, column 3: "));
        // Past the first slice of a long text: its own line and column.
        const QString longText =
            QString("abcdefg\r\n").repeated(150000) + QString::fromUtf16(u"xy\u2713");
        QVERIFY(qtstd::string(WriteNewsFile(path("e.txt"), longText, k1252).error)
                    .startsWith("Line 150001, column 3: "));
        // U+0080 is no byte's character: byte 0x80 is the euro sign.
        QVERIFY(qtstd::string(WriteNewsFile(path("e.txt"), QString(QChar(0x80)), k1252).error)
                    .contains("(U+0080)"));
        QVERIFY(qtstd::string(
                    WriteNewsFile(path("e.txt"), QString::fromUtf16(u"e\u0301\u0301"), k1252).error)
                    .contains("combining mark (U+0301)"));
    }

    void saveKeepsPermissionsAndLinks()
    {
        const QString real = path("real.txt");
        writeBytes(real, "old");
        QCOMPARE(::chmod(real.toLocal8Bit().constData(), 0640), 0);
        const QString link = path("link.txt");
        QVERIFY(QFile::link(real, link));
        QVERIFY(WriteNewsFile(link, "new", k1252));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(real), QByteArray("new"));
        struct stat st {};
        QCOMPARE(::stat(real.toLocal8Bit().constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
    }

    // A file the save makes gets the mode every new file gets: 0666 less the umask.
    void aNewFileGetsTheUsualMode()
    {
        const mode_t mask = ::umask(022);
        ::umask(mask);
        QVERIFY(WriteNewsFile(path("made.txt"), "new", k1252));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path("made.txt")).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0666 & ~mask));
    }

    // What another program did to a file since it was read, as the next
    // save and the window's activation see it.
    void changeSinceRead_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("change");
        const int none = int(DiskChange::None), changed = int(DiskChange::Changed),
                  deleted = int(DiskChange::Deleted);
        QTest::newRow("nothing") << "nothing" << none;
        QTest::newRow("touched: time only") << "touch" << none;
        QTest::newRow("same bytes, another file") << "same bytes replaced" << none;
        QTest::newRow("other bytes, same size, old time put back") << "other bytes" << changed;
        QTest::newRow("one byte more") << "longer" << changed;
        QTest::newRow("deleted") << "deleted" << deleted;
        QTest::newRow("a folder now") << "folder" << changed;
        QTest::newRow("absent, still absent") << "absent" << none;
        QTest::newRow("absent, then created") << "created" << changed;
    }
    void changeSinceRead()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, change);
        const QString file = path("state.txt");
        QFile::remove(file);
        QDir(path("")).rmdir("state.txt");
        FileState read = FileState::absent();
        if (meanwhile != "absent" && meanwhile != "created") {
            writeBytes(file, "news\r\n");
            const NewsRead loaded = ReadNewsFile(
                file, k1252, [](const QString &) {}, {}, -1);
            QVERIFY(loaded);
            read = loaded.state;
        }
        const QDateTime before = QFileInfo(file).lastModified();
        if (meanwhile == "touch" || meanwhile == "other bytes") {
            if (meanwhile == "other bytes")
                writeBytes(file, "NEWS\r\n");
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(meanwhile == "touch" ? before.addSecs(60) : before,
                                  QFileDevice::FileModificationTime));
        } else if (meanwhile == "same bytes replaced") {
            writeBytes(path("state.new"), "news\r\n");
            QVERIFY(QFile::remove(file) && QFile::rename(path("state.new"), file));
        } else if (meanwhile == "longer" || meanwhile == "created") {
            writeBytes(file, "news\r\n!");
        } else if (meanwhile == "deleted" || meanwhile == "folder") {
            QVERIFY(QFile::remove(file));
            if (meanwhile == "folder")
                QVERIFY(QDir(path("")).mkdir("state.txt"));
        }
        FileState refreshed = read;
        QCOMPARE(int(changeSince(read, qtstd::path(file), &refreshed).change), change);
        // The same bytes under new times: remembered as the file now is, so
        // the next look reads nothing.
        if (meanwhile == "touch" || meanwhile == "same bytes replaced") {
            QVERIFY(refreshed.sameIdentityAndTimes(FileState::look(qtstd::path(file))));
            QCOMPARE(refreshed.digest, read.digest);
        }
        QDir(path("")).rmdir("state.txt");
    }

    // A file whose bytes fit but whose many lines would not is refused once
    // they are counted, before the text is given anything.
    void manyLinesAreRefused()
    {
        const QByteArray file = QByteArray("\r\n").repeated(10000);
        writeBytes(path("lines.txt"), file);
        // 20 KB of bytes fit in 256 KiB; 10000 line records of over 100 bytes do not.
        for (const auto &[available, ok] :
             {std::pair{256LL << 10, false}, std::pair{64LL << 20, true}}) {
            int slices = 0;
            const NewsRead r = ReadNewsFile(
                path("lines.txt"), k1252, [&slices](const QString &) { ++slices; }, {}, available);
            QCOMPARE(bool(r), ok);
            QCOMPARE(slices > 0, ok);
        }
    }
};

QTEST_GUILESS_MAIN(TestNewsFile)
#include "tst_newsfile.moc"
