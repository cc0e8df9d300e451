#include "qteditor.h"
#include "qtplainhost.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString kMarked = PlainHost::kTitle + "*";
const QString kExitPrompt =
    QStringLiteral("Would you like to save your changes before exiting the application?");
const QString kOpenPrompt =
    QStringLiteral("Would you like to save your changes before opening a new file?");
const QString kError = qtstd::string(FileCommands::loadErrorText());

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    void promptTextsAndTitle()
    {
        Editor e;
        e.type("x");
        e.services.answers = {kNo};
        e.commands.Exit();
        e.type("y");
        e.services.answers = {kNo};
        e.commands.Quickload();
        QCOMPARE(e.services.asked.size(), 2);
        QCOMPARE(e.services.asked[0].prompt, kExitPrompt);
        QCOMPARE(e.services.asked[0].title, QString("SecureSave"));
        QCOMPARE(e.services.asked[1].prompt, kOpenPrompt);
    }

    void saveAsDialogAndCancel()
    {
        Editor e;
        e.type("news");
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::NotChosen);
        QCOMPARE(e.dialog.shown.size(), 1);
        const auto shown = e.dialog.shown[0];
        QCOMPARE(shown.kind, QString("save"));
        QCOMPARE(shown.title, QString("Save text file"));
        QCOMPARE(shown.filter, QString("*.txt (Textfiles)|*.txt"));
        QCOMPARE(shown.initDir, e.dir.path());
        QCOMPARE(shown.flags, 2);
        QVERIFY(e.d.document.Unsaved());
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(QDir(e.dir.path()).entryList(QDir::Files), QStringList());
    }

    // Only a Save as that wrote the file changes the current file: after a
    // cancelled or failed one, Ctrl+S goes on saving where it did.
    void saveAsChangesTheCurrentFileOnlyWhenItWrote()
    {
        Editor e;
        e.type("one\r\n");
        e.dialog.choices = {e.path("a.txt")};
        QCOMPARE(e.commands.SaveAs(), FileCommands::SaveOutcome::Saved);
        QCOMPARE(readBytes(e.path("a.txt")), QByteArray("one\r\n"));
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("a.txt"));
        QVERIFY(!e.d.document.Unsaved());
        QCOMPARE(e.title(), PlainHost::kTitle);
        QCOMPARE(qtstd::string(e.d.document.SavedText()), QString("one\r\n"));

        e.type("two");
        QCOMPARE(e.commands.SaveAs(), FileCommands::SaveOutcome::NotChosen);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("a.txt"));
        e.dialog.choices = {e.path("no/such/folder.txt")};
        QCOMPARE(e.commands.SaveAs(), FileCommands::SaveOutcome::Failed);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("a.txt"));
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Saved);
        QCOMPARE(readBytes(e.path("a.txt")), QByteArray("one\r\ntwo"));
        QCOMPARE(e.dialog.shown.size(), 3);
        QVERIFY(!QFileInfo::exists(e.path("no")));
    }

    // heraldpad FILE: read as Load reads a chosen file; a missing one is an
    // empty text that the first save creates.
    void fileFromTheCommandLine()
    {
        Editor e;
        writeBytes(e.path("given.txt"), "given\r\n");
        QVERIFY(QDir::setCurrent(e.dir.path()));
        e.commands.OpenFile(qtstd::path("given.txt"));
        QCOMPARE(e.text(), QString("given\r\n"));
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("given.txt"));
        QCOMPARE(e.title(), PlainHost::kTitle);

        Editor missing;
        missing.commands.OpenFile(qtstd::path(missing.path("new.txt")));
        QCOMPARE(missing.text(), QString());
        QCOMPARE(missing.title(), PlainHost::kTitle);
        missing.type("first");
        QCOMPARE(missing.commands.Quicksave(), FileCommands::SaveOutcome::Saved);
        QCOMPARE(readBytes(missing.path("new.txt")), QByteArray("first"));

        Editor folder;
        folder.commands.OpenFile(qtstd::path(folder.dir.path()));
        QCOMPARE(folder.text(), kError);
        QCOMPARE(folder.title(), PlainHost::kTitle);

        // A name the character set cannot read: told, with its bytes shown;
        // the save asks for a name.
        Editor odd;
        odd.commands.OpenUnnamable("caf\xe9 \xc3\xa9t\xc3.txt");
        QCOMPARE(odd.text(), kError);
        QCOMPARE(odd.services.loadFailures.size(), 1);
        QVERIFY2(odd.services.loadFailures.first().startsWith("caf\\xE9 \u00e9t\\xC3.txt: "),
                 qPrintable(odd.services.loadFailures.first()));
        QCOMPARE(odd.commands.Quicksave(), FileCommands::SaveOutcome::NotChosen);
        QCOMPARE(odd.dialog.shown.size(), 1);
        QCOMPARE(odd.dialog.shown.first().kind, QString("save"));
    }

    // A save refused for characters the code page cannot store names them
    // (the invisible by name) and selects the first; each refusal after it
    // selects the next one, and after the last the first again. Nothing is
    // asked about the file another program put there meanwhile.
    void refusedSaveSelectsEachCharacterInTurn()
    {
        Editor e;
        e.commands.OpenFile(qtstd::path(e.path("news.txt")));
        e.type(QString::fromUtf16(u"a\U0001F600b\u200Fc\r\n\u4E2D"));
        writeBytes(e.path("news.txt"), "theirs");
        QList<qsizetype> selected;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Failed);
            QCOMPARE(e.d.host.selected.length, e.d.host.selected.start == 1 ? 2 : 1);
            selected << e.d.host.selected.start;
        }
        QCOMPARE(selected, QList<qsizetype>({1, 4, 8, 1}));
        // From the caret when none of them is selected.
        e.d.host.selected = {5, 0};
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Failed);
        QCOMPARE(e.d.host.selected.start, 8);
        QCOMPARE(e.services.failures.first(),
                 e.path("news.txt") +
                     QString::fromUtf16(
                         u": 3 characters cannot be stored in Windows-1252: \"\U0001F600\" "
                         u"(U+1F600) at line 1, column 2; right-to-left mark (U+200F) at line 1, "
                         u"column 4; \"\u4E2D\" (U+4E2D) at line 2, column 1."));
        QCOMPARE(readBytes(e.path("news.txt")), "theirs");
        QCOMPARE(e.services.diskQuestions, QStringList());

        // A text with no file yet: refused before a name is asked for; side
        // by side, each is selected in turn.
        Editor unnamed;
        unnamed.type(QString::fromUtf16(u"\U0001F600\u4E2D\u6587"));
        QList<qsizetype> turns;
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(unnamed.commands.Quicksave(), FileCommands::SaveOutcome::Failed);
            turns << unnamed.d.host.selected.start;
        }
        QCOMPARE(turns, QList<qsizetype>({0, 2, 3, 0}));
        QCOMPARE(unnamed.dialog.shown.size(), 0);
    }

    // A cancelled Open dialog changes nothing: not the text, the mark or the
    // current file.
    void loadSetsUpTheOpenDialogAndCancelChangesNothing()
    {
        Editor e;
        e.loadQuickFile("saved\r\n");
        e.commands.Load();
        QCOMPARE(e.services.asked.size(), 0); // clean: no prompt
        const auto shown = e.dialog.shown.value(0);
        QCOMPARE(shown.kind, QString("open"));
        QCOMPARE(shown.title, QString("Open text file"));
        QCOMPARE(shown.filter, QString("*.txt (Textfiles)|*.txt"));
        QCOMPARE(shown.initDir, e.dir.path());
        QCOMPARE(shown.flags, 4);
        QCOMPARE(e.text(), QString("saved\r\n"));
        QVERIFY(!e.d.document.Unsaved());
        QCOMPARE(e.title(), PlainHost::kTitle);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));

        // Typed text, No at the prompt, then Escape in the dialog: still there.
        e.type("typed");
        e.services.answers = {kNo};
        e.commands.Load();
        QCOMPARE(e.services.asked.size(), 1);
        QCOMPARE(e.text(), QString("saved\r\ntyped"));
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));
    }

    void loadReadsTheChosenFile()
    {
        Editor e;
        writeBytes(e.path("a.txt"), "first\nsecond");
        e.dialog.choices = {e.path("a.txt")};
        e.commands.Load();
        QCOMPARE(e.text(), QString("first\r\nsecond\r\n"));
        QCOMPARE(qtstd::string(e.d.document.SavedText()), e.text());
        QVERIFY(!e.d.document.Unsaved());
        QCOMPARE(e.title(), PlainHost::kTitle);
        QVERIFY(!e.d.document.LoadingFile());
    }

    void loadFailureKeepsTheTypedName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::newRow("missing file") << "missing.txt";
        QTest::newRow("a folder") << "";
    }
    void loadFailureKeepsTheTypedName()
    {
        QFETCH(QString, chosen);
        Editor e;
        const QString name = e.path(chosen);
        e.dialog.choices = {name};
        e.commands.Load();
        QCOMPARE(e.text(), kError);
        QVERIFY(!e.d.document.Unsaved()); // the message is not an edit
        QCOMPARE(e.title(), PlainHost::kTitle);
        QVERIFY(!e.d.document.LoadingFile());
        QCOMPARE(qtstd::fileName(e.dialog.FileName), name);

        if (chosen.isEmpty())
            return;
        // A file another program puts there is not written over unasked...
        writeBytes(name, "theirs");
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::NotChosen);
        QCOMPARE(e.services.diskQuestions, QStringList{"save over created: " + name});
        QCOMPARE(readBytes(name), QByteArray("theirs"));
        // ... and Quicksave writes to the typed name without a dialog.
        QFile::remove(name);
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Saved);
        QCOMPARE(e.dialog.shown.size(), 1);
        QCOMPARE(readBytes(name), kError.toLatin1());
    }

    void quickloadAtStartWithoutQuickFile()
    {
        Editor e;
        e.commands.Quickload();
        QCOMPARE(e.text(), kError);
        QCOMPARE(e.title(), PlainHost::kTitle);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), QString());
        e.type("!");
        QCOMPARE(e.title(), kMarked);
        e.services.answers = {kNo};
        e.commands.Exit();
        QCOMPARE(e.services.asked.size(), 1);
        QCOMPARE(e.services.ended, 1);
    }

    void failedQuickloadKeepsNameAndSavedText()
    {
        Editor e;
        e.loadQuickFile("kept\r\n");
        QFile::remove(e.path("news.txt"));
        e.commands.Quickload();
        QCOMPARE(e.text(), kError);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));
        QCOMPARE(qtstd::string(e.d.document.SavedText()), QString("kept\r\n"));
        // Emptying before the read was an edit against "kept"; the message is not.
        QVERIFY(e.d.document.Unsaved());
        QCOMPARE(e.title(), kMarked);
    }

    void exitPaths()
    {
        { // clean: ends at once
            Editor e;
            e.commands.Exit();
            QCOMPARE(e.services.asked.size(), 0);
            QCOMPARE(e.services.ended, 1);
        }
        { // No: ends without writing
            Editor e;
            e.loadQuickFile("a\r\n");
            e.type("b");
            e.services.answers = {kNo};
            e.commands.Exit();
            QCOMPARE(e.services.ended, 1);
            QCOMPARE(readBytes(e.path("news.txt")), QByteArray("a\r\n"));
        }
        { // Yes: saves, then ends
            Editor e;
            e.loadQuickFile("a\r\n");
            e.type("b");
            e.services.answers = {kYes};
            e.commands.Exit();
            QCOMPARE(e.services.ended, 1);
            QCOMPARE(readBytes(e.path("news.txt")), QByteArray("a\r\nb"));
        }
        { // Yes, then the Save dialog cancelled: the program goes on
            Editor e;
            e.type("b");
            e.services.answers = {kYes};
            e.commands.Exit();
            QCOMPARE(e.dialog.shown.size(), 1);
            QCOMPARE(e.services.ended, 0);
            QVERIFY(e.d.document.Unsaved());
        }
    }

    void failedSaveChangesNothing()
    {
        Editor e;
        e.loadQuickFile("on disk\r\n");
        e.type(QString::fromUtf16(u"\u2713"));
        const QString text = e.text();
        e.services.answers = {kYes};
        e.commands.Exit();
        QCOMPARE(e.services.ended, 0);
        QCOMPARE(e.services.failures.size(), 1);
        QVERIFY(e.services.failures[0].startsWith(e.path("news.txt") + ": Line 2, column 1:"));
        QCOMPARE(readBytes(e.path("news.txt")), QByteArray("on disk\r\n"));
        QCOMPARE(e.text(), text);
        QVERIFY(e.d.document.Unsaved());
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(qtstd::string(e.d.document.SavedText()), QString("on disk\r\n"));
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));

        // The same through Quicksave and Save as, to a place that cannot be
        // written either.
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Failed);
        e.dialog.choices = {e.path("no/such/folder.txt")};
        QCOMPARE(e.commands.SaveAs(), FileCommands::SaveOutcome::Failed);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));
        QCOMPARE(e.services.failures.size(), 3);
        QVERIFY(e.d.document.Unsaved());
        QCOMPARE(qtstd::string(e.d.document.SavedText()), QString("on disk\r\n"));
    }

    // Yes to the prompt and a save that fails or writes nothing: the text the
    // user asked to keep stays, unsaved, and nothing is loaded over it.
    void loadsStopWhenThePromptsSaveDoesNotHappen_data()
    {
        QTest::addColumn<bool>("quick");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("Quickload, save fails") << true << false;
        QTest::newRow("Quickload, save cancelled") << true << true;
        QTest::newRow("Load, save fails") << false << false;
        QTest::newRow("Load, save cancelled") << false << true;
    }
    void loadsStopWhenThePromptsSaveDoesNotHappen()
    {
        QFETCH(bool, quick);
        QFETCH(bool, cancel);
        Editor e;
        writeBytes(e.path("news.txt"), "other\r\n");
        e.type("mine");
        if (!cancel) { // a folder where the current file was: the save fails
            e.commands.OpenFile(qtstd::path(e.path("gone.txt")));
            QVERIFY(QDir(e.dir.path()).mkdir("gone.txt"));
        }
        e.dialog.choices = {QString(), e.path("news.txt")};
        e.services.answers = {kYes};
        quick ? e.commands.Quickload() : e.commands.Load();
        QCOMPARE(e.text(), QString("mine"));
        QVERIFY(e.d.document.Unsaved());
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(e.services.failures.size(), cancel ? 0 : 1);
        QCOMPARE(e.dialog.shown.size(), cancel ? 1 : 0);
    }

    // A prompt closed without an answer stops its command: nothing is saved,
    // loaded or ended, and the typed text stays.
    void promptClosedWithoutAnswerStops_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"Load", "Quickload", "Exit", "mayClose"})
            QTest::newRow(command) << QString(command);
    }
    void promptClosedWithoutAnswerStops()
    {
        QFETCH(QString, command);
        Editor e;
        e.loadQuickFile("on disk\r\n");
        e.type("mine");
        e.dialog.choices = {e.path("news.txt")};
        e.services.answers = {kCancel};
        if (command == "Load")
            e.commands.Load();
        else if (command == "Quickload")
            e.commands.Quickload();
        else if (command == "Exit")
            e.commands.Exit();
        else
            QVERIFY(!e.commands.mayClose());
        QCOMPARE(e.services.asked.size(), 1);
        QCOMPARE(e.dialog.shown.size(), 0);
        QCOMPARE(e.services.ended, 0);
        QCOMPARE(e.text(), QString("on disk\r\nmine"));
        QCOMPARE(e.title(), kMarked);
        QCOMPARE(readBytes(e.path("news.txt")), QByteArray("on disk\r\n"));
    }

    void loadsGoOnAfterNoOrASave()
    {
        Editor e;
        writeBytes(e.path("b.txt"), "b\r\n");
        e.loadQuickFile("a\r\n");
        e.type("+");
        e.services.answers = {kNo};
        e.dialog.choices = {e.path("b.txt")};
        e.commands.Load();
        QCOMPARE(e.text(), QString("b\r\n"));
        QCOMPARE(readBytes(e.path("news.txt")), QByteArray("a\r\n"));

        e.type("+");
        e.services.answers = {kYes};
        e.commands.Quickload();
        QCOMPARE(readBytes(e.path("b.txt")), QByteArray("b\r\n+"));
        QCOMPARE(e.text(), QString("a\r\n"));
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));
        QVERIFY(!e.d.document.Unsaved());
    }

    // Long work is shown from its start to its end, also when it fails.
    void loadsAndSavesShowTheirWork_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QStringList>("work");
        QTest::newRow("load") << false << false << QStringList{"Loading ", "100%", "end"};
        QTest::newRow("failed load") << false << true << QStringList{"Loading ", "end"};
        QTest::newRow("save") << true << false << QStringList{"Saving ", "100%", "end"};
        QTest::newRow("failed save") << true << true << QStringList{"Saving ", "end"};
    }
    void loadsAndSavesShowTheirWork()
    {
        QFETCH(bool, save);
        QFETCH(bool, fails);
        QFETCH(QStringList, work);
        Editor e;
        if (save)
            e.commands.OpenFile(qtstd::path(e.path("news.txt"))); // not there yet
        e.type("typed");
        if (fails)
            QVERIFY(QDir(e.dir.path()).mkdir("news.txt"));
        else if (!save)
            writeBytes(e.path("news.txt"), "news\r\n");
        e.services.answers = {kNo};
        save ? void(e.commands.Quicksave()) : e.commands.Quickload();
        if (!e.services.work.isEmpty())
            e.services.work[0] =
                e.services.work[0].chopped(e.services.work[0].size() - work[0].size());
        QCOMPARE(e.services.work, work);
    }

    // Each step of a load, a reload or a save in its turn: the progress told
    // only ever grows, and ends at the whole.
    void progressOnlyGrowsToTheWhole_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Quickload") << "quickload";
        QTest::newRow("reload") << "reload";
        QTest::newRow("Quicksave") << "quicksave";
    }
    void progressOnlyGrowsToTheWhole()
    {
        QFETCH(QString, command);
        Editor e;
        e.d.host.tellsProgress = true;
        // Lone LFs, so that the text is longer than the file.
        const QByteArray news = QByteArray("a line of the news\n").repeated(300000);
        e.loadQuickFile(command == "quicksave" ? news : QByteArray("short\r\n"));
        e.services.progress.clear();
        if (command == "quickload") {
            writeBytes(e.path("news.txt"), news);
            e.commands.Quickload();
        } else if (command == "reload") {
            writeBytes(e.path("news.txt"), news);
            e.commands.checkFileOnDisk();
            QCOMPARE(e.text().size(), news.size() * 20 / 19);
        } else if (command == "quicksave") {
            e.type("!");
            QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Saved);
        }
        QVERIFY(e.services.progress.size() > 4);
        for (qsizetype i = 1; i < e.services.progress.size(); ++i)
            QVERIFY2(e.services.progress[i] >= e.services.progress[i - 1],
                     qPrintable(QString::number(i)));
        QCOMPARE(e.services.progress.last(), 1.0);
    }

    // Coming back to the window while a command's prompt is open (the prompt
    // is a window of its own) looks at nothing until the command is done.
    void noLookAtTheFileWhileACommandRuns()
    {
        Editor e;
        e.loadQuickFile("old\r\n");
        e.type("!");
        writeBytes(e.path("news.txt"), "changed by another program\r\n");
        bool busy = false;
        e.services.whileAsking = [&e, &busy] {
            busy = e.commands.busy();
            e.commands.checkFileOnDisk();
        };
        e.services.answers = {kCancel};
        e.commands.Quickload();
        QVERIFY(busy);
        QVERIFY(e.services.diskQuestions.isEmpty());
        QVERIFY(!e.commands.busy());
        e.commands.checkFileOnDisk();
        QCOMPARE(e.services.diskQuestions, QStringList{"reload: " + e.path("news.txt")});
    }

    // A dropped file that cannot be read does not become the file Ctrl+S writes to.
    void droppedFileThatCannotBeReadIsNotTheCurrentFile()
    {
        Editor e;
        e.loadQuickFile("quick\r\n");
        QVERIFY(::mkfifo(QFile::encodeName(e.path("pipe.txt")).constData(), 0600) == 0);
        e.commands.LoadDropped(qtstd::path(e.path("pipe.txt")));
        QCOMPARE(e.text(), kError);
        QCOMPARE(qtstd::fileName(e.dialog.FileName), e.path("news.txt"));
        e.type("!");
        QCOMPARE(e.commands.Quicksave(), FileCommands::SaveOutcome::Saved);
        QCOMPARE(readBytes(e.path("news.txt")), (kError + "!").toLatin1());
    }

    void mayClose()
    {
        Editor e;
        QVERIFY(e.commands.mayClose());
        QCOMPARE(e.services.asked.size(), 0);
        e.type("x");
        e.services.answers = {kNo};
        QVERIFY(e.commands.mayClose());
        e.services.answers = {kYes};
        QVERIFY(!e.commands.mayClose()); // save dialog cancelled
        QCOMPARE(e.services.asked.last().prompt, kExitPrompt);
        QCOMPARE(e.services.ended, 0);
    }
};

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
