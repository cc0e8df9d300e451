#include "qteditor.h"
#include "syscallfaults.h"

#include <QDir>
#include <QTest>

#include <cstring>

namespace {
const QByteArray kOld = "old news\r\nsecond line\r\n";
const QByteArray kLonger = "The writer's news\r\nsecond line\r\nand a third one\r\n";
const QByteArray kShorter = "NEW\r\n";
const QByteArray kOther = "another program's news\r\n";
const QString kError = qtstd::string(FileCommands::loadErrorText());
// The calls whose failure no save outlives: the new bytes are not all on the disk.
const QList<QByteArray> kNeverOutlived = {"write", "fsync", "ftruncate", "rename"};
constexpr int kPartial = -1; // a write that writes half, then fails with ENOSPC

struct Run {
    int points = 0;
    QStringList failures; // what was not survived
};
} // namespace

// Makes every system call of a load, a reload and a save fail in turn, with
// each error a disk gives, and checks after each that the file holds its old
// bytes or the whole new ones on every name, that nothing is left beside it,
// that the text and its mark are as the writer left them or as the file now
// is, that the writer is told why, and that the command then goes through.
class TestFaultInjection : public QObject {
    Q_OBJECT

    enum class Kind { Replaced, TwoNames, Link, Missing, RefusingFolder };
    enum class Command { Load, Quickload, Reload, Quicksave, SaveAs, ExitYes };

    struct Setup {
        Editor e;
        SyscallFaults faults;
        QString news, file;       // the name the writer uses, the file it leads to
        QStringList names;        // every name of the file
        QByteArray before, after; // its bytes before, and as the command wants them
        QString textBefore, textAfter;
        bool save = false;
    };

    static void prepare(Setup &s, Kind kind, Command command)
    {
        Editor &e = s.e;
        s.news = e.path("news.txt");
        s.file = s.news;
        s.names = {s.news};
        if (kind == Kind::Link) {
            QVERIFY(QDir(e.dir.path()).mkdir("real"));
            s.file = e.path("real/news.txt");
            QVERIFY(QFile::link("real/news.txt", s.news));
            s.names.append(s.file);
        }
        if (kind != Kind::Missing)
            writeBytes(s.file, kOld);
        if (kind == Kind::TwoNames) {
            QCOMPARE(::link(QFile::encodeName(s.news).constData(),
                            QFile::encodeName(e.path("second.txt")).constData()),
                     0);
            s.names.append(e.path("second.txt"));
        }
        if (kind == Kind::RefusingFolder)
            s.faults.refusingFolder = QFile::encodeName(e.dir.path());
        s.before = kind == Kind::Missing ? QByteArray() : kOld;
        s.after = s.before;
        switch (command) {
        case Command::Load:
        case Command::Quickload:
            s.textAfter = QString::fromLatin1(kOld);
            break;
        case Command::Reload:
            e.commands.OpenFile(qtstd::path(s.news));
            writeBytes(s.file, kOther);
            s.before = s.after = kOther;
            s.textBefore = QString::fromLatin1(kOld);
            s.textAfter = QString::fromLatin1(kOther);
            break;
        default:
            e.commands.OpenFile(qtstd::path(s.news));
            // A shorter text where the file is rewritten in place: its tail
            // must go.
            s.after = kind == Kind::TwoNames ? kShorter : kLonger;
            e.d.host.setText(QString::fromLatin1(s.after));
            s.textBefore = s.textAfter = QString::fromLatin1(s.after);
            s.save = true;
        }
        QCOMPARE(e.text(), s.textBefore);
    }

    static void runCommand(Setup &s, Command command)
    {
        Editor &e = s.e;
        switch (command) {
        case Command::Load:
            e.dialog.choices = {s.news};
            e.commands.Load();
            break;
        case Command::Quickload:
            e.commands.Quickload();
            break;
        case Command::Reload:
            e.commands.checkFileOnDisk();
            break;
        case Command::Quicksave:
            e.commands.Quicksave();
            break;
        case Command::SaveAs:
            e.dialog.choices = {s.news};
            e.commands.SaveAs();
            break;
        case Command::ExitYes:
            e.services.answers = {kYes};
            e.commands.Exit();
            break;
        }
    }

