// Times the editor on generated news files, driving the real window
// in-process (offscreen), through its shortcuts.
//
//   heraldbench file MB RUNS [CODE_PAGE [second-pairs]]  Quickload, Quicksave, keystrokes,
//                                peak memory, in Windows-1252 or (932) Shift-JIS, there
//                                with one character in ten from a second pair
//   heraldbench shown MB RUNS    start-up + Quickload in a window on the X server
//                                of DISPLAY (runs itself as shown-child)
//   heraldbench save-progress MB RUNS  Ctrl+S to the progress window shown, in a
//                                window on the X server of DISPLAY (runs itself
//                                as save-progress-child)
//   heraldbench startup RUNS     process start to an idle, shown window
//   heraldbench rule RUNS        the change rule alone, on a 50 MB text
//   heraldbench odd PATH         any file: load, a keystroke, peak memory
//   heraldbench aids RUNS        spelling marks, Find next and Replace all, 50 MB
//   heraldbench news-file BYTES PATH  writes a generated news file
//   heraldbench odd-made KIND    the same for a made file: news-200MB, one-line-20MB,
//                                crlf-10MB, binary
//
// Each figure prints as "name<TAB>median<TAB>min<TAB>max<TAB>unit".
#include "filecommands.h"
#include "finddialog.h"
#include "form1.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "newstextedit.h"
#include "plainhost.h"
#include "spelling.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {
double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

void report(const char *name, std::vector<double> values, const char *unit = "ms")
{
    std::sort(values.begin(), values.end());
    const double median = values[values.size() / 2];
    std::printf("%s\t%.3f\t%.3f\t%.3f\t%s\n", name, median, values.front(), values.back(), unit);
    std::fflush(stdout);
}

// Lines of about 70 bytes of the words, each followed by a space, CR LF.
QByteArray linesOf(const QList<QByteArray> &words, qint64 size)
{
    QRandomGenerator rng(1234);
    QByteArray out;
    out.reserve(size + 100);
    while (out.size() < size) {
        qsizetype line = 0;
        while (line < 70) {
            const QByteArray &w = words[rng.bounded(int(words.size()))];
            out += w;
            out += ' ';
            line += w.size() + 1;
        }
        out += "\r\n";
    }
    return out;
}

// Shift-JIS (Windows-932): kanji, kana, half-width katakana and ASCII.
QByteArray shiftJisNewsBytes(qint64 size)
{
    return linesOf({"\x93\x8c\x8b\x9e", "\x83\x6a\x83\x85\x81\x5b\x83\x58", "\x91\xac\x95\xf1",
                    "\x92\x86\x8c\x70\x8b\xc7", "\x89\xbf\x8a\x69", "\xb1\xb2\xb3", "ore", "12",
                    "\x82\xcc", "\x93\xfc\x8d\x60"},
                   size);
}

// The same, one character in ten written as the second pair of its character,
// as Python's cp932 and older NEC and IBM tools write them: 髙 (EE E0), 纊
// (ED 40), IBM's Ⅰ (FA 4A) and row 87's ≒ (87 90).
QByteArray shiftJisSecondPairBytes(qint64 size)
{
    return linesOf({"\x93\x8c\x8b\x9e", "\x83\x6a\x83\x85\x81\x5b\x83\x58", "\x91\xac\x95\xf1",
                    "\x92\x86\x8c\x70\x8b\xc7", "\x89\xbf\x8a\x69", "\xb1\xb2\xb3", "ore", "12",
                    "\x82\xcc", "\x93\xfc\x8d\x60", "\xee\xe0\x8b\xb4", "\xed\x40\x87\x90",
                    "\xfa\x4a"},
                   size);
}

// Windows-1252, with some bytes 0x80-0xFF.
QByteArray newsBytes(qint64 size)
{
    return linesOf({"station", "relay", "pilots", "Kessa", "ore", "prices", "dock", "caf\xE9",
                    "\x80"
                    "12",
                    "na\xEFve", "\xA0", "r\xE9sum\xE9", "Tarn", "cycle",
                    "\xAB"
                    "quote\xBB",
                    "news"},
                   size);
}

// Lets the window finish its work: events, layout and a paint of the text area.
void settle(Form1 &form)
{
    QCoreApplication::processEvents();
    form.findChild<NewsTextEdit *>("Text")->viewport()->repaint();
    QCoreApplication::processEvents();
}

