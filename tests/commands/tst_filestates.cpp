#include "qteditor.h"
#include "syscallfaults.h"

#include <QDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {
// What the file holds; "other" is another program's text of the same size.
const QByteArray kOld = "old news\r\n";
const QByteArray kOther = "new text\r\n";
const QByteArray kAgain = "third go\r\n";
const QByteArray kMore = "more\r\n";
const QString kBig = QString(5000, u'x');

QByteArray bytesOf(const QString &symbol)
{
    static const QHash<QString, QByteArray> kBytes = {
        {"old", kOld},
        {"old lf", "old news\n"},
        {"old!", kOld + "!"},
        {"old\x80", kOld + "\x80"}, // U+0080, which Windows-1252 cannot store
        {"other!", kOther + "!"},
        {"old+big", kOld + kBig.toLatin1()},
        {"other", kOther},
        {"again", kAgain},
        {"grown", kOld + kMore},
        {"cut", "old"},
        {"error", "Error while opening file"},
        {"error!", "Error while opening file!"},
        {"!", "!"},
        {"", ""},
    };
    Q_ASSERT(kBytes.contains(symbol));
    return kBytes.value(symbol);
}

void setTimes(const QString &path, const struct timespec &modified)
{
    const struct timespec times[2] = {{0, UTIME_NOW}, modified};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

struct timespec modifiedTime(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mtim;
}
} // namespace

