#include "benchaids.h"

#include "benchsupport.h"
#include "finddialog.h"
#include "form1.h"
#include "newstextedit.h"
#include "spelling.h"

#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {
// Processor time of the program so far, user and system.
double processorMs()
{
    struct rusage used {};
    getrusage(RUSAGE_SELF, &used);
    return (used.ru_utime.tv_sec + used.ru_stime.tv_sec) * 1e3 +
           (used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e3;
}
} // namespace

// A paragraph of 200 KB on one line, the English dictionary: a key typed in
// its middle, and the processor time of a second of idling once it is marked.
int benchParagraph(int runs)
{
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLocale(LocaleName::parse("C"));
    if (!checker) {
        std::fprintf(stderr, "no English dictionary\n");
        return 1;
    }
    // Some words the dictionary does not know, as in a real news text.
    QByteArray line = linesOf({"station", "relay", "pilots", "Kessa", "ore", "prices", "dock",
                               "stattion", "Tarn", "cycle", "news"},
                              200'000);
    line.replace("\r\n", "");
    Form1 form;
    NewsTextEdit *text = showWindow(form);
    text->setSpellChecker(checker.get());
    form.setNewsText(QString::fromLatin1(line));
    QTextCursor middle(text->document());
    middle.setPosition(int(line.size() / 2));
    text->setTextCursor(middle);
    settle(form);
    std::vector<double> key, idle;
    for (int run = 0; run < runs; ++run) {
        double t0 = nowMs();
        QTest::keyClick(text, Qt::Key_X);
        settle(form);
        key.push_back(nowMs() - t0);
        t0 = nowMs();
        const double cpu0 = processorMs();
        QEventLoop idling;
        QTimer::singleShot(1000, &idling, &QEventLoop::quit);
        idling.exec();
        idle.push_back(100 * (processorMs() - cpu0) / (nowMs() - t0));
    }
    report("200 KB one-line paragraph keystroke, spelling marks", key);
    report("200 KB one-line paragraph idle, spelling marks", idle, "% CPU");

    // Words the dictionary has never seen (a text in another language, say):
    // the paragraph put in and a key typed at once, a new checker each run.
    QRandomGenerator rng(99);
    QString unseen;
    while (unseen.size() < 200'000) {
        for (int i = 4 + rng.bounded(6); i > 0; --i)
            unseen += QChar(u'a' + rng.bounded(26));
        unseen += u' ';
    }
    std::vector<double> shown, first;
    for (int run = 0; run < runs; ++run) {
        const std::unique_ptr<SpellChecker> fresh = SpellChecker::forLocale(LocaleName::parse("C"));
        text->setSpellChecker(fresh.get());
        double t0 = nowMs();
        form.setNewsText(unseen);
        settle(form);
        shown.push_back(nowMs() - t0);
        t0 = nowMs();
        QTest::keyClick(text, Qt::Key_X);
        settle(form);
        first.push_back(nowMs() - t0);
        text->setSpellChecker(nullptr);
    }
    report("200 KB paragraph of unseen words put in and shown", shown);
    report("200 KB paragraph of unseen words, the first key", first);
    return 0;
}

// The writing aids on a 50 MB news file in the window: a keystroke and a page
// scroll with and without the spelling marks, Find next (F3) anywhere in the
// text, and Replace all of 100,000 matches.
int benchAids(int runs)
{
    QByteArray bytes = newsBytes(50'000'000);
    // 100,000 lines end in a word found nowhere else.
    QByteArray marked;
    marked.reserve(bytes.size() + 800'000);
    int added = 0;
    qsizetype line = 0;
    for (const QByteArray &l : bytes.split('\n')) {
        marked += l;
        if (l.isEmpty())
            continue;
        marked.chop(1); // the CR
        if (line++ % 6 == 0 && added < 100'000) {
            marked += " zircon";
            ++added;
        }
        marked += "\r\n";
    }
    QTemporaryDir dir;
    writeFile(dir.filePath("news.txt"), marked);
    QDir::setCurrent(dir.path());
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLocale(LocaleName::parse("C"));
    if (!checker) {
        std::fprintf(stderr, "no English dictionary\n");
        return 1;
    }
    Form1 form;
    NewsTextEdit *text = showWindow(form);
    quickload(form, text);
    text->moveCursor(QTextCursor::Start);
    std::vector<double> key[2], page[2], find, findCold, replace;
    for (int run = 0; run < runs; ++run) {
        for (int marks = 0; marks < 2; ++marks) {
            text->setSpellChecker(marks ? checker.get() : nullptr);
            settle(form);
            double t0 = nowMs();
            QTest::keyClick(text, Qt::Key_X);
            settle(form);
            key[marks].push_back(nowMs() - t0);
            t0 = nowMs();
            QTest::keyClick(text, Qt::Key_PageDown);
            settle(form);
            page[marks].push_back(nowMs() - t0);
        }
    }
    // Find next, for a word found only at the very end: from the Find window
    // (which takes the text for searching as it opens), and by F3 right
    // after an edit, when the text must be taken again.
    text->setSpellChecker(nullptr);
    auto *findWindow = form.findChild<FindDialog *>();
    auto *what = findWindow->findChild<QLineEdit *>();
    for (int run = 0; run < runs; ++run) {
        for (int afterEdit = 0; afterEdit < 2; ++afterEdit) {
            QTest::keyClick(text, Qt::Key_Y);
            text->moveCursor(QTextCursor::End);
            const QString word = QStringLiteral("quartz%1x%2").arg(run).arg(afterEdit);
            text->insertPlainText(" " + word);
            text->moveCursor(QTextCursor::Start);
            settle(form);
            double t0 = 0;
            if (afterEdit) {
                what->setText(word);
                t0 = nowMs();
                QTest::keyClick(text, Qt::Key_F3);
            } else {
                QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
                settle(form);
                what->setText(word);
                t0 = nowMs();
                QTest::keyClick(what, Qt::Key_Return);
            }
            settle(form);
            (afterEdit ? findCold : find).push_back(nowMs() - t0);
            if (text->textCursor().selectedText() != word)
                return 1;
            findWindow->hide();
        }
    }
    for (int run = 0; run < runs; ++run) {
        // Each time on the text as loaded.
        form.document().MarkClean();
        quickload(form, text);
        form.findChild<FindDialog *>()->showFor(true, QStringLiteral("zircon"));
        form.findChild<FindDialog *>()->findChildren<QLineEdit *>().value(1)->setText("basalt");
        QPushButton *all = nullptr;
        for (QPushButton *b : form.findChild<FindDialog *>()->findChildren<QPushButton *>()) {
            if (b->accessibleName() == "Replace all")
                all = b;
        }
        const double t0 = nowMs();
        all->click();
        settle(form);
        replace.push_back(nowMs() - t0);
        if (form.newsText().contains(QLatin1String("zircon")))
            return 1;
    }
    report("50 MB keystroke, no spelling marks", key[0]);
    report("50 MB keystroke, spelling marks", key[1]);
    report("50 MB page scroll, no spelling marks", page[0]);
    report("50 MB page scroll, spelling marks", page[1]);
    report("50 MB Find next from the Find window, word at the end", find);
    report("50 MB F3 right after an edit, word at the end", findCold);
    report("50 MB Replace all, 100,000 matches", replace);
    return 0;
}
