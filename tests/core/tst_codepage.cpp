#include "codepage.h"
#include "files.h"
#include "newsfile.h"
#include "qtside.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <map>

class TestCodePage : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void codePages_data()
    {
        QTest::addColumn<int>("number");
        for (const int number : CodePage::kNumbers) {
            if (!CodePage::get(number).isDoubleByte())
                QTest::addRow("%d", number) << number;
        }
    }
    void codePages()
    {
        QFETCH(int, number);
        const CodePage &page = CodePage::get(number);
        // Every byte but CR and LF comes back unchanged through a file, each
        // as a character of its own; undefined ones as U+F700 plus the byte.
        QByteArray all;
        for (int b = 0; b < 256; ++b) {
            if (b != '\r' && b != '\n')
                all.append(char(b));
        }
        all.append("\r\n");
        writeBytes(dir.filePath("all.txt"), all);
        QString loaded;
        QVERIFY(ReadNewsFile(dir.filePath("all.txt"), page,
                             [&loaded](const QString &slice) { loaded += slice; }));
        QCOMPARE(loaded, decoded(page, all));
        QVERIFY(WriteNewsFile(dir.filePath("back.txt"), loaded, page));
        QCOMPARE(readBytes(dir.filePath("back.txt")), all);

        // A character the code page lacks stops the save, named and located.
        const QString chinese = QString::fromUtf16(u"x\r\nab\u4E2D");
        const FileResult refused = WriteNewsFile(dir.filePath("no.txt"), chinese, page);
        QVERIFY(!refused);
        QCOMPARE(qtstd::string(refused.error),
                 QString::fromUtf16(u"Line 2, column 3: \"\u4E2D\" (U+4E2D) cannot be "
                                    u"stored in Windows-%1.")
                     .arg(number));
        QVERIFY(!QFileInfo::exists(dir.filePath("no.txt")));
    }

    // Input methods type precomposed Vietnamese letters; Windows-1258 has
    // them only as a letter and a combining mark.
    void vietnameseIsStoredDecomposed()
    {
        const CodePage &page = CodePage::get(1258);
        const QString typed = QString::fromUtf16(u"Vi\u1EC7t Nam \u1EDF \u0111\u00E2y");
        const FileResult r = WriteNewsFile(dir.filePath("vi.txt"), typed, page);
        QVERIFY2(r, qPrintable(qtstd::string(r.error)));
        QCOMPARE(readBytes(dir.filePath("vi.txt")),
                 QByteArray("Vi\xEA\xF2t Nam \xF5\xD2 \xF0\xE2y"));
        QVERIFY(!EncodeNewsText(typed, page).exact); // the bytes are not the very text
        // Neither way: refused.
        QVERIFY(!WriteNewsFile(dir.filePath("vi.txt"), QString::fromUtf16(u"\u1E9E"), page));
    }

    // The double-byte code pages: each row's bytes were written by another
    // converter (Python's cp932, gbk, cp949 and cp950 codecs), not this one.
    void doubleByte_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("outside"); // a character the code page lacks
        QTest::addColumn<QByteArray>("odd");  // bytes that start no character
        QTest::addColumn<QByteArray>("lead"); // a lead byte that 'A' would join
        const auto row = [](int number, const char *bytes, const char16_t *text,
                            const char16_t *outside, const QByteArray &odd, const char *lead) {
            QTest::addRow("%d", number) << number << QByteArray(bytes) << QString::fromUtf16(text)
                                        << QString::fromUtf16(outside) << odd << QByteArray(lead);
        };
        // Odd bytes: an undefined pair, a lead before a byte that cannot
        // trail it, a byte no table has, and a lead byte at a line's end.
        row(932, "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x6A\x83\x85\x81\x5B\x83\x58",
            u"\u65E5\u672C\u8A9E\u306E\u30CB\u30E5\u30FC\u30B9", u"\uD55C",
            QByteArray::fromHex("85 40 7C 81 20 7C 80 A0 FD 7C 82 0D 0A"), "\x89");
        row(936, "\xD0\xC2\xCE\xC5\xB1\xA8\xB5\xC0", u"\u65B0\u95FB\u62A5\u9053", u"\uD55C",
            QByteArray::fromHex("81 7F 7C 81 20 7C FF 7C 82 0D 0A"), "\xB0");
        row(949, "\xB4\xBA\xBD\xBA\x20\xBA\xB8\xB5\xB5", u"\uB274\uC2A4 \uBCF4\uB3C4", u"\u0E01",
            QByteArray::fromHex("C9 41 7C 81 20 7C FF 7C 82 0D 0A"), "\xB0");
        row(950, "\xB7\x73\xBB\x44\xB3\xF8\xBE\xC9", u"\u65B0\u805E\u5831\u5C0E", u"\uD55C",
            QByteArray::fromHex("A3 FE 7C 85 A0 7C FF 7C 82 0D 0A"), "\xB0");
    }
    void doubleByte()
    {
        QFETCH(int, number);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, outside);
        QFETCH(QByteArray, odd);
        QFETCH(QByteArray, lead);
        const CodePage &page = CodePage::get(number);
        // Through a file and back without an edit, every odd byte kept.
        const QByteArray file = bytes + "\r\n" + odd + bytes + "\r\n";
        writeBytes(dir.filePath("odd.txt"), file);
        QString loaded;
        QVERIFY(ReadNewsFile(dir.filePath("odd.txt"), page,
                             [&loaded](const QString &slice) { loaded += slice; }));
        QVERIFY(loaded.startsWith(text + "\r\n") && loaded.endsWith(text + "\r\n"));
        QCOMPARE(loaded, decoded(page, file));
        QVERIFY(WriteNewsFile(dir.filePath("back.txt"), loaded, page));
        QCOMPARE(readBytes(dir.filePath("back.txt")), file);

        const FileResult refused = WriteNewsFile(dir.filePath("no.txt"), text + outside, page);
        QCOMPARE(
            qtstd::string(refused.error),
            QString("Line 1, column %1: \"%2\" (U+%3) cannot be stored in "
                    "Windows-%4.")
                .arg(text.size() + 1)
                .arg(outside)
                .arg(QString::number(outside.at(0).unicode(), 16).toUpper().rightJustified(4, u'0'))
                .arg(number));

        // A lead byte kept alone (it ended a line), then an edit puts "A"
        // right after it: written, the two would read back as one character.
        const QString joined = "ok\r\n" + decoded(page, lead) + "A";
        const FileResult refused2 = WriteNewsFile(dir.filePath("no.txt"), joined, page);
        QVERIFY2(qtstd::string(refused2.error).startsWith("Line 2, column 1: the kept byte"),
                 qPrintable(qtstd::string(refused2.error)));
        QVERIFY(!QFileInfo::exists(dir.filePath("no.txt")));
    }

    // A file's second pairs through edits of its text: what a save writes,
    // the bytes written out by hand. An edit is a place in the text as loaded
    // (after the edits before it), characters removed there and text put in.
    void pairsThroughEdits_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QStringList>("edits");  // at, removed, inserted, ...
        QTest::addColumn<QByteArray>("written"); // or the start of the refusal
        // 髙橋さん as Python writes it (EE E0 for 髙), then IBM's Ⅰ (FA 4A),
        // row 87's ≒ (87 90), the NEC-selected 纊 (ED 40) and A.
        const QByteArray ja = QByteArray::fromHex("EEE08BB482B382F10D0A FA4A8790ED40410D0A");
        const auto row = [](const char *name, int number, const QByteArray &saved,
                            const QStringList &edits, const char *written) {
            QTest::newRow(name) << number << saved << edits
                                << (written[0] == '!' ? QByteArray(written + 1)
                                                      : QByteArray::fromHex(written));
        };
        row("no edit", 932, ja, {}, "EEE08BB482B382F10D0A FA4A8790ED40410D0A");
        row("insert before", 932, ja, {"0", "0", "X"}, "58EEE08BB482B382F10D0A FA4A8790ED40410D0A");
        row("delete the character", 932, ja, {"0", "1", ""}, "8BB482B382F10D0A FA4A8790ED40410D0A");
        row("undo its deletion", 932, ja, {"0", "1", "", "0", "0", u8"\u9AD9"},
            "EEE08BB482B382F10D0A FA4A8790ED40410D0A");
        row("Delete after it", 932, ja, {"1", "1", ""}, "EEE082B382F10D0A FA4A8790ED40410D0A");
        row("typed as Windows writes", 932, ja, {"9", "0", u8"\u9AD9\u2160\u2252"},
            "EEE08BB482B382F10D0A FA4A8790ED40 FBFC 8754 81E0 410D0A");
        row("a line above, a letter below", 932, ja, {"0", "0", u8"\u65B0\r\n", "12", "1", "B"},
            "90560D0A EEE08BB482B382F10D0A FA4A8790ED40420D0A");
        row("two edits in a line", 932, ja, {"6", "1", "x", "9", "1", "y"},
            "EEE08BB482B382F10D0A 788790ED40790D0A");
        row("a moved line", 932, ja, {"0", "6", "", "6", "0", u8"\u9AD9\u6A4B\u3055\u3093\r\n"},
            "87 54 81E0 FA5C 410D0A EEE08BB482B382F10D0A");
        // Too long a line to compare every character with every other: the
        // equal characters at either end of the edit keep their pairs.
        const QByteArray longLine = "\xED\x40" + QByteArray(3000, 'a') + "\xED\x40\r\n";
        QTest::newRow("a long line")
            << 932 << longLine << QStringList{"1", "0", "X"} << "\xED\x40X" + longLine.sliced(2);
        row("950 typed", 950, QByteArray::fromHex("F9F9A2A40D0AA2CC410D0A"),
            {"2", "0", u8"\u2550", "7", "0", u8"\u5341"}, "F9F9A2A4A2A40D0AA2CC41A4510D0A");
        // A kept lead byte that an edit put before a character: the pair is
        // looked up with the byte written after it.
        row("932 joins a second pair", 932, QByteArray::fromHex("820D0AEEE00D0A"), {"1", "2", ""},
            "!Line 1, column 1: the kept byte 82 ");
        row("932 no join with the typed pair", 932, QByteArray::fromHex("820D0A"),
            {"1", "2", u8"\u9AD9"}, "82FBFC");
        row("950 no join with the second pair", 950, QByteArray::fromHex("A30D0AF9F90D0A"),
            {"1", "2", ""}, "A3F9F90D0A");
        row("950 joins the typed pair", 950, QByteArray::fromHex("A30D0A"), {"1", "2", u8"\u2550"},
            "!Line 1, column 1: the kept byte A3 ");
    }
    void pairsThroughEdits()
    {
        QFETCH(int, number);
        QFETCH(QByteArray, saved);
        QFETCH(QStringList, edits);
        QFETCH(QByteArray, written);
        const CodePage &page = CodePage::get(number);
        QString text = decoded(page, saved);
        for (qsizetype i = 0; i + 2 < edits.size(); i += 3)
            text.replace(edits[i].toInt(), edits[i + 1].toInt(), edits[i + 2]);
        const QString path = dir.filePath("pairs.txt");
        QFile::remove(path);
        const FileResult r = WriteNewsFile(path, text, page, {}, qtstd::view(saved));
        if (!r) {
            QVERIFY2(qtstd::string(r.error).startsWith(QString::fromLatin1(written)),
                     qPrintable(qtstd::string(r.error)));
            QVERIFY(!QFileInfo::exists(path));
            return;
        }
        QCOMPARE(readBytes(path).toHex(' '), written.toHex(' '));
        QCOMPARE(decoded(page, readBytes(path)), text);
    }

    // Every byte and pair of every code page against tables read now, not
    // the program's: glibc's charmaps (Debian's locales) and, where glibc has
    // no character, Python's codecs. Each character they give reads as it and
    // is written as the pair glibc writes (not one it marks %IRREVERSIBLE%).
    // The only other characters are Windows' own additions, written out here:
    // a byte 0x80 to 0x9F that both leave out is the control character of the
    // same number, and each run below goes, in the order of the bytes or pairs
    // they leave out, to consecutive characters. Every other byte is kept.
    void tablesAgreeWithIndependentOnes_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("charmap");
        QTest::addColumn<QList<int>>("runs"); // first code, last code, first character
        const QString dir = "/usr/share/i18n/charmaps/";
        const auto row = [&dir](int number, const char *charmap, const QList<int> &runs) {
            QTest::addRow("%d", number) << number << dir + charmap + ".gz" << runs;
        };
        // clang-format off
        row(874, "IBM874", {0xDB, 0xDE, 0xF8C1, 0xFC, 0xFF, 0xF8C5});
        row(1250, "CP1250", {});
        row(1251, "CP1251", {});
        row(1252, "CP1252", {});
        row(1253, "CP1253", {0xAA, 0xAA, 0xF8F9, 0xD2, 0xD2, 0xF8FA, 0xFF, 0xFF, 0xF8FB});
        row(1254, "CP1254", {});
        row(1255, "CP1255", {0xCA, 0xCA, 0x05BA, 0xD9, 0xDF, 0xF88D, 0xFB, 0xFC, 0xF894,
                             0xFF, 0xFF, 0xF896});
        row(1256, "CP1256", {});
        row(1257, "CP1257", {0xA1, 0xA1, 0xF8FC, 0xA5, 0xA5, 0xF8FD});
        row(1258, "CP1258", {});
        row(932, "WINDOWS-31J", {});
        // Three runs a line.
        row(936, "GBK", {0xFF, 0xFF, 0xF8F5, 0xA140, 0xA2A0, 0xE4C6, 0xA2AB, 0xA2FE, 0xE766,
                         0xA340, 0xA4A0, 0xE586, 0xA4F4, 0xA4FE, 0xE772, 0xA540, 0xA5A0, 0xE646,
                         0xA5F7, 0xA5FE, 0xE77D, 0xA640, 0xA6A0, 0xE6A6, 0xA6B9, 0xA6FE, 0xE785,
                         0xA740, 0xA7A0, 0xE706, 0xA7C2, 0xA9FE, 0xE7A0, 0xAAA1, 0xAFFE, 0xE000,
                         0xD7FA, 0xD7FE, 0xE810, 0xF8A1, 0xFDFE, 0xE234, 0xFE50, 0xFEA0, 0xE815,
                         0xFEA1, 0xFEFE, 0xE468});
        row(949, "CP949", {0x80, 0x80, 0x80, 0xFF, 0xFF, 0xF8F7, 0xC9A1, 0xFEFE, 0xE000});
        row(950, "BIG5", {0xFF, 0xFF, 0xF8F8, 0x8140, 0x8DFE, 0xEEB8, 0x8E40, 0xA0FE, 0xE311,
                          0xFA40, 0xFEFE, 0xE000});
        // clang-format on
    }
    void tablesAgreeWithIndependentOnes()
    {
        QFETCH(int, number);
        QFETCH(QString, charmap);
        QFETCH(QList<int>, runs);
        QProcess gzip;
        gzip.start("gzip", {"-dc", charmap});
        QVERIFY2(gzip.waitForFinished(60000) && gzip.exitCode() == 0,
                 qPrintable(charmap + " (Debian's locales) cannot be read"));
        // <U7E8A>     /xed/x40     <CJK>, perhaps after %IRREVERSIBLE%
        const QRegularExpression entry(
            "^(%IRREVERSIBLE%)?<U([0-9A-Fa-f]{4})>\\s+/x([0-9a-f]{2})(?:/x([0-9a-f]{2}))?\\s");
        std::map<int, char16_t> glibc;          // byte or pair, character
        std::map<char16_t, QByteArray> written; // character, the bytes glibc writes
        int irreversible = 0;
        for (const QByteArray &line : gzip.readAllStandardOutput().split('\n')) {
            const QRegularExpressionMatch m = entry.match(QString::fromLatin1(line));
            if (!m.hasMatch())
                continue;
            const char16_t c = char16_t(m.captured(2).toInt(nullptr, 16));
            QByteArray bytes =
                QByteArray::fromHex(m.captured(3).toLatin1() + m.captured(4).toLatin1());
            glibc[bytes.size() == 2 ? uchar(bytes[0]) << 8 | uchar(bytes[1]) : uchar(bytes[0])] = c;
            if (!m.hasCaptured(1) || m.captured(1).isEmpty())
                written[c] = bytes;
            else
                ++irreversible;
        }
        QVERIFY(glibc.size() > 120);
        const CodePage &page = CodePage::get(number);
        // Some character has a pair that is not written exactly where glibc says so.
        QCOMPARE(page.hasSecondPairs(), irreversible > 0);
        // Python's codec, for what glibc leaves out: "code character" lines.
        QProcess python;
        python.start("/usr/bin/python3",
                     {"-c",
                      "import sys\nn = int(sys.argv[1])\n"
                      "for code in list(range(256)) + list(range(0x8100, 0x10000)):\n"
                      "    b = bytes([code]) if code < 256 else code.to_bytes(2, 'big')\n"
                      "    try: s = b.decode('cp%d' % n)\n"
                      "    except UnicodeDecodeError: continue\n"
                      "    if len(s) == 1: print(code, ord(s))\n",
                      QString::number(number)});
        QVERIFY2(python.waitForFinished(60000) && python.exitCode() == 0,
                 "Python's codecs (Debian's python3) cannot be read");
        for (const QByteArray &line : python.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> cell = line.split(' ');
            if (cell.size() == 2 && !glibc.count(cell[0].toInt()))
                glibc[cell[0].toInt()] = char16_t(cell[1].toInt());
        }
        const auto bytesOf = [](int code) {
            QByteArray bytes;
            if (code >= 0x100)
                bytes.append(char(code >> 8));
            return bytes.append(char(code & 0xFF));
        };
        qsizetype run = 0;
        int next = -1; // the character the next cell of the run reads as
        for (int code = 0; code <= 0x10000; ++code) {
            if (code >= 0x100 && code < 0x10000 && (code < 0x8140 || !page.isDoubleByte()))
                continue;
            while (run < runs.size() && code > runs[run + 1]) {
                // The whole run was read: its last cell was its last character.
                QVERIFY2(next >= 0 && encoded(page, QString(QChar(next))) == bytesOf(runs[run + 1]),
                         qPrintable(QString::number(runs[run + 1], 16)));
                run += 3;
                next = -1;
            }
            if (code == 0x10000)
                break;
            const QByteArray bytes = bytesOf(code);
            const QString read = decoded(page, bytes);
            const auto found = glibc.find(code);
            const bool inRun = run < runs.size() && code >= runs[run];
            const QString where = QString::number(code, 16).toUpper();
            if (found != glibc.end()) {
                QVERIFY2(read == QString(QChar(found->second)), qPrintable(where));
                const auto w = written.find(found->second);
                QVERIFY2(encoded(page, read) == (w != written.end() ? w->second : bytes),
                         qPrintable(where));
            } else if (code >= 0x80 && code < 0xA0 && !page.isDoubleByte()) {
                QVERIFY2(read == QString(QChar(code)), qPrintable(where));
            } else if (inRun && read.size() == 1) {
                next = next < 0 ? runs[run + 2] : next + 1;
                QVERIFY2(read.at(0).unicode() == next, qPrintable(where));
                QCOMPARE(encoded(page, read), bytes);
            } else if (code < 0x100) {
                // Not a character: kept as a byte of its own, U+F700 plus the
                // byte (950, whose table has U+F6B1 to U+F848: U+F7C9 plus it).
                const int kept = (number == 950 ? 0xF7C9 : 0xF700) + code;
                QVERIFY2(read == QString(QChar(kept)), qPrintable(where));
            } else {
                QVERIFY2(read.size() == 2, qPrintable(where));
            }
        }
        QCOMPARE(run, runs.size());
    }
};

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