// Every state the file can be in, against every command that touches it,
// with a real folder: what the writer sees and what the disk holds.
class TestFileStates : public QObject {
    Q_OBJECT

private slots:
    void commandMeetsFile_data()
    {
        QTest::addColumn<QString>("kind");     // what news.txt is at first
        QTest::addColumn<QString>("steps");    // commands, and "m:" what others do meanwhile
        QTest::addColumn<QString>("answers");  // to the questions about the file
        QTest::addColumn<QStringList>("seen"); // questions, reports, failures
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("disk"); // on every name of news.txt
        const QStringList none;
        const QString saveOver = "save over: news.txt";
        const QString reload = "reload: news.txt";
        // One row a line, columns in the order above.
        // clang-format off
        // Loads: a file read completely, or the error line and nothing else.
        QTest::newRow("quickload regular") << "regular" << "quickload" << "" << none << "old" << false << "old";
        QTest::newRow("quickload missing") << "missing" << "quickload" << "" << none << "error" << false << "";
        QTest::newRow("load a folder") << "folder" << "load" << "" << none << "error" << false << "";
        QTest::newRow("open a FIFO") << "fifo" << "open" << "" << none << "error" << false << "";
        QTest::newRow("quickload unreadable") << "unreadable" << "quickload" << "" << none << "error" << false << "old";
        QTest::newRow("open two names") << "links" << "open" << "" << none << "old" << false << "old";
        QTest::newRow("open a link") << "link" << "open" << "" << none << "old" << false << "old";
        QTest::newRow("quickload grows while read") << "growing" << "quickload" << "" << none << "grown" << false << "grown";
        QTest::newRow("open a dangling link, save") << "dangling" << "open,type!,quicksave" << "" << none << "!" << false << "!";
        // Back at the window: clean text follows the file; what cannot be
        // read is told once and changes nothing.
        QTest::newRow("touched") << "regular" << "quickload,m:touch,activate" << "" << none << "old" << false << "old";
        QTest::newRow("LF file touched") << "lf" << "quickload,type!,m:touch,activate,quicksave" << "" << none << "old!" << false << "old!";
        QTest::newRow("changed in place") << "regular" << "quickload,m:inplace,activate" << "" << none << "other" << false << "other";
        QTest::newRow("replaced by rename") << "regular" << "quickload,m:renamed,activate" << "" << none << "other" << false << "other";
        QTest::newRow("old times put back") << "regular" << "quickload,m:oldtimes,activate" << "" << none << "other" << false << "other";
        QTest::newRow("grown") << "regular" << "quickload,m:grown,activate" << "" << none << "grown" << false << "grown";
        QTest::newRow("deleted") << "regular" << "quickload,m:deleted,activate,activate" << "" << QStringList{"deleted: news.txt"} << "old" << false << "";
        QTest::newRow("now a folder") << "regular" << "quickload,m:folder,activate,activate" << "" << QStringList{"not reloaded: news.txt is now a folder."} << "old" << false << "";
        QTest::newRow("now a FIFO") << "regular" << "quickload,type!,m:fifo,activate" << "" << QStringList{"not reloaded: news.txt is now a pipe or a device, not a file."} << "old!" << true << "";
        QTest::newRow("now unreadable") << "regular" << "quickload,m:inplace,m:unreadable,activate" << "" << QStringList{"not reloaded: news.txt cannot be read: Permission denied"} << "old" << false << "other";
        QTest::newRow("unsaved, Reload") << "regular" << "quickload,type!,m:inplace,activate" << "yes" << QStringList{reload} << "other" << false << "other";
        QTest::newRow("unsaved, kept, told once") << "regular" << "quickload,type!,m:inplace,activate,activate" << "cancel" << QStringList{reload} << "old!" << true << "other";
        QTest::newRow("a second change is told") << "regular" << "quickload,type!,m:inplace,activate,m:again,activate" << "cancel,cancel" << QStringList{reload, reload} << "old!" << true << "again";
        // Saves: the program's own writes ask nothing; another's change is
        // never written over unasked.
        QTest::newRow("quicksave") << "regular" << "quickload,type!,quicksave,quicksave" << "" << none << "old!" << false << "old!";
        QTest::newRow("quicksave touched") << "regular" << "quickload,m:touch,type!,quicksave" << "" << none << "old!" << false << "old!";
        QTest::newRow("quicksave changed, Cancel") << "regular" << "quickload,m:inplace,type!,quicksave,activate" << "cancel" << QStringList{saveOver} << "old!" << true << "other";
        QTest::newRow("quicksave changed, Save over") << "regular" << "quickload,m:inplace,type!,quicksave,quicksave" << "yes" << QStringList{saveOver} << "old!" << false << "old!";
        QTest::newRow("quicksave old times put back") << "regular" << "quickload,m:oldtimes,type!,quicksave" << "cancel" << QStringList{saveOver} << "old!" << true << "other";
        QTest::newRow("quicksave deleted") << "regular" << "quickload,m:deleted,type!,quicksave" << "" << none << "old!" << false << "old!";
        QTest::newRow("quicksave created meanwhile") << "missing" << "open,m:created,type!,quicksave" << "cancel" << QStringList{"save over created: news.txt"} << "!" << true << "other";
        QTest::newRow("quicksave a folder") << "folder" << "open,type!,quicksave" << "" << QStringList{"failed: It is a folder, not a file."} << "error!" << true << "";
        QTest::newRow("quicksave unread") << "unreadable" << "open,type!,quicksave" << "cancel" << QStringList{"save over unread: news.txt"} << "error!" << true << "old";
        QTest::newRow("quicksave now a link") << "regular" << "quickload,m:linked,type!,quicksave" << "cancel" << QStringList{"save over link: news.txt -> elsewhere/secret.txt"} << "old!" << true << "other";
        QTest::newRow("save as onto it, changed") << "regular" << "quickload,m:inplace,type!,saveas" << "cancel" << QStringList{saveOver} << "old!" << true << "other";
        QTest::newRow("exit Yes, changed") << "regular" << "quickload,m:inplace,type!,exit-yes" << "cancel" << QStringList{"prompt", saveOver} << "old!" << true << "other";
        // Text whose file was deleted or cannot be read any more is in no
        // file: it is offered for saving before it goes.
        QTest::newRow("deleted, then Exit asks") << "regular" << "quickload,m:deleted,activate,exit-yes" << "" << QStringList{"prompt", "deleted: news.txt"} << "old" << false << "old";
        QTest::newRow("now a folder, then Exit asks") << "regular" << "quickload,m:folder,activate,exit-yes" << "" << QStringList{"prompt", "not reloaded: news.txt is now a folder.", "failed: It is a folder, not a file."} << "old" << false << "";
        QTest::newRow("deleted unseen, Exit asks") << "regular" << "quickload,m:deleted,exit-yes" << "" << QStringList{"prompt"} << "old" << false << "old";
        QTest::newRow("now a folder unseen, Quickload asks") << "regular" << "quickload,m:folder,quickload-yes" << "" << QStringList{"prompt", "failed: It is a folder, not a file."} << "old" << false << "";
        QTest::newRow("open missing, Exit ends") << "missing" << "open,exit-yes" << "" << none << "" << false << "";
        QTest::newRow("a link led elsewhere") << "link" << "open,type!,m:relinked,quicksave" << "cancel" << QStringList{"save over link: news.txt -> elsewhere/secret.txt"} << "old!" << true << "other";
        // A link put in the file's place while the writer was elsewhere:
        // asked about before anything is read from it, whatever it leads to;
        // each save asks until the writer agrees to where it leads.
        const QString toSecret = "news.txt -> elsewhere/secret.txt";
        QTest::newRow("linked unseen, clean") << "regular" << "quickload,m:linked,activate,activate,quicksave" << "cancel,cancel" << QStringList{"reload from link: " + toSecret, "save over link: " + toSecret} << "old" << false << "other";
        QTest::newRow("linked to the same bytes") << "regular" << "quickload,m:linkedsame,activate" << "" << QStringList{"reload from link: news.txt -> elsewhere/same.txt"} << "old" << false << "old";
        QTest::newRow("linked, reloaded from it, saved") << "regular" << "quickload,m:linkedagreed,activate,type!,quicksave" << "yes" << QStringList{"reload from link: news.txt -> elsewhere/agreed.txt"} << "other!" << false << "other!";
        QTest::newRow("linked, unsaved kept, Exit Yes") << "regular" << "quickload,type!,m:linked,activate,exit-yes" << "" << QStringList{"prompt", "reload unsaved from link: " + toSecret, "save over link: " + toSecret} << "old!" << true << "other";
        QTest::newRow("linked nowhere") << "regular" << "quickload,m:dangling,activate" << "" << QStringList{"reload from link: news.txt -> elsewhere/none.txt"} << "old" << false << "";
        QTest::newRow("linked to a folder") << "regular" << "quickload,m:linkedfolder,activate" << "" << QStringList{"reload from link: news.txt -> sub"} << "old" << false << "";
        // A failed save is told once, not again at the next activation; a
        // file that cannot be read is not said to be changed.
        QTest::newRow("refused, a change meanwhile left for the next save") << "regular" << "quickload,m:inplace,type\x80,quicksave,activate" << "" << QStringList{"failed: Line 2, column 1: \"\u0080\" (U+0080) cannot be stored in Windows-1252."} << "old\x80" << true << "other";
        QTest::newRow("save fails on a folder, told once") << "regular" << "quickload,type!,m:folder,quicksave,activate" << "" << QStringList{"failed: It is a folder, not a file."} << "old!" << true << "";
        QTest::newRow("quicksave, its bytes cannot be read") << "regular" << "quickload,m:touch,m:readfails,type!,quicksave" << "cancel" << QStringList{"save over unreadable: news.txt: Input/output error"} << "old!" << true << "old";
        QTest::newRow("quicksave unreadable now") << "regular" << "quickload,m:chmod,type!,quicksave" << "cancel" << QStringList{"save over unreadable: news.txt: Permission denied"} << "old!" << true << "old";
        QTest::newRow("unreadable now, then Exit asks") << "regular" << "quickload,m:chmod,activate,exit-yes" << "yes,yes" << QStringList{"prompt", "not reloaded: news.txt cannot be read: Permission denied", "save over unreadable: news.txt: Permission denied"} << "old" << false << "old";
        QTest::newRow("a device written twice") << "device" << "open,type!,quicksave,activate,quicksave" << "yes" << QStringList{"save over unread: /dev/null"} << "error!" << false << "";
        QTest::newRow("two names, shorter") << "links" << "open,cut,quicksave" << "" << none << "cut" << false << "cut";
        QTest::newRow("mode and group kept") << "mode" << "quickload,type!,quicksave,mode" << "" << none << "old!" << false << "old!";
        // A full disk: the file keeps its old bytes on every name, and the
        // next save with room asks nothing.
        QTest::newRow("two names, full disk")
            << "links" << "open,big,times,m:full,quicksave,disk:old,times=,m:room,quicksave" << ""
            << QStringList{"failed: No space left on device"} << "old+big" << false << "old+big";
        QTest::newRow("full disk")
            << "regular" << "quickload,big,m:full,quicksave,disk:old,m:room,activate,quicksave" << ""
            << QStringList{"failed: No space left on device"} << "old+big" << false << "old+big";
        // A disk that fails while the new text goes in and while the old one
        // is put back: the writer is told, and that save is no other
        // program's change.
        QTest::newRow("two names, put back fails")
            << "links" << "open,big,m:dying,quicksave,m:healed,activate,quicksave" << ""
            << QStringList{"failed: Input/output error", "incomplete"} << "old+big" << false << "old+big";
        // A file-size limit (ulimit -f) fails the save; it does not end the program.
        QTest::newRow("file-size limit")
            << "regular" << "quickload,big,m:fsize,quicksave,disk:old,m:nofsize,quicksave" << ""
            << QStringList{"failed: File too large"} << "old+big" << false << "old+big";
        QTest::newRow("two names, file-size limit")
            << "links" << "open,big,m:fsize,quicksave,disk:old,m:nofsize,quicksave" << ""
            << QStringList{"failed: File too large"} << "old+big" << false << "old+big";
        QTest::newRow("full disk at the prompt of Quickload")
            << "regular" << "quickload,big,m:full,quickload-yes,disk:old" << ""
            << QStringList{"prompt", "failed: No space left on device"} << "old+big" << true << "old";
        // clang-format on
    }