// Shows the window as at start; the text area has the focus.
NewsTextEdit *showWindow(Form1 &form)
{
    form.Form_Load();
    form.show();
    settle(form);
    auto *text = form.findChild<NewsTextEdit *>("Text");
    text->setFocus();
    return text;
}

// Milliseconds from Ctrl+L to the loaded text shown and the window idle.
double quickload(Form1 &form, NewsTextEdit *text)
{
    const double t0 = nowMs();
    QTest::keyClick(text, Qt::Key_L, Qt::ControlModifier);
    settle(form);
    return nowMs() - t0;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A news file of that many bytes, in a folder of its own as news.txt.
QString makeNewsFile(const QTemporaryDir &dir, qint64 bytes)
{
    const QString path = dir.filePath("news.txt");
    writeFile(path, newsBytes(bytes));
    return path;
}

// A news file in the code page (1252 or 932) of MB megabytes: load, save,
// keystrokes, memory and the reader alone. secondPairs: in 932, one character
// in ten read from a second pair.
int benchFile(int megabytes, int runs, int codePageNumber, bool secondPairs)
{
    QTemporaryDir dir;
    const qint64 bytes = qint64(megabytes) * 1000 * 1000;
    writeFile(dir.filePath("news.txt"),
              codePageNumber != 932 ? newsBytes(bytes)
              : secondPairs         ? shiftJisSecondPairBytes(bytes)
                                    : shiftJisNewsBytes(bytes));
    QDir::setCurrent(dir.path());
    const CodePage &page = CodePage::get(codePageNumber);
    const QByteArray prefix =
        QByteArray::number(megabytes) + " MB " +
        (codePageNumber == 1252 ? QByteArray() : page.name().toLatin1() + ' ') +
        (secondPairs ? "second pairs " : "");

    std::vector<double> read, load, save, key, same;
    double peakAfterLoad = 0;
    for (int run = 0; run < runs; ++run) {
        Form1 form(page);
        NewsTextEdit *text = showWindow(form);
        load.push_back(quickload(form, text));
        if (run == 0)
            peakAfterLoad = peakResidentMiB();

        double t0 = nowMs();
        QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
        save.push_back(nowMs() - t0);

        if (megabytes >= 10) {
            text->moveCursor(QTextCursor::End);
            settle(form);
            t0 = nowMs();
            QTest::keyClick(text, Qt::Key_X);
            settle(form);
            key.push_back(nowMs() - t0);

            // Against a saved text of the same length, the rule must compare it all.
            form.document().MarkClean();
            text->moveCursor(QTextCursor::Left, QTextCursor::KeepAnchor);
            t0 = nowMs();
            QTest::keyClick(text, Qt::Key_Y);
            settle(form);
            same.push_back(nowMs() - t0);
        }
        form.document().MarkClean();
    }
    // Reading and decoding alone, without the text area.
    for (int run = 0; run < runs; ++run) {
        QString text;
        QByteArray bytes;
        const double t0 = nowMs();
        ReadNewsFile(
            dir.filePath("news.txt"), page, [&text](const QString &slice) { text += slice; },
            bytes);
        read.push_back(nowMs() - t0);
    }
    report((prefix + "read and decode").constData(), read);
    report((prefix + "Quickload to idle").constData(), load);
    report((prefix + "Quicksave").constData(), save);
    if (!key.empty()) {
        report((prefix + "keystroke at end").constData(), key);
        report((prefix + "same-length edit").constData(), same);
    }
    report((prefix + "peak resident memory after load").constData(), {peakAfterLoad}, "MiB");
    return 0;
}

int benchRule(int runs)
{
    PlainDocument plain;
    PlainHost &host = plain.host;
    NewsDocument &doc = plain.document;
    host.textValue = QString(50'000'000, u'a');
    doc.MarkClean();
    std::vector<double> changed, same;
    for (int run = 0; run < runs; ++run) {
        host.textValue.append(u'b');
        double t0 = nowMs();
        doc.TextChanged();
        changed.push_back((nowMs() - t0) * 1000.0);
        host.textValue.chop(1);
        host.textValue[host.textValue.size() - 1] = u'c';
        t0 = nowMs();
        doc.TextChanged();
        same.push_back((nowMs() - t0) * 1000.0);
        host.textValue[host.textValue.size() - 1] = u'a';
    }
    report("50 MB change rule, length changed", changed, "us");
    report("50 MB change rule, same length", same, "us");
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
    const std::unique_ptr<SpellChecker> checker = SpellChecker::forLocale(LocaleName::parse(u"C"));
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
        if (form.text().contains(QLatin1String("zircon")))
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

// Any file through the real window: the load, a keystroke at the end, memory.
int benchOddFile(const QString &path)
{
    QTemporaryDir dir;
    QFile::link(QFileInfo(path).absoluteFilePath(), dir.filePath("news.txt"));
    QDir::setCurrent(dir.path());
    Form1 form;
    NewsTextEdit *text = showWindow(form);
    const double load = quickload(form, text);
    // Without building a large text, which would count in the peak.
    const QString error = FileCommands::loadErrorText();
    const bool failed = form.textLength() == error.size() && form.text() == error;
    text->moveCursor(QTextCursor::End);
    settle(form);
    const double t0 = nowMs();
    QTest::keyClick(text, Qt::Key_X);
    settle(form);
    const double key = nowMs() - t0;
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    std::printf("%s: %lld bytes, load %s in %.0f ms, keystroke %.1f ms, peak %.0f MiB\n",
                name.constData(), (long long)QFileInfo(path).size(), failed ? "FAILED" : "ok", load,
                key, peakResidentMiB());
    return 0;
}

// The odd files, made here: a 200 MB news file, one 20 MB line, 10 MB of only
// CR LF, and a program (this one).
int benchMadeFile(const QString &kind)
{
    if (kind == "binary")
        return benchOddFile(QCoreApplication::applicationFilePath());
    QTemporaryDir dir;
    const QString path = dir.filePath(kind + ".txt");
    if (kind == "news-200MB")
        writeFile(path, newsBytes(200'000'000));
    else if (kind == "one-line-20MB")
        writeFile(path, QByteArray("news ").repeated(4'000'000));
    else if (kind == "crlf-10MB")
        writeFile(path, QByteArray("\r\n").repeated(5'000'000));
    else
        return 2;
    return benchOddFile(path);
}

// The child: prints how long it took from the parent's start stamp to idle.
int startupChild(double startedAt)
{
    Form1 form;
    form.Form_Load();
    form.show();
    QTimer::singleShot(0, &form, [&] {
        std::printf("%.3f\n", nowMs() - startedAt);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

// The child of a shown-window run: starts, shows the window on the real X
// server, presses Ctrl+L, and prints the milliseconds from the parent's start
// stamp to an idle window with the text shown, then those of the Quickload.
int shownChild(double startedAt)
{
    Form1::useWindowFont();
    Form1 form;
    NewsTextEdit *text = showWindow(form);
    if (!QTest::qWaitForWindowExposed(&form, 10000))
        return 1;
    const double loadStart = nowMs();
    QTest::keyClick(text, Qt::Key_L, Qt::ControlModifier);
    settle(form);
    const double end = nowMs();
    if (form.document().Unsaved() || form.textLength() == 0)
        return 1;
    std::printf("%.3f %.3f\n", end - startedAt, end - loadStart);
    std::fflush(stdout);
    return 0;
}

// Remembers when the first window named "Progress" is shown.
class ProgressSeen : public QObject {
public:
    double at = -1;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (at < 0 && event->type() == QEvent::Show && watched->objectName() == "Progress")
            at = nowMs();
        return false;
    }
};

// The child of a save-progress run: Quickload, a keystroke, then Ctrl+S;
// prints the milliseconds from Ctrl+S to the progress window shown, and to
// the end of the save.
int saveProgressChild()
{
    Form1::useWindowFont();
    Form1 form;
    NewsTextEdit *text = showWindow(form);
    if (!QTest::qWaitForWindowExposed(&form, 10000))
        return 1;
    QTest::keyClick(text, Qt::Key_L, Qt::ControlModifier);
    settle(form);
    QTest::keyClick(text, Qt::Key_X);
    settle(form);
    ProgressSeen seen;
    qApp->installEventFilter(&seen);
    const double t0 = nowMs();
    QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
    const double end = nowMs();
    qApp->removeEventFilter(&seen);
    if (form.document().Unsaved())
        return 1;
    // -1: the save was over before any progress window was needed.
    std::printf("%.3f %.3f\n", seen.at < 0 ? -1.0 : seen.at - t0, end - t0);
    std::fflush(stdout);
    return 0;
}

// Runs a child in a window on the X server of DISPLAY, in the folder, and
// appends the two figures it prints; false when it failed.
bool runShownChild(const QString &self, const QString &folder, const QStringList &arguments,
                   std::vector<double> &first, std::vector<double> &second, int timeoutMs)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(folder);
    child.start(self, arguments);
    if (!child.waitForFinished(timeoutMs) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    first.push_back(figures.value(0).toDouble());
    second.push_back(figures.value(1).toDouble());
    return true;
}

int benchSaveProgress(const QString &self, int megabytes, int runs)
{
    QTemporaryDir dir;
    makeNewsFile(dir, qint64(megabytes) * 1000 * 1000);
    std::vector<double> shown, total;
    for (int run = 0; run < runs; ++run) {
        if (!runShownChild(self, dir.path(), {"save-progress-child"}, shown, total, 600000))
            return 1;
    }
    const QByteArray prefix = "shown window, " + QByteArray::number(megabytes) + " MB ";
    report((prefix + "Ctrl+S to the progress window").constData(), shown);
    report((prefix + "Quicksave").constData(), total);
    return 0;
}

// Start-up plus Quickload of an MB news file, in a window shown on the X
// server of DISPLAY, as a user meets it.
int benchShown(const QString &self, int megabytes, int runs)
{
    QTemporaryDir dir;
    makeNewsFile(dir, qint64(megabytes) * 1000 * 1000);
    std::vector<double> total, load;
    for (int run = 0; run < runs; ++run) {
        if (!runShownChild(self, dir.path(), {"shown-child", QString::number(nowMs(), 'f', 3)},
                           total, load, 120000))
            return 1;
    }
    const QByteArray prefix = "shown window, " + QByteArray::number(megabytes) + " MB ";
    report((prefix + "start-up + Quickload").constData(), total);
    report((prefix + "Quickload alone").constData(), load);
    return 0;
}

int benchStartup(const QString &self, int runs)
{
    std::vector<double> times;
    QTemporaryDir empty;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setWorkingDirectory(empty.path());
        child.start(self, {"startup-child", QString::number(nowMs(), 'f', 3)});
        if (!child.waitForFinished(30000))
            return 1;
        times.push_back(child.readAllStandardOutput().trimmed().toDouble());
    }
    report("start-up to idle window", times);
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    const bool shown = argc > 1 && (std::strcmp(argv[1], "shown-child") == 0 ||
                                    std::strcmp(argv[1], "save-progress-child") == 0);
    if (!shown)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "shown-child")
        return shownChild(args.value(2).toDouble());
    if (mode == "shown")
        return benchShown(app.applicationFilePath(), args.value(2).toInt(),
                          args.value(3, "5").toInt());
    if (mode == "save-progress-child")
        return saveProgressChild();
    if (mode == "save-progress")
        return benchSaveProgress(app.applicationFilePath(), args.value(2).toInt(),
                                 args.value(3, "3").toInt());
    if (mode == "startup-child")
        return startupChild(args.value(2).toDouble());
    if (mode == "startup")
        return benchStartup(app.applicationFilePath(), args.value(2, "7").toInt());
    if (mode == "rule")
        return benchRule(args.value(2, "7").toInt());
    if (mode == "odd")
        return benchOddFile(args.value(2));
    if (mode == "odd-made")
        return benchMadeFile(args.value(2));
    if (mode == "news-file") {
        writeFile(args.value(3), newsBytes(args.value(2).toLongLong()));
        return 0;
    }
    if (mode == "aids")
        return benchAids(args.value(2, "5").toInt());
    if (mode == "file")
        return benchFile(args.value(2).toInt(), args.value(3, "5").toInt(),
                         args.value(4, "1252").toInt(), args.value(5) == "second-pairs");
    std::fprintf(stderr, "usage: heraldbench file MB [RUNS] | shown MB [RUNS] | startup [RUNS] | "
                         "rule [RUNS] | aids [RUNS] | news-file BYTES PATH | odd PATH | odd-made "
                         "news-200MB|one-line-20MB|crlf-10MB|binary\n");
    return 2;
}