    // What must hold after the command ran with call failing; why not, or "".
    static QString check(Setup &s, Command command, const QByteArray &call, int error)
    {
        Editor &e = s.e;
        QStringList wrong;
        const auto content = [](const QString &name) {
            return QFileInfo::exists(name) ? readBytes(name) : QByteArray();
        };
        const QByteArray disk = content(s.names.first());
        const bool written = disk == s.after && s.after != s.before;
        for (const QString &name : s.names) {
            const QByteArray bytes = content(name);
            if (bytes != s.before && bytes != s.after)
                wrong << "the disk holds " + bytes.left(40) + "... at " +
                             QFileInfo(name).fileName();
            if (bytes != disk)
                wrong << "the names differ";
        }
        if (s.names.size() > 1 && s.names.last().contains("real") && !QFileInfo(s.news).isSymLink())
            wrong << "the link is no link now";
        QStringList entries =
            QDir(e.dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        entries.removeOne("news.txt");
        entries.removeOne("second.txt");
        entries.removeOne("real");
        if (!entries.isEmpty() ||
            QDir(e.dir.filePath("real")).entryList(QDir::Hidden | QDir::Files).size() > 1)
            wrong << "left beside the file: " + entries.join(' ');
        const bool marked = e.title().endsWith('*');
        const QString reason =
            QString::fromLocal8Bit(std::strerror(error == kPartial ? ENOSPC : error));
        if (s.save) {
            if (e.text() != s.textBefore)
                wrong << "the text changed";
            // Bytes the disk did not take never take the file's place; where
            // the file system reserves no blocks, the save goes on without.
            if (written && kNeverOutlived.contains(call))
                wrong << "saved though " + call + " failed";
            if (!written && call == "fallocate" && (error == EOPNOTSUPP || error == ENOSYS))
                wrong << "not saved where no blocks can be reserved";
            const bool ended = command == Command::ExitYes && e.services.ended == 1;
            if (written) {
                if (marked || !e.services.failures.isEmpty())
                    wrong << "written, yet marked or reported: " + e.services.failures.join(' ');
                if (command == Command::ExitYes && !ended)
                    wrong << "written, yet the program did not end";
            } else {
                if (!marked)
                    wrong << "not written, yet the mark is gone";
                if (ended)
                    wrong << "not written, yet the program ended";
                if (e.services.failures.size() != 1 ||
                    !e.services.failures.first().startsWith(s.news + ": ") ||
                    !e.services.failures.first().contains(reason))
                    wrong << "not told the file and why: " + e.services.failures.join(' ');
            }
        } else if (command == Command::Reload) {
            const bool reloaded = e.text() == s.textAfter;
            if (!reloaded && e.text() != s.textBefore)
                wrong << "the text is neither the old nor the file's: " + e.text().left(40);
            if (marked)
                wrong << "the reload marked the text";
            const QStringList told = e.services.diskQuestions;
            if (!reloaded && (told.size() != 1 || !told.first().contains(reason) ||
                              !told.first().contains(s.news)))
                wrong << "not told why the reload failed: " + told.join(' ');
            // The file may no longer hold the text shown: Exit offers to save it.
            e.services.answers = {kCancel};
            const qsizetype prompts = e.services.asked.size();
            e.commands.Exit();
            if (!reloaded && (e.services.asked.size() != prompts + 1 || e.services.ended))
                wrong << "Exit threw away a text in no file";
        } else {
            // A load shows the file, or the error line and nothing else.
            if (e.text() != s.textAfter && e.text() != kError)
                wrong << "the load shows " + e.text().left(40);
            if (marked || !e.services.diskQuestions.isEmpty() || !e.services.failures.isEmpty())
                wrong << "a load that failed said more than the error line";
        }
        if (!e.services.diskQuestions.isEmpty() && command != Command::Reload)
            wrong << "asked: " + e.services.diskQuestions.join(' ');
        return wrong.join("; ");
    }

    // With the fault gone, the same command goes through and asks nothing.
    static QString again(Setup &s, Command command)
    {
        Editor &e = s.e;
        e.services.failures.clear();
        e.services.diskQuestions.clear();
        e.services.ended = 0;
        if (command == Command::Reload) {
            // The change was told once; the next one is read.
            writeBytes(s.file, kOld);
            s.textAfter = QString::fromLatin1(kOld);
        }
        runCommand(s, command);
        QStringList wrong;
        if (!e.services.diskQuestions.isEmpty() || !e.services.failures.isEmpty())
            wrong << "asked or failed again: " +
                         (e.services.diskQuestions + e.services.failures).join(' ');
        if (s.save && readBytes(s.names.first()) != s.after)
            wrong << "not written on the second go";
        if (!s.save && e.text() != s.textAfter)
            wrong << "not loaded on the second go: " + e.text().left(40);
        if (e.title().endsWith('*'))
            wrong << "marked after the second go";
        return wrong.join("; ");
    }

private slots:
    void everyCallFails_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("command");
        const std::pair<Kind, const char *> kinds[] = {
            {Kind::Replaced, "replaced"},
            {Kind::TwoNames, "two names"},
            {Kind::Link, "a link"},
            {Kind::Missing, "missing"},
            {Kind::RefusingFolder, "a folder taking no new file"},
        };
        const std::pair<Command, const char *> commands[] = {
            {Command::Load, "Load"},      {Command::Quickload, "Quickload"},
            {Command::Reload, "Reload"},  {Command::Quicksave, "Quicksave"},
            {Command::SaveAs, "Save as"}, {Command::ExitYes, "Yes at Exit"},
        };
        for (const auto &[kind, kindName] : kinds) {
            for (const auto &[command, commandName] : commands) {
                // A missing file has nothing to load or reload.
                if (kind == Kind::Missing &&
                    (command == Command::Load || command == Command::Quickload ||
                     command == Command::Reload))
                    continue;
                QTest::addRow("%s, %s", kindName, commandName) << int(kind) << int(command);
            }
        }
    }