    void commandMeetsFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, steps);
        QFETCH(QString, answers);
        QFETCH(QStringList, seen);
        QFETCH(QString, text);
        QFETCH(bool, marked);
        QFETCH(QString, disk);

        Editor e;
        SyscallFaults faults;
        const QString news = kind == "device" ? QStringLiteral("/dev/null") : e.path("news.txt");
        const QByteArray newsName = QFile::encodeName(news);
        QVERIFY(QDir(e.dir.path()).mkpath("sub") && QDir(e.dir.path()).mkpath("elsewhere"));
        writeBytes(e.path("elsewhere/secret.txt"), kOther);
        if (kind == "folder") {
            QVERIFY(QDir(e.dir.path()).mkdir("news.txt"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(newsName.constData(), 0600), 0);
        } else if (kind == "link" || kind == "dangling") {
            if (kind == "link")
                writeBytes(e.path("sub/real.txt"), kOld);
            QVERIFY(QFile::link("sub/real.txt", news));
        } else if (kind != "missing" && kind != "device") {
            writeBytes(news, kind == "lf" ? QByteArray("old news\n") : kOld);
        }
        if (kind == "links")
            QCOMPARE(::link(newsName.constData(), QFile::encodeName(e.path("second.txt"))), 0);
        if (kind == "unreadable")
            faults.unreadable = newsName;
        if (kind == "mode") {
            QCOMPARE(::chmod(newsName.constData(), 0664), 0);
            QCOMPARE(::chown(newsName.constData(), ::geteuid(), 65534), 0);
        }
        if (kind == "growing") {
            faults.onFstat = [&news, &faults] {
                faults.onFstat = nullptr;
                QFile f(news);
                if (f.open(QIODevice::Append))
                    f.write(kMore);
            };
        }
        for (const QString &answer : answers.split(',', Qt::SkipEmptyParts))
            e.services.diskAnswers.append(answer == "yes" ? kYes : kCancel);

        const auto other = [&](const QString &what) {
            const struct timespec before = modifiedTime(news);
            if (what == "touch") {
                setTimes(news, {before.tv_sec + 60, before.tv_nsec});
            } else if (what == "inplace" || what == "again" || what == "oldtimes" ||
                       what == "created") {
                QFile f(news);
                QVERIFY(f.open(QIODevice::ReadWrite));
                f.write(what == "again" ? kAgain : kOther);
                f.close();
                if (what == "oldtimes")
                    setTimes(news, before);
                else if (what != "created")
                    setTimes(news, {before.tv_sec + 60, before.tv_nsec});
            } else if (what == "renamed") {
                writeBytes(e.path("renamed.tmp"), kOther);
                QVERIFY(QFile::rename(e.path("renamed.tmp"), news) ||
                        (QFile::remove(news) && QFile::rename(e.path("renamed.tmp"), news)));
            } else if (what == "grown") {
                QFile f(news);
                QVERIFY(f.open(QIODevice::Append));
                f.write(kMore);
            } else if (what == "deleted" || what == "folder" || what == "fifo" ||
                       what == "linked") {
                QVERIFY(QFile::remove(news));
                if (what == "folder")
                    QVERIFY(QDir(e.dir.path()).mkdir("news.txt"));
                if (what == "fifo")
                    QCOMPARE(::mkfifo(newsName.constData(), 0600), 0);
                if (what == "linked")
                    QVERIFY(QFile::link(e.path("elsewhere/secret.txt"), news));
            } else if (what == "linkedsame" || what == "linkedagreed" || what == "dangling" ||
                       what == "linkedfolder") {
                const char *const target = what == "linkedsame"     ? "elsewhere/same.txt"
                                           : what == "linkedagreed" ? "elsewhere/agreed.txt"
                                           : what == "dangling"     ? "elsewhere/none.txt"
                                                                    : "sub";
                if (what == "linkedsame" || what == "linkedagreed")
                    writeBytes(e.path(target), what == "linkedsame" ? kOld : kOther);
                QVERIFY(QFile::remove(news) && QFile::link(e.path(target), news));
            } else if (what == "readfails") {
                faults.failingReads = newsName;
            } else if (what == "chmod") {
                // As for a writer who is not root: the file's bytes are as
                // they were, but it can no longer be opened.
                QCOMPARE(::chmod(newsName.constData(), 0), 0);
                faults.unreadable = newsName;
            } else if (what == "relinked") {
                QVERIFY(QFile::remove(news) && QFile::link("elsewhere/secret.txt", news));
            } else if (what == "unreadable") {
                faults.unreadable = newsName;
            } else if (what == "fsize" || what == "nofsize") {
                struct rlimit limit {};
                QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
                limit.rlim_cur = what == "fsize" ? 1000 : limit.rlim_max;
                QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            } else if (what == "full") {
                faults.spaceLeft = 0;
            } else if (what == "room") {
                faults.spaceLeft = -1;
            } else if (what == "dying") {
                faults.bytesUntilDead = 100;
            } else if (what == "healed") {
                faults.bytesUntilDead = -1;
            } else {
                QFAIL(qPrintable("no such change: " + what));
            }
        };

        struct timespec times {};
        for (const QString &step : steps.split(',')) {
            if (step.startsWith("m:")) {
                other(step.mid(2));
                if (QTest::currentTestFailed())
                    return;
            } else if (step.startsWith("disk:")) {
                QCOMPARE(readBytes(news), bytesOf(step.mid(5)));
            } else if (step == "times") {
                times = modifiedTime(news);
            } else if (step == "times=") {
                const struct timespec now = modifiedTime(news);
                QVERIFY2(now.tv_sec == times.tv_sec && now.tv_nsec == times.tv_nsec,
                         "the file was not touched");
            } else if (step == "quickload") {
                e.commands.Quickload();
            } else if (step == "quickload-yes") {
                e.services.answers = {kYes};
                e.commands.Quickload();
            } else if (step == "load") {
                e.dialog.choices = {news};
                e.commands.Load();
            } else if (step == "open") {
                e.commands.OpenFile(qtstd::path(news));
            } else if (step == "activate") {
                e.commands.checkFileOnDisk();
            } else if (step == "quicksave") {
                e.commands.Quicksave();
            } else if (step == "saveas") {
                e.dialog.choices = {news};
                e.commands.SaveAs();
            } else if (step == "exit-yes") {
                e.services.answers = {kYes};
                e.commands.Exit();
                // The program ends once the text is in the file, or there is none.
                const bool kept = readBytes(news) == bytesOf(text) || e.text().isEmpty();
                QCOMPARE(e.services.ended, kept ? 1 : 0);
            } else if (step == "type!") {
                e.type("!");
            } else if (step == "type\x80") {
                e.type(QString(QChar(0x80)));
            } else if (step == "big") {
                e.type(kBig);
            } else if (step == "cut") {
                e.d.host.setText("old");
            } else if (step == "mode") {
                struct stat st {};
                QCOMPARE(::stat(newsName.constData(), &st), 0);
                QCOMPARE(st.st_mode & 07777, mode_t(0664));
                QCOMPARE(st.st_gid, gid_t(65534));
            } else {
                QFAIL(qPrintable("no such step: " + step));
            }
        }

        QStringList told(e.services.asked.size(), QStringLiteral("prompt"));
        const QString prefix = e.dir.path() + '/';
        for (QString question : e.services.diskQuestions)
            told.append(question.replace(prefix, QString()));
        for (const QString &failure : e.services.failures) {
            told.append("failed: " + failure.section(": ", 1).section('\n', 0, 0));
            if (failure.contains("incomplete save"))
                told.append("incomplete");
        }
        QCOMPARE(told, seen);
        QVERIFY(!e.services.spokeOverWork);
        QCOMPARE(e.text(), QString::fromLatin1(bytesOf(text)));
        QCOMPARE(e.title(), PlainHost::kTitle + (marked ? "*" : ""));
        const QFileInfo file(news);
        if (file.isFile()) {
            QCOMPARE(readBytes(news), bytesOf(disk));
        } else {
            QVERIFY2(disk.isEmpty(), "news.txt is no file");
        }
        if (kind == "links")
            QCOMPARE(readBytes(e.path("second.txt")), bytesOf(disk));
        if (kind == "link")
            QVERIFY(file.isSymLink());
        QCOMPARE(readBytes(e.path("elsewhere/secret.txt")), kOther);
        // Nothing is left beside the file.
        QStringList expected = {"elsewhere", "news.txt", "sub"};
        if (kind == "links")
            expected.append("second.txt");
        if (kind == "device" || (!file.exists() && !file.isSymLink()))
            expected.removeOne("news.txt");
        expected.sort();
        QCOMPARE(
            QDir(e.dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                           QDir::Name),
            expected);
    }

    // A link put in the file's place while a reload reads it: nothing is
    // reloaded or said until the writer was asked about the link.
    void linkPutInPlaceDuringAReload()
    {
        Editor e;
        SyscallFaults faults;
        const QString news = e.path("news.txt"), secret = e.path("secret.txt");
        e.loadQuickFile(kOld);
        writeBytes(news, kOld + kMore);
        writeBytes(secret, kOther);
        faults.onFstat = [&] {
            const QString name = news, target = secret; // the closure goes next
            faults.onFstat = nullptr;
            QVERIFY(QFile::remove(name) && QFile::link(target, name));
        };
        e.commands.checkFileOnDisk();
        QCOMPARE(e.text(), QString::fromLatin1(kOld));
        QCOMPARE(e.services.notices, QStringList());
        e.commands.checkFileOnDisk();
        QCOMPARE(e.services.diskQuestions,
                 QStringList{"reload from link: " + news + " -> " + secret});
    }
};

QTEST_GUILESS_MAIN(TestFileStates)
#include "tst_filestates.moc"
