#include "benchsupport.h"

#include "form1.h"
#include "newstextedit.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

void report(const char *name, std::vector<double> values, const char *unit)
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