    void everyCallFails()
    {
        QFETCH(int, kind);
        QFETCH(int, command);
        const Kind k = Kind(kind);
        const Command c = Command(command);
        // Once to count the calls, and to see the command go through.
        QList<QByteArray> calls;
        {
            Setup s;
            prepare(s, k, c);
            s.faults.calls = 0;
            s.faults.log.clear();
            runCommand(s, c);
            calls = s.faults.log;
            calls.removeAll("unlink");
            QCOMPARE(check(s, c, QByteArray(), 0), QString());
            QVERIFY(s.save ? readBytes(s.names.first()) == s.after : s.e.text() == s.textAfter);
        }
        Run run;
        for (int n = 1; n <= calls.size(); ++n) {
            const QByteArray call = calls.at(n - 1);
            for (const int error : {ENOSPC, EIO, EDQUOT, EACCES, kPartial, EOPNOTSUPP, ENOSYS}) {
                if ((error == kPartial && call != "write") ||
                    ((error == EOPNOTSUPP || error == ENOSYS) && call != "fallocate"))
                    continue;
                Setup s;
                prepare(s, k, c);
                s.faults.calls = 0;
                s.faults.failAt = n;
                s.faults.failWith = error == kPartial ? ENOSPC : error;
                s.faults.partial = error == kPartial;
                runCommand(s, c);
                s.faults.failAt = 0;
                ++run.points;
                QString wrong = check(s, c, call, error);
                if (wrong.isEmpty())
                    wrong = again(s, c);
                if (!wrong.isEmpty())
                    run.failures << QStringLiteral("call %1 (%2) failing with %3: %4")
                                        .arg(n)
                                        .arg(QString::fromLatin1(call))
                                        .arg(error == kPartial ? QStringLiteral("a short write")
                                                               : QString::number(error))
                                        .arg(wrong);
            }
        }
        s_points += run.points;
        QVERIFY2(run.failures.isEmpty(), qPrintable(run.failures.join('\n')));
        qInfo("%d calls, %d failure points injected, each survived", int(calls.size()), run.points);
    }

    void cleanupTestCase() { qInfo("%d failure points injected in all, each survived", s_points); }

private:
    static inline int s_points = 0;
};

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_faultinjection.moc"
