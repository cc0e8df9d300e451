// Times the editor on generated news files, driving the real window
// in-process (offscreen), through its shortcuts.
//
//   heraldbench file MB RUNS     Quickload, Quicksave, keystrokes, peak memory
//   heraldbench shown MB RUNS    start-up + Quickload in a window on the X server
//                                of DISPLAY (runs itself as shown-child)
//   heraldbench startup RUNS     process start to an idle, shown window
//   heraldbench rule RUNS        the change rule alone, on a 50 MB text
//   heraldbench odd PATH         any file: load, a keystroke, peak memory
//   heraldbench news-file BYTES PATH  writes a generated news file
//   heraldbench odd-made KIND    the same for a made file: news-200MB, one-line-20MB,
//                                crlf-10MB, binary
//
// Each figure prints as "name<TAB>median<TAB>min<TAB>max<TAB>unit".
#include "form1.h"
#include "filecommands.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "newstextedit.h"
#include "plainhost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

// Lines of about 70 characters, CR LF, with some bytes 0x80-0xFF.
QByteArray newsBytes(qint64 size)
{
    QRandomGenerator rng(1234);
    const QByteArray words[] = {"station",
                                "relay",
                                "pilots",
                                "Kessa",
                                "ore",
                                "prices",
                                "dock",
                                "caf\xE9",
                                "\x80"
                                "12",
                                "na\xEFve",
                                "\xA0",
                                "r\xE9sum\xE9",
                                "Tarn",
                                "cycle",
                                "\xAB"
                                "quote\xBB",
                                "news"};
    QByteArray out;
    out.reserve(size + 100);
    while (out.size() < size) {
        qsizetype line = 0;
        while (line < 70) {
            const QByteArray &w = words[rng.bounded(int(std::size(words)))];
            out += w;
            out += ' ';
            line += w.size() + 1;
        }
        out += "\r\n";
    }
    return out;
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

int benchFile(int megabytes, int runs)
{
    QTemporaryDir dir;
    makeNewsFile(dir, qint64(megabytes) * 1000 * 1000);
    QDir::setCurrent(dir.path());
    const QByteArray prefix = QByteArray::number(megabytes) + " MB ";

    std::vector<double> read, load, save, key, same;
    double peakAfterLoad = 0;
    for (int run = 0; run < runs; ++run) {
        Form1 form;
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
        ReadNewsFile(dir.filePath("news.txt"), CodePage::get(1252), [&text](const QString &slice) { text += slice; },
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

// Start-up plus Quickload of an MB news file, in a window shown on the X
// server of DISPLAY, as a user meets it.
int benchShown(const QString &self, int megabytes, int runs)
{
    QTemporaryDir dir;
    makeNewsFile(dir, qint64(megabytes) * 1000 * 1000);
    std::vector<double> total, load;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(dir.path());
        child.start(self, {"shown-child", QString::number(nowMs(), 'f', 3)});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            return 1;
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        total.push_back(figures.value(0).toDouble());
        load.push_back(figures.value(1).toDouble());
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
    const bool shown = argc > 1 && std::strcmp(argv[1], "shown-child") == 0;
    if (!shown)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == "shown-child")
        return shownChild(args.value(2).toDouble());
    if (mode == "shown")
        return benchShown(app.applicationFilePath(), args.value(2).toInt(), args.value(3, "5").toInt());
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
    if (mode == "file")
        return benchFile(args.value(2).toInt(), args.value(3, "5").toInt());
    std::fprintf(stderr, "usage: heraldbench file MB [RUNS] | shown MB [RUNS] | startup [RUNS] | "
                         "rule [RUNS] | news-file BYTES PATH | odd PATH | odd-made news-200MB|one-line-20MB|crlf-10MB|binary\n");
    return 2;
}
