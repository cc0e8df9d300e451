#pragma once

// What the benchmarks share: clocks, reports, generated news files and the
// window driven through its shortcuts.
#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

class Form1;
class NewsTextEdit;
class QTemporaryDir;

// Milliseconds of the monotonic clock.
double nowMs();

// Prints "name<TAB>median<TAB>min<TAB>max<TAB>unit".
void report(const char *name, std::vector<double> values, const char *unit = "ms");

// Lines of about 70 bytes of the words, each followed by a space, CR LF.
QByteArray linesOf(const QList<QByteArray> &words, qint64 size);

// Shift-JIS (Windows-932): kanji, kana, half-width katakana and ASCII.
QByteArray shiftJisNewsBytes(qint64 size);

// The same, one character in ten written as the second pair of its character,
// as Python's cp932 and older NEC and IBM tools write them: 髙 (EE E0), 纊
// (ED 40), IBM's Ⅰ (FA 4A) and row 87's ≒ (87 90).
QByteArray shiftJisSecondPairBytes(qint64 size);

// Windows-1252, with some bytes 0x80-0xFF.
QByteArray newsBytes(qint64 size);

// Lets the window finish its work: events, layout and a paint of the text area.
void settle(Form1 &form);

// Shows the window as at start; the text area has the focus.
NewsTextEdit *showWindow(Form1 &form);

// Milliseconds from Ctrl+L to the loaded text shown and the window idle.
double quickload(Form1 &form, NewsTextEdit *text);

// Writes the bytes, or ends the program saying why not.
void writeFile(const QString &path, const QByteArray &bytes);

// The program's peak resident memory so far.
double peakResidentMiB();

// A news file of that many bytes, in a folder of its own as news.txt.
QString makeNewsFile(const QTemporaryDir &dir, qint64 bytes);
