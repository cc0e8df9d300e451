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
//   heraldbench paragraph RUNS   spelling marks in a 200 KB one-line paragraph
//   heraldbench news-file BYTES PATH  writes a generated news file
//   heraldbench odd-made KIND    the same for a made file: news-200MB, one-line-20MB,
//                                crlf-10MB, binary
//
// Each figure prints as "name<TAB>median<TAB>min<TAB>max<TAB>unit".
#include "benchaids.h"
#include "benchshown.h"
#include "benchsupport.h"
#include "filecommands.h"
#include "form1.h"
#include "newsdocument.h"
#include "newsfile.h"
#include "newstextedit.h"
#include "plainhost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// A news file in the code page (1252 or 932) of MB megabytes: load, save,
// keystrokes, memory and the reader alone. secondPairs: in 932, one character
// in ten read from a second pair.
int benchFile(int megabytes, int runs, int codePageNumber, bool secondPairs)
{
    QTemporaryDir dir;
    const qint64 bytes = qint64(megabytes) * 1000 * 1000;
    writeFile(dir.filePath("news.txt"), codePageNumber != 932 ? newsBytes(bytes)
                                        : secondPairs         ? shiftJisSecondPairBytes(bytes)
                                                              : shiftJisNewsBytes(bytes));
    QDir::setCurrent(dir.path());
    const CodePage &page = CodePage::get(codePageNumber);
    const QByteArray prefix =
        QByteArray::number(megabytes) + " MB " +
        (codePageNumber == 1252 ? QByteArray() : QByteArray::fromStdString(page.name()) + ' ') +
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
        const double t0 = nowMs();
        ReadNewsFile(qtstd::path(dir.filePath("news.txt")), page,
                     [&text](std::u16string_view slice) { text += qtstd::string(slice); });
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
    host.textValue = std::u16string(50'000'000, u'a');
    doc.MarkClean();
    std::vector<double> changed, same;
    for (int run = 0; run < runs; ++run) {
        host.textValue.push_back(u'b');
        double t0 = nowMs();
        doc.TextChanged();
        changed.push_back((nowMs() - t0) * 1000.0);
        host.textValue.pop_back();
        host.textValue.back() = u'c';
        t0 = nowMs();
        doc.TextChanged();
        same.push_back((nowMs() - t0) * 1000.0);
        host.textValue.back() = u'a';
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
    const QString error = qtstd::string(FileCommands::loadErrorText());
    const bool failed = form.textLength() == error.size() && form.newsText() == error;
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
    if (mode == "paragraph")
        return benchParagraph(args.value(2, "5").toInt());
    if (mode == "file")
        return benchFile(args.value(2).toInt(), args.value(3, "5").toInt(),
                         args.value(4, "1252").toInt(), args.value(5) == "second-pairs");
    std::fprintf(
        stderr,
        "usage: heraldbench file MB [RUNS] | shown MB [RUNS] | startup [RUNS] | "
        "rule [RUNS] | aids [RUNS] | paragraph [RUNS] | news-file BYTES PATH | odd PATH | odd-made "
        "news-200MB|one-line-20MB|crlf-10MB|binary\n");
    return 2;
}
