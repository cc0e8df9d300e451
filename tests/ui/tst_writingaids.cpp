#include "files.h"
#include "finddialog.h"
#include "form1.h"
#include "newstextedit.h"
#include "notice.h"
#include "spelling.h"
#include "spellmarks.h"
#include "waits.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPaintEvent>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
const QString kTitle = Form1::plainTitle();

// What the Find window says of the last search, as a screen reader hears it:
// the name of its notification.
QString said(const FindDialog *find)
{
    for (QLabel *label : find->findChildren<QLabel *>()) {
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(label);
        if (heard && heard->role() == QAccessible::Notification && label->isVisible())
            return heard->text(QAccessible::Name);
    }
    return "<no message>";
}

QPushButton *buttonNamed(QWidget *window, const QString &name)
{
    for (QPushButton *b : window->findChildren<QPushButton *>()) {
        if (b->accessibleName() == name)
            return b;
    }
    return nullptr;
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}
} // namespace

// Counts the paints of a whole widget while it lives (not the caret's blink).
struct PaintCount : QObject {
    explicit PaintCount(QWidget *widget) : widget(widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint &&
                 static_cast<QPaintEvent *>(event)->rect() == widget->rect();
        return false;
    }
    QWidget *widget;
    int count = 0;
};

class TestWritingAids : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<SpellChecker> checker;

    struct Window {
        Form1 form;
        NewsTextEdit *text = form.findChild<NewsTextEdit *>("Text");
        explicit Window(SpellChecker *spelling)
        {
            form.Form_Load();
            form.show();
            form.activateWindow();
            text->setFocus();
            QCoreApplication::processEvents(); // the window's own dictionary comes first
            text->setSpellChecker(spelling);
        }
    };

    // Red pixels of the wavy line under the characters from start to end.
    static int redUnder(NewsTextEdit *text, int start, int end)
    {
        QTextCursor c(text->document());
        c.setPosition(start);
        const QRect from = text->cursorRect(c);
        c.setPosition(end);
        const QRect to = text->cursorRect(c);
        const QImage image = text->viewport()->grab().toImage();
        int red = 0;
        for (int y = from.bottom() - 2; y <= from.bottom() + 5; ++y) {
            for (int x = from.left() + 1; x < to.left(); ++x) {
                const QColor p = image.pixelColor(x, y);
                red += p.red() > 200 && p.green() < 90 && p.blue() < 90;
            }
        }
        return red;
    }

    static void rightClick(NewsTextEdit *text, int position)
    {
        QTextCursor c(text->document());
        c.setPosition(position);
        QContextMenuEvent event(QContextMenuEvent::Mouse, text->cursorRect(c).center(),
                                text->viewport()->mapToGlobal(text->cursorRect(c).center()));
        QApplication::sendEvent(text->viewport(), &event);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        QDir().mkpath(dir.filePath("dicts"));
        writeBytes(dir.filePath("dicts/en_US.aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
        writeBytes(dir.filePath("dicts/en_US.dic"), "5\nthe\nnews\nrelay\nstation\nof\n");
        checker =
            SpellChecker::forLocale(LocaleName::parse("C"), {qtstd::path(dir.filePath("dicts"))});
        QVERIFY(checker);
    }

    void misspelledWordsAreMarked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("marked");
        QTest::newRow("misspelled") << "the relay stattion\r\n" << 10 << 18 << true;
        QTest::newRow("correct") << "the relay stattion\r\n" << 4 << 9 << false;
        // Positions of the text area: one for each line break.
        QTest::newRow("second line") << "news\r\nof the relxy\r\n" << 12 << 17 << true;
        // Checked a few words a paint, behind 100 words the dictionary never saw.
        QString unseen;
        for (int i = 0; i < 100; ++i)
            unseen += QString("zq%1%2 ").arg(QChar(u'a' + i % 26), QChar(u'a' + i / 26));
        QTest::newRow("later paints") << "the " + unseen + "stattion\r\n"
                                      << 4 + int(unseen.size()) << 12 + int(unseen.size()) << true;
    }
    void misspelledWordsAreMarked()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(bool, marked);
        Window w(checker.get());
        w.text->findChild<SpellMarks *>()->setSliceMs(0);
        w.form.setNewsText(text);
        // No paint asked for meanwhile: the window goes on by itself, and
        // stops once every word in view is checked.
        QTest::qWait(500);
        PaintCount paints(w.text->viewport());
        QTest::qWait(200);
        QCOMPARE(paints.count, 0);
        QCOMPARE(redUnder(w.text, start, end) > 0, marked);
        w.text->setSpellChecker(nullptr); // no dictionary: no marks
        QCOMPARE(redUnder(w.text, start, end), 0);
    }

    // Marking is paint only: no text change, no undo step, no change rule.
    void markingChangesNothing()
    {
        Window w(nullptr);
        w.form.setNewsText("stattion relxy\r\n");
        w.form.document().MarkClean();
        QSignalSpy changed(w.text, &QPlainTextEdit::textChanged);
        QSignalSpy contents(w.text->document(), &QTextDocument::contentsChange);
        const int undo = w.text->document()->availableUndoSteps();
        w.text->setSpellChecker(checker.get());
        QVERIFY(redUnder(w.text, 0, 8) > 0);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(contents.size(), 0);
        QCOMPARE(w.text->document()->availableUndoSteps(), undo);
        QCOMPARE(w.form.windowTitle(), kTitle);
    }

    void wordBeingTypedIsMarkedOnceLeft()
    {
        Window w(checker.get());
        QTest::keyClicks(w.text, "the stattion");
        QCOMPARE(redUnder(w.text, 4, 12), 0);
        QTest::keyClick(w.text, Qt::Key_Space);
        QVERIFY(redUnder(w.text, 4, 12) > 0);
        // A marked word keeps its mark when the caret enters it...
        QTest::keyClick(w.text, Qt::Key_End);
        QTest::keyClick(w.text, Qt::Key_Left);
        QVERIFY(redUnder(w.text, 4, 12) > 0);
        // ... until it is changed.
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.newsText(), QString("the stattio "));
        QTest::keyClicks(w.text, "n");
        QCOMPARE(redUnder(w.text, 4, 12), 0);
    }

    void suggestionIsOneUndoStep()
    {
        writeBytes(dir.filePath("news.txt"), "the relxy station\r\n");
        Window w(checker.get());
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QStringList offered;
        whenMenuShows([&offered](QMenu *menu) {
            for (QAction *a : menu->actions())
                offered << a->text();
            actionNamed(menu, "relay")->trigger();
            menu->close();
        });
        rightClick(w.text, 6);
        QVERIFY(offered.size() > 2);
        QCOMPARE(offered.first(), QString("relay"));
        QVERIFY(offered.indexOf("Ignore") > 0);
        QCOMPARE(w.form.newsText(), QString("the relay station\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), QString("the relxy station\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle);
    }

    // Without a dictionary for the language, the menu says why nothing is marked.
    void noDictionarySaysSo()
    {
        Window w(nullptr);
        w.form.useSpelling(nullptr, Form1::noDictionaryText(LocaleName::parse("ru_RU.UTF-8")));
        QString first;
        whenMenuShows([&first](QMenu *menu) {
            first = menu->actions().value(0)->text();
            menu->close();
        });
        rightClick(w.text, 0);
        QCOMPARE(first, QString("No spelling: no Hunspell dictionary for \"ru\" is installed"));
    }

    void ignoreUnmarksTheWordEverywhere()
    {
        SpellChecker own(qtstd::path(dir.filePath("dicts/en_US.aff")));
        Window w(&own);
        w.form.setNewsText("zorg news\r\nof zorg\r\nzorgs\r\n");
        QVERIFY(redUnder(w.text, 0, 4) > 0);
        QVERIFY(redUnder(w.text, 13, 17) > 0);
        whenMenuShows([](QMenu *menu) {
            actionNamed(menu, "Ignore")->trigger();
            menu->close();
        });
        // From the keyboard: Shift+F10 at the caret.
        w.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(w.text, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(redUnder(w.text, 0, 4), 0);
        QCOMPARE(redUnder(w.text, 13, 17), 0);
        QVERIFY(redUnder(w.text, 18, 23) > 0); // another word
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
    }

    void findAndReplace()
    {
        writeBytes(dir.filePath("news.txt"), "ore prices, Ore docks\r\nthe bra\r\n");
        Window w(nullptr);
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        // Text typed after loaded text is found across the two.
        QTest::keyClick(w.text, Qt::Key_Down);
        QTest::keyClick(w.text, Qt::Key_End);
        QTest::keyClicks(w.text, "vo");
        w.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(w.text, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w.text, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w.text, Qt::Key_Right, Qt::ShiftModifier);

        QTest::keyClick(w.text, Qt::Key_F, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        QVERIFY(find && find->isVisible());
        QCOMPARE(find->windowTitle(), QString("Find"));
        auto *what = find->findChildren<QLineEdit *>().value(0);
        QCOMPARE(what->text(), QString("ore")); // the selection
        QCOMPARE(find->focusWidget(), what);
        QCOMPARE(said(find), "<no message>"); // nothing to hear yet
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(w.text->textCursor().selectionStart(), 12); // "Ore", any case
        what->setText("bravo");
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(w.text->selectedNewsText(), QString("bravo"));
        QTest::keyClick(w.text, Qt::Key_F3);
        QCOMPARE(w.text->selectedNewsText(), QString("bravo"));
        QVERIFY(said(find).split(' ').contains("end"));
        what->setText("gold");
        QTest::keyClick(what, Qt::Key_Return);
        QVERIFY(said(find).contains("\"gold\""));
        QCOMPARE(w.text->selectedNewsText(), QString("bravo")); // nothing changed
        QCOMPARE(w.form.windowTitle(), kTitle + "*");

        // Replace all: one undo step, the title mark with it.
        QTest::keyClick(what, Qt::Key_S, Qt::ControlModifier); // Ctrl+S still saves
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(w.text, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(find->windowTitle(), QString("Replace"));
        what->setText("ore");
        find->findChildren<QLineEdit *>().value(1)->setText("salt");
        find->findChild<QCheckBox *>()->setChecked(true); // match case
        const auto button = [find](const QString &name) {
            for (QPushButton *b : find->findChildren<QPushButton *>()) {
                if (b->accessibleName() == name)
                    return b;
            }
            return static_cast<QPushButton *>(nullptr);
        };
        button("Replace all")->click();
        QCOMPARE(w.form.newsText(), QString("salt prices, Ore docks\r\nthe bravo\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        find->findChild<QCheckBox *>()->setChecked(false);
        button("Replace all")->click();
        QCOMPARE(w.form.newsText(), QString("salt prices, salt docks\r\nthe bravo\r\n"));
        QCOMPARE(said(find), "Replaced once.");
        w.text->undo();
        QCOMPARE(w.form.newsText(), QString("salt prices, Ore docks\r\nthe bravo\r\n"));
        w.text->undo();
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(what, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
    }

    // Text typed right after a replacement is an undo step of its own.
    void typedTextAfterAReplacementIsItsOwnUndoStep_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");    // after the replacement and "Q"
        QTest::addColumn<QString>("replaced"); // after one undo
        QTest::newRow("Replace all") << "all"
                                     << "alpha one two one three"
                                     << "alpha ZZQ two ZZ three"
                                     << "alpha ZZ two ZZ three";
        QTest::newRow("Replace") << "one"
                                 << "alpha one two"
                                 << "alpha ZZQ two"
                                 << "alpha ZZ two";
        QTest::newRow("suggestion") << "suggestion"
                                    << "teh news"
                                    << "theQ news"
                                    << "the news";
    }
    void typedTextAfterAReplacementIsItsOwnUndoStep()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QString, replaced);
        Window w(checker.get());
        w.form.setNewsText(text);
        w.text->moveCursor(QTextCursor::Start);
        if (how == "suggestion") {
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(w.text, Qt::Key_Right);
            whenMenuShows([](QMenu *menu) {
                QVERIFY(actionNamed(menu, "the"));
                actionNamed(menu, "the")->trigger();
                menu->close();
            });
            QTest::keyClick(w.text, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QTest::keyClick(w.text, Qt::Key_H, Qt::ControlModifier);
            auto *find = w.form.findChild<FindDialog *>("Find");
            auto *what = find->findChildren<QLineEdit *>().value(0);
            what->setText("one");
            find->findChildren<QLineEdit *>().value(1)->setText("ZZ");
            QTest::keyClick(what, Qt::Key_Return);
            buttonNamed(find, how == "all" ? "Replace all" : "Replace")->click();
            QTest::keyClick(what, Qt::Key_Escape);
            QVERIFY(!find->isVisible());
        }
        QTest::keyClicks(w.text, "Q");
        QCOMPARE(w.form.newsText(), typed);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), replaced);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), text);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
    }

    // Every match, left to right, even where the replacement holds the needle.
    void replaceAllReplacesEveryMatchAsOneStep()
    {
        Window w(nullptr);
        w.form.setNewsText("a-b-a-b-a");
        QTest::keyClick(w.text, Qt::Key_H, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        find->findChildren<QLineEdit *>().value(0)->setText("a");
        find->findChildren<QLineEdit *>().value(1)->setText("[a]");
        buttonNamed(find, "Replace all")->click();
        QCOMPARE(w.form.newsText(), QString("[a]-b-[a]-b-[a]"));
        QCOMPARE(said(find), "Replaced 3 times.");
        w.text->undo();
        QCOMPARE(w.form.newsText(), QString("a-b-a-b-a"));
    }

    void findPreviousGoesBack()
    {
        Window w(nullptr);
        w.form.setNewsText("news, more news, old news");
        w.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(w.text, Qt::Key_F, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        auto *what = find->findChildren<QLineEdit *>().value(0);
        what->setText("news");
        const auto at = [&w] { return w.text->textCursor().selectionStart(); };
        QTest::keyClick(what, Qt::Key_Return);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(at(), 11);
        buttonNamed(find, "Find previous")->click();
        QCOMPARE(at(), 0);
        QTest::keyClick(what, Qt::Key_Return);
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(at(), 21);
        QTest::keyClick(w.text, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(at(), 11);
        QCOMPARE(w.text->selectedNewsText(), QString("news"));
    }

    // With the Find window closed, F3 and Shift+F3 say in the window's notice
    // when they went round or found nothing; then the old match is no longer
    // selected, the caret stays at its end (its start, backward). The notice
    // never covers the match or the caret, also on the view's bottom row.
    void repeatedSearchSaysWhatItDid_data()
    {
        QTest::addColumn<int>("filler"); // lines before the one searched
        QTest::addColumn<bool>("backward");
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("from"); // the selection before, 4 characters long
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("said");
        const QString wentOn = "Passed the start of the text; went on from its end.";
        QTest::newRow("F3 past the end") << 0 << false << "news" << 11 << 0 << 4
                                         << "Passed the end of the text; went on from its start.";
        QTest::newRow("Shift+F3 past the start") << 0 << true << "news" << 0 << 11 << 15 << wentOn;
        QTest::newRow("Shift+F3 to the bottom row")
            << 60 << true << "news" << 0 << 11 << 15 << wentOn;
        QTest::newRow("F3, not there")
            << 0 << false << "gold" << 6 << 10 << 10 << "\"gold\" is not in the text.";
        QTest::newRow("F3, not there, caret on the bottom row")
            << 60 << false << "gold" << 6 << 10 << 10 << "\"gold\" is not in the text.";
        QTest::newRow("Shift+F3, not there")
            << 0 << true << "gold" << 6 << 6 << 6 << "\"gold\" is not in the text.";
    }
    void repeatedSearchSaysWhatItDid()
    {
        QFETCH(int, filler);
        QFETCH(bool, backward);
        QFETCH(QString, needle);
        QFETCH(int, from);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, said);
        const QString head = QString("filler\r\n").repeated(filler);
        const int shift = filler * 7; // each line and its break
        from += shift;
        start += shift;
        end += shift;
        Window w(nullptr);
        w.form.setNewsText(head + "news, more news");
        QTest::keyClick(w.text, Qt::Key_F, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        QTest::keyClicks(find->findChildren<QLineEdit *>().value(0), needle);
        QTest::keyClick(find, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        w.form.activateWindow();
        w.text->setFocus();
        QTextCursor selected(w.text->document());
        selected.setPosition(from);
        selected.setPosition(from + 4, QTextCursor::KeepAnchor);
        w.text->setTextCursor(selected);
        QTest::keyClick(w.text, Qt::Key_F3, backward ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(w.text->textCursor().selectionStart(), start);
        QCOMPARE(w.text->textCursor().selectionEnd(), end);
        auto *notice = w.form.findChild<Notice *>();
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), said);
        QCOMPARE(w.form.newsText(), head + "news, more news");
        const QRect row =
            w.text->cursorRect().translated(w.text->viewport()->mapTo(&w.form, QPoint()));
        QVERIFY(w.text->geometry().contains(row));
        // Its line, the whole width: the notice may not lie over any of it.
        const QRect shown = notice->geometry();
        QVERIFY2(shown.bottom() < row.top() || shown.top() > row.bottom(),
                 "the notice covers the match");
    }

    void selectionOverTwoLinesIsNotTheNeedle()
    {
        Window w(nullptr);
        w.form.setNewsText("first line\r\nsecond line");
        w.text->moveCursor(QTextCursor::Start);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w.text, Qt::Key_Right);
        QTest::keyClick(w.text, Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(w.text->selectedNewsText().contains('\n'));
        QTest::keyClick(w.text, Qt::Key_F, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        QCOMPARE(find->findChildren<QLineEdit *>().value(0)->text(), QString());
    }

    // Unique mnemonics; a match is never left under the window; plain words
    // for a needle that no search can find.
    void findWindowStaysOutOfTheWay()
    {
        Window w(nullptr);
        QString text;
        for (int line = 1; line <= 60; ++line)
            text += (line == 12 ? QString("here is the needle") : "line " + QString::number(line)) +
                    "\r\n";
        w.form.setNewsText(text);
        w.text->moveCursor(QTextCursor::Start);
        QTest::keyClick(w.text, Qt::Key_H, Qt::ControlModifier);
        auto *find = w.form.findChild<FindDialog *>("Find");
        QVERIFY(QTest::qWaitForWindowExposed(find));
        const QSize opened = find->frameGeometry().size();

        QStringList keys;
        for (QWidget *c : find->findChildren<QWidget *>()) {
            QString caption;
            if (auto *label = qobject_cast<QLabel *>(c))
                caption = label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(c))
                caption = button->text();
            const qsizetype amp = caption.indexOf('&');
            if (amp >= 0 && amp + 1 < caption.size())
                keys << caption.mid(amp + 1, 1).toLower();
        }
        QVERIFY(keys.size() >= 8);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());

        auto *what = find->findChildren<QLineEdit *>().value(0);
        what->setText("needle");
        QTest::keyClick(what, Qt::Key_N, Qt::AltModifier); // to "Find what", no search
        QVERIFY(!w.text->textCursor().hasSelection());
        QTest::keyClick(what, Qt::Key_Return);
        QCOMPARE(w.text->selectedNewsText(), QString("needle"));
        QTextCursor start = w.text->textCursor();
        start.setPosition(start.selectionStart());
        const QRect match(w.text->viewport()->mapToGlobal(w.text->cursorRect(start).topLeft()),
                          QSize(40, w.text->cursorRect(start).height()));
        QTRY_VERIFY2(!find->frameGeometry().intersects(match),
                     "the match is under the Find window");

        what->setText("needle\nline");
        QTest::keyClick(what, Qt::Key_Return);
        QVERIFY(said(find).contains("line break"));
        what->clear();
        QCOMPARE(said(find), "<no message>");
        QTest::keyClick(what, Qt::Key_Escape);
        QTest::keyClick(w.text, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(find->frameGeometry().size(), opened);
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("plainText");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QString>("answer"); // at the prompt: "no", "escape"
        QTest::addColumn<QString>("text");   // afterwards
        const QString one = QUrl::fromLocalFile(dir.filePath("one.txt")).toString();
        const QString two = QUrl::fromLocalFile(dir.filePath("two.txt")).toString();
        const QString folder = QUrl::fromLocalFile(dir.path()).toString();
        QTest::newRow("a file") << QStringList{one} << one << false << ""
                                << "first\r\n";
        QTest::newRow("two files") << QStringList{two, one} << two << false << ""
                                   << "second\r\n";
        QTest::newRow("a folder") << QStringList{folder} << folder << false << ""
                                  << "typed";
        QTest::newRow("a web link")
            << QStringList{"https://example.org/a"} << "https://example.org/a" << false << ""
            << "https://example.org/atyped";
        QTest::newRow("plain text") << QStringList{} << "words" << false << ""
                                    << "wordstyped";
        QTest::newRow("unsaved, No") << QStringList{one} << one << true << "no"
                                     << "first\r\n";
        QTest::newRow("unsaved, Escape") << QStringList{one} << one << true << "escape"
                                         << "typed";
    }
    void droppedFiles()
    {
        QFETCH(QStringList, urls);
        QFETCH(QString, plainText);
        QFETCH(bool, unsaved);
        QFETCH(QString, answer);
        QFETCH(QString, text);
        writeBytes(dir.filePath("one.txt"), "first\r\n");
        writeBytes(dir.filePath("two.txt"), "second\r\n");
        Window w(nullptr);
        w.form.setNewsText("typed");
        if (!unsaved)
            w.form.document().MarkClean();
        w.text->moveCursor(QTextCursor::Start);
        QMimeData mime;
        QList<QUrl> list;
        for (const QString &u : urls)
            list << QUrl(u);
        mime.setUrls(list);
        mime.setText(plainText);
        bool asked = false;
        if (!answer.isEmpty()) {
            whenModalShows([&](QWidget *box) {
                asked = true;
                if (answer == "no")
                    qobject_cast<QMessageBox *>(box)->button(QMessageBox::No)->click();
                else
                    QTest::keyClick(box, Qt::Key_Escape);
            });
        }
        // Dropped at the start of the text area, then the event loop runs on.
        QWidget *target = w.text->viewport();
        const QPointF at = w.text->cursorRect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QTRY_COMPARE(w.form.newsText(), text);
        QTest::qWait(100);
        QCOMPARE(w.form.newsText(), text);
        QCOMPARE(asked, !answer.isEmpty());
        const bool loaded = text.endsWith("\r\n");
        QCOMPARE(w.form.dialog().FileName.empty(), !loaded);
        if (loaded)
            QCOMPARE(w.form.windowTitle(), kTitle);
    }
};

QTEST_MAIN(TestWritingAids)
#include "tst_writingaids.moc"
