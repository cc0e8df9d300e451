#include "currentfile.h"
#include "files.h"
#include "stdstrings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DiskNews)

// What the current file was when kept, what then happened on disk, and what
// a save asks and the writer is told: each state told once.
class TestCurrentFile : public QObject {
    Q_OBJECT

private slots:
    void askedAndToldOnce_data()
    {
        QTest::addColumn<QString>("kept");     // read, absent, unread, link
        QTest::addColumn<QString>("happened"); // what another program did
        QTest::addColumn<DiskNews>("asked");   // before a save
        QTest::addColumn<DiskNews>("told");    // on coming back to the window
        using N = DiskNews;
        const auto row = [](const char *kept, const char *happened, N asked, N told) {
            QTest::addRow("%s, %s", kept, happened) << kept << happened << asked << told;
        };
        row("read", "nothing", N::Nothing, N::Nothing);
        row("read", "same bytes again", N::Nothing, N::Nothing);
        row("read", "other bytes", N::Changed, N::Changed);
        row("read", "deleted", N::Nothing, N::Deleted);
        row("read", "a link", N::NowLink, N::NowLink);
        row("read", "a folder", N::Nothing, N::Changed);
        row("absent", "nothing", N::Nothing, N::Nothing);
        row("absent", "other bytes", N::Created, N::Changed);
        row("unread", "nothing", N::NotRead, N::Nothing);
        row("unread", "deleted", N::Nothing, N::Deleted);
        row("link", "nothing", N::Nothing, N::Nothing);
        row("link", "a link", N::NowLink, N::NowLink);
    }
    void askedAndToldOnce()
    {
        QFETCH(QString, kept);
        QFETCH(QString, happened);
        QFETCH(DiskNews, asked);
        QFETCH(DiskNews, told);
        QTemporaryDir dir;
        const QString path = dir.filePath("news.txt");
        writeBytes(dir.filePath("first.txt"), "first\r\n");
        if (kept == "link")
            QVERIFY(QFile::link(dir.filePath("first.txt"), path));
        else if (kept != "absent")
            writeBytes(path, "first\r\n");
        QString field;
        CurrentFile file(field);
        if (kept == "unread") {
            file.adoptUnread(path);
        } else {
            FileState state = FileState::look(qtstd::path(path));
            if (state.present)
                state.setBytes(qtstd::view(readBytes(path)));
            file.adopt(path, state);
        }
        QCOMPARE(field, path); // the dialog's field names it

        QTest::qWait(20); // times that differ from the kept ones
        if (happened == "same bytes again" || happened == "other bytes")
            writeBytes(path, happened == "other bytes" ? "theirs\r\n" : "first\r\n");
        if (happened == "deleted" || happened == "a link" || happened == "a folder")
            QVERIFY(QFile::remove(path));
        if (happened == "a link")
            QVERIFY(QFile::link(dir.filePath("elsewhere.txt"), path));
        if (happened == "a folder")
            QVERIFY(QDir(dir.path()).mkdir("news.txt"));

        const CurrentFile::Look beforeSave = file.beforeSave(path);
        QCOMPARE(beforeSave.news, asked);
        const CurrentFile::Look look = file.sinceLastLook();
        QCOMPARE(look.news, told);
        if (told == DiskNews::NowLink)
            QCOMPARE(look.linkTarget, dir.filePath("elsewhere.txt"));
        QCOMPARE(file.sinceLastLook().news, DiskNews::Nothing);
        // Another file is never asked about.
        writeBytes(dir.filePath("other.txt"), "other\r\n");
        QCOMPARE(file.beforeSave(dir.filePath("other.txt")).news, DiskNews::Nothing);
    }

    // Save as: the dialog's choice is taken and the current name shown
    // again, until a write makes the chosen file the current one.
    void chosenNameWaitsForTheWrite()
    {
        QString field;
        CurrentFile file(field);
        file.adopt("/news/a.txt", FileState::absent());
        field = "/news/b.txt"; // the dialog's choice
        QCOMPARE(file.takeChosen(), "/news/b.txt");
        QCOMPARE(field, "/news/a.txt");
        QCOMPARE(file.name(), "/news/a.txt");
        QVERIFY(file.isCurrent("/news/../news/a.txt"));
        QVERIFY(!file.isCurrent("/news/b.txt"));
    }
};

QTEST_GUILESS_MAIN(TestCurrentFile)
#include "tst_currentfile.moc"
