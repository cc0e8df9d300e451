#include "files.h"
#include "form1.h"
#include "layout.h"
#include "newsfile.h"
#include "newstextedit.h"
#include "notice.h"
#include "picturebutton.h"
#include "qtfiledialog.h"
#include "qtruntimeservices.h"
#include "qtside.h"
#include "waits.h"
#include "windowfont.h"
#include "windowgeometry.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QThread>
#include <QTimer>

#include <functional>

#include <unistd.h>

namespace {
const QString kTitle = Form1::plainTitle();
const QString kNbsp = QString(QChar(0x00A0));

void pressButton(QWidget *box, QMessageBox::StandardButton which)
{
    auto *messageBox = qobject_cast<QMessageBox *>(box);
    QVERIFY(messageBox);
    messageBox->button(which)->click();
}

// Counts the events of one type that reach a widget while it lives.
class EventCounter : public QObject {
public:
    EventCounter(QObject *watched, QEvent::Type type, int &count)
        : m_watched(watched), m_type(type), m_count(count)
    {
        watched->installEventFilter(this);
    }
    ~EventCounter() override { m_watched->removeEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_count += event->type() == m_type;
        return false;
    }

private:
    QObject *m_watched;
    QEvent::Type m_type;
    int &m_count;
};
} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QTimer guard;
    QString path(const QString &name) const { return dir.filePath(name); }

    struct Window {
        Form1 form;
        NewsTextEdit *text = form.findChild<NewsTextEdit *>("Text");
        Window()
        {
            form.Form_Load();
            form.show();
            form.activateWindow();
            text->setFocus();
        }
    };

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        // No test waits on a window nobody closes: an unexpected modal window
        // is turned away after ten seconds and the test fails on what follows.
        guard.setInterval(10000);
        guard.callOnTimeout([] {
            if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                modal->reject();
        });
    }

    void init()
    {
        guard.start();
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(path(name));
    }

    void cleanup() { guard.stop(); }

    void layoutTable()
    {
        Window w;
        QCOMPARE(w.form.windowTitle(), kTitle);
        QCOMPARE(w.form.size(), QSize(532, 490));
        struct Row {
            const char *name;
            QRect px;
            QString caption, tip;
        };
        const Row rows[] = {
            {"cmd_Open", {8, 8, 153, 25}, "Load ...", "Ctrl + L to Quickload news.txt"},
            {"Image1", {168, 8, 25, 25}, {}, {}},
            {"Image2", {336, 8, 25, 25}, {}, {}},
            {"cmd_Save", {370, 8, 153, 25}, "Save as ...", "Ctrl + S to save current file"},
            {"Text", {5, 46, 522, 348}, {}, {}},
            {"Frame2", {5, 400, 353, 85}, "Info:", {}},
            {"Text1", {8, 16, 336, 60}, {}, {}},
            {"cmd_Exit", {368, 432, 153, 25}, "Exit", "Ctrl + E to exit the application"},
        };
        for (const Row &row : rows) {
            auto *widget = w.form.findChild<QWidget *>(row.name);
            QVERIFY2(widget, row.name);
            QCOMPARE(widget->geometry(), row.px);
            if (auto *button = qobject_cast<QPushButton *>(widget)) {
                QCOMPARE(button->text(), row.caption);
                QCOMPARE(button->toolTip(), row.tip);
            }
        }
        auto *frame = w.form.findChild<QGroupBox *>("Frame2");
        QCOMPARE(frame->title(), QString("Info:"));
        QVERIFY(!frame->toolTip().isEmpty());
        auto *info = w.form.findChild<QPlainTextEdit *>("Text1");
        QCOMPARE(info->parentWidget(), frame);
        QCOMPARE(info->document()->toRawText().replace(QChar::ParagraphSeparator, "\r\n"),
                 QString("The text window above has the same specifications as the news \r\n"
                         "window of Orbitane/Novaglide. \r\n"
                         "Here you can write your news and be sure it will be displayed the \r\n"
                         "same way as you see it here.\r\n"));
    }

    void tabWalksTheLayoutsOrder()
    {
        Window w;
        QTRY_COMPARE(QApplication::focusWidget(), w.text);
        const QStringList order{"Text", "cmd_Open", "cmd_Save", "Text1", "cmd_Exit", "Text"};
        QStringList forward{"Text"}, backward{"Text"};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget()->objectName();
        }
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward.prepend(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(forward, order);
        QCOMPARE(backward, order);
        QCOMPARE(w.form.newsText(), QString()); // no tab character typed
        QCOMPARE(w.form.windowTitle(), kTitle);
        // Typing that lands in the info box is not taken there and lost.
        auto *info = w.form.findChild<QPlainTextEdit *>("Text1");
        const QString infoText = info->toPlainText();
        QTest::keyClicks(info, "typed");
        QCOMPARE(info->toPlainText(), infoText);
    }

    // Drawn as laid out: each info line on one line, all of them in view, and
    // the buttons' captions whole; in Liberation Sans, or where it is missing
    // (a run of its own with only DejaVu's faces), in the toolkit's default.
    void windowFontFitsTheLayout()
    {
        const bool fallback = qEnvironmentVariableIsSet("HERALDPAD_EXPECT_FALLBACK_FONT");
        QCOMPARE(QFontDatabase::hasFamily("Liberation Sans"), !fallback);
        Form1::useWindowFont();
        Window w;
        if (!fallback)
            QCOMPARE(QApplication::font().family(), QString("Liberation Sans"));
        auto *info = w.form.findChild<QPlainTextEdit *>("Text1");
        QCOMPARE(info->document()->blockCount(), 5);
        for (QTextBlock b = info->document()->firstBlock(); b.isValid(); b = b.next()) {
            info->document()->documentLayout()->blockBoundingRect(b); // lays it out
            QCOMPARE(b.layout()->lineCount(), 1);
        }
        QVERIFY(info->document()->size().height() * info->fontMetrics().lineSpacing() <=
                info->viewport()->height());
        for (QPushButton *button : w.form.findChildren<QPushButton *>())
            QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width());
    }

    void pictures()
    {
        Window w;
        const QStringList names{"Image1", "Image2"};
        const QStringList spoken{"Quickload news.txt", "Quicksave"};
        for (int i = 0; i < 2; ++i) {
            auto *picture = w.form.findChild<PictureButton *>(names[i]);
            QVERIFY(picture);
            const QImage image = picture->pixmap().toImage();
            QCOMPARE(image.size(), QSize(25, 25));
            QCOMPARE(image.pixelColor(0, 0), QColor(236, 233, 216));
            QCOMPARE(picture->accessibleName(), spoken[i]);
            QCOMPARE(picture->focusPolicy(), Qt::NoFocus);
        }
        QVERIFY(!w.form.windowIcon().isNull());
    }

    void picturesRunTheQuickCommands()
    {
        writeBytes(path("news.txt"), "from disk\r\n");
        Window w;
        QTest::mouseClick(w.form.findChild<QWidget *>("Image1"), Qt::LeftButton);
        QCOMPARE(w.form.newsText(), QString("from disk\r\n"));
        QTest::keyClicks(w.text, "!");
        QTest::mouseClick(w.form.findChild<QWidget *>("Image2"), Qt::LeftButton);
        QCOMPARE(readBytes(path("news.txt")), QByteArray("!from disk\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle);
    }

    void textAreaWrapsLongLines()
    {
        Window w;
        QCOMPARE(w.text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(w.text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(w.text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        const QString line = QString("news ").repeated(60) + "\r\n";
        w.form.setNewsText(line);
        QCoreApplication::processEvents();
        QCOMPARE(w.text->document()->blockCount(), 2);
        QVERIFY(w.text->document()->firstBlock().layout()->lineCount() > 1);
        QCOMPARE(w.form.newsText(), line);
    }

    void typingMarksTheTitle()
    {
        Window w;
        QTest::keyClick(w.text, Qt::Key_A);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_B);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.windowTitle(), kTitle);
        QVERIFY(!w.form.document().Unsaved());

        QTest::keyClicks(w.text, "xy");
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), QString());
        QCOMPARE(w.form.windowTitle(), kTitle);                  // undone back to the saved text
        QTest::keyClick(w.text, Qt::Key_Y, Qt::ControlModifier); // redone, as on Windows
        QCOMPARE(w.form.newsText(), QString("xy"));
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);

        // The same across a loaded line break: the rule sees the new length.
        writeBytes(path("news.txt"), "a\r\nb\r\n");
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        w.text->moveCursor(QTextCursor::Down);
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QTest::keyClick(w.text, Qt::Key_Return);
        QCOMPARE(w.form.windowTitle(), kTitle);
    }

    void shortcuts()
    {
        writeBytes(path("news.txt"), "quick\r\n");
        Window w;
        // Not with other modifiers: Ctrl+Shift+L, Alt+L and a plain L load nothing.
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(w.text, Qt::Key_L, Qt::AltModifier);
        QTest::keyClick(w.text, Qt::Key_L);
        QVERIFY(!w.form.newsText().contains("quick"));
        QCOMPARE(qtstd::fileName(w.form.dialog().FileName), QString());
        w.form.setNewsText(QString());

        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), QString("quick\r\n"));
        QCOMPARE(qtstd::fileName(w.form.dialog().FileName), QDir::currentPath() + "/news.txt");

        QTest::keyClick(w.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.text, "more");
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(w.text, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(readBytes(path("news.txt")), QByteArray("quick\r\n"));
        const QString typed = w.form.newsText();
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), typed); // nothing typed for the key
        QCOMPARE(readBytes(path("news.txt")), typed.toLatin1());
        QVERIFY(typed.startsWith("quick\r\nmore"));
        QCOMPARE(w.form.windowTitle(), kTitle);

        // A load is not undoable.
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), typed + "\r\n");

        // Not from another window of the program.
        QTest::keyClicks(w.text, "q");
        QWidget other;
        other.show();
        QTest::keyClick(&other, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Backspace);

        QSignalSpy ended(&w.form, &Form1::programEnded);
        QTest::keyClick(w.text, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(!w.form.isVisible());
        QCOMPARE(ended.size(), 1);
    }

    void quicksaveWithoutFileShowsTheSaveDialog()
    {
        Window w;
        QTest::keyClicks(w.text, "x");
        QString title, folder, name;
        QStringList filters;
        bool hidesDetails = false;
        whenModalShows(
            [&](QWidget *dialog) {
                auto *files = qobject_cast<QFileDialog *>(dialog);
                QVERIFY(files);
                folder = files->directory().absolutePath();
                name = files->findChild<QLineEdit *>("fileNameEdit")->text();
                filters = files->nameFilters();
                hidesDetails = files->testOption(QFileDialog::HideNameFilterDetails);
                files->reject();
            },
            &title);
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(title, QString("Save text file"));
        QCOMPARE(filters, QStringList{"*.txt (Textfiles) (*.txt)"});
        QVERIFY(hidesDetails);                 // seen as "*.txt (Textfiles)"
        QCOMPARE(folder, QDir::currentPath()); // no current file: the working directory
        QCOMPARE(name, QString());
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QCOMPARE(qtstd::fileName(w.form.dialog().FileName), QString());
    }

    // What only the window shows of the file questions: Enter never acts, a
    // cancelled real dialog keeps the current file, and a reload that cannot
    // read leaves the text and its undo as they were.
    void fileQuestionsKeepTheText()
    {
        const QString news = path("news.txt");
        writeBytes(news, "old\r\n");
        Window w;
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(qtstd::fileName(w.form.dialog().FileName), news);
        for (const char *button : {"cmd_Save", "cmd_Open"}) {
            whenModalShows([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
            w.form.findChild<QPushButton *>(button)->click();
            QCOMPARE(qtstd::fileName(w.form.dialog().FileName), news);
        }
        QCOMPARE(w.text->toPlainText(), QString("old\n"));
        QTest::keyClick(w.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.text, "!");
        const auto changeFile = [&](const QByteArray &bytes) {
            writeBytes(news, bytes);
            QFile file(news);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(60 + bytes.size()),
                                     QFileDevice::FileModificationTime));
        };
        QStringList seen;
        const auto pressEnter = [&seen](QWidget *box) {
            seen.append(box->objectName());
            QTest::keyClick(box, Qt::Key_Return);
        };
        const auto activate = [&] {
            QEvent activation(QEvent::WindowActivate);
            QApplication::sendEvent(&w.form, &activation);
        };
        changeFile("other\r\n");
        whenModalShows(pressEnter);
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(news), QByteArray("other\r\n"));
        changeFile("another\r\n");
        whenModalShows(pressEnter);
        activate();
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 5000);
        QCOMPARE(seen, (QStringList{"SaveOver", "Reload"}));
        QCOMPARE(w.text->toPlainText(), QString("old\n!"));
        QVERIFY(QFile::remove(news) && QDir(dir.path()).mkdir("news.txt"));
        whenModalShows(pressEnter);
        activate();
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 3, 5000);
        QCOMPARE(seen.last(), QString("NotReloaded"));
        QCOMPARE(w.text->toPlainText(), QString("old\n!"));
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.text->toPlainText(), QString("old\n"));
        QCOMPARE(w.form.windowTitle(), kTitle);
        QVERIFY(QDir(dir.path()).rmdir("news.txt"));
    }

    // Each question before a save says in its title and text why it asks.
    // Letters pasted decomposed save as the code page's composed ones; the
    // text shown becomes what was saved, and one undo takes it back.
    void pastedDecomposedLettersSave()
    {
        Window w;
        const QString pasted = QString::fromUtf16(u"Cafe\u0301\ncre\u0300me");
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(w.text, Qt::Key_V, Qt::ControlModifier);
        w.form.openFile(path("composed.txt")); // not there yet: the text stays
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(path("composed.txt")), QByteArray("Caf\xE9\r\ncr\xE8me"));
        // The save is said, for a screen reader too; the window is a frame
        // named by its title, mark and all.
        QCOMPARE(w.form.findChild<Notice *>()->text(), QString("Saved to composed.txt."));
        QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(&w.form);
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), kTitle);
        auto *mark = w.form.findChild<QLabel *>("MarkSpoken");
        QCOMPARE(QAccessible::queryAccessibleInterface(mark)->role(), QAccessible::Notification);
        QCOMPARE(mark->text(), QString("All changes saved"));
        QCOMPARE(w.form.newsText(), QString::fromUtf16(u"Caf\u00E9\r\ncr\u00E8me"));
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), QString(pasted).replace("\n", "\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QVERIFY(w.text->textCursor().position() >= 4); // at the change, not the top

        // One that cannot be stored at all: after the message it is selected.
        QTest::keyClick(w.text, Qt::Key_Home, Qt::ControlModifier);
        QApplication::clipboard()->setText(QString::fromUtf16(u"\n\n\u4E2D!"));
        QTest::keyClick(w.text, Qt::Key_V, Qt::ControlModifier);
        whenModalShows([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.text->textCursor().selectedText(), QString::fromUtf16(u"\u4E2D"));
        // A refused save composes nothing on screen.
        QCOMPARE(w.form.newsText(),
                 QString::fromUtf16(u"\r\n\r\n\u4E2D!") + QString(pasted).replace("\n", "\r\n"));
    }

    void saveOverQuestionsSayWhy()
    {
        using Why = DiskNews;
        const struct {
            Why why;
            const char *title, *says;
        } rows[] = {
            {Why::Changed, "File changed by another program", "was changed by another program"},
            {Why::NotRead, "File not read", "could not be read when it was opened"},
            {Why::NowLink, "File replaced by a link", "is now a link to /elsewhere/b.txt"},
            {Why::Created, "File created by another program", "another program has made it"},
            {Why::Unreadable, "File cannot be read", "can no longer be read here (/elsewhere"},
        };
        QWidget parent;
        QtRuntimeServices services(&parent, [] {});
        for (const auto &row : rows) {
            QString title, text;
            whenModalShows([&](QWidget *box) {
                title = box->windowTitle();
                text = qobject_cast<QMessageBox *>(box)->text();
                QTest::keyClick(box, Qt::Key_Escape);
            });
            QCOMPARE(services.askSaveOver(u"/news/news.txt", row.why, u"/elsewhere/b.txt"),
                     RuntimeServices::Answer::Cancel);
            QCOMPARE(title, QString(row.title));
            QVERIFY2(text.startsWith("/news/news.txt ") && text.contains(row.says),
                     qPrintable(text));
        }
    }

    // heraldpad -: while the input comes, the text takes no keys and only
    // Exit works; once it ended, the text is the news and takes keys.
    void keysWaitForTheEndOfStandardInput()
    {
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        const int stdinBefore = ::dup(STDIN_FILENO);
        QCOMPARE(::dup2(ends[0], STDIN_FILENO), STDIN_FILENO);
        writeBytes(path("news.txt"), "quick\r\n");
        Window w;
        w.form.readStandardInput();
        QCOMPARE(::write(ends[1], "piped", 5), ssize_t(5));
        QTest::keyClicks(w.text, "x");
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(w.form.newsText(), QString());
        ::close(ends[1]);
        QTRY_COMPARE(w.form.newsText(), QString("piped\r\n"));
        QTest::keyClick(w.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.text, "y");
        QCOMPARE(w.form.newsText(), QString("piped\r\ny"));
        QCOMPARE(::dup2(stdinBefore, STDIN_FILENO), STDIN_FILENO);
        ::close(stdinBefore);
        ::close(ends[0]);

        // Started with standard input closed: told, and the text takes keys.
        Window closed;
        QString told;
        whenModalShows([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); }, &told);
        closed.form.readStandardInput(true);
        QCOMPARE(told, QString("Not opened"));
        QCOMPARE(closed.form.newsText(), qtstd::string(FileCommands::loadErrorText()));
        QTest::keyClick(closed.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(closed.text, "z");
        QCOMPARE(closed.form.newsText(), qtstd::string(FileCommands::loadErrorText()) + "z");
    }

    void closingAsksLikeExit()
    {
        Window w;
        w.form.close(); // clean: closes without asking
        QVERIFY(!w.form.isVisible());

        Window u;
        QTest::keyClicks(u.text, "x");
        QString title;
        whenModalShows(
            [](QWidget *box) {
                pressButton(box, QMessageBox::Yes);
                whenModalShows([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
            },
            &title);
        QVERIFY(!u.form.close()); // Yes, then the save dialog cancelled: stays open
        QCOMPARE(title, QString("SecureSave"));
        QVERIFY(u.form.isVisible());

        // Escape or the prompt's own close button: not now. Nothing is lost.
        const std::function<void(QWidget *)> dismissals[] = {
            [](QWidget *box) { QTest::keyClick(box, Qt::Key_Escape); },
            [](QWidget *box) { box->close(); },
        };
        for (const auto &dismiss : dismissals) {
            whenModalShows(dismiss);
            QVERIFY(!u.form.close());
            QVERIFY(u.form.isVisible());
            whenModalShows(dismiss);
            QTest::keyClick(u.text, Qt::Key_E, Qt::ControlModifier);
            QVERIFY(u.form.isVisible());
            QCOMPARE(u.form.newsText(), QString("x"));
        }

        QString prompt;
        whenModalShows([&prompt](QWidget *box) {
            prompt = qobject_cast<QMessageBox *>(box)->text();
            QCOMPARE(qobject_cast<QMessageBox *>(box)->defaultButton(),
                     qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes));
            QCOMPARE(qobject_cast<QMessageBox *>(box)->icon(), QMessageBox::NoIcon);
            pressButton(box, QMessageBox::No);
        });
        QVERIFY(u.form.close());
        QCOMPARE(prompt,
                 QString("Would you like to save your changes before exiting the application?"));
    }

    void exitDoesNotAskTwice()
    {
        Window w;
        QTest::keyClicks(w.text, "x");
        int asked = 0;
        whenModalShows([&asked](QWidget *box) {
            ++asked;
            pressButton(box, QMessageBox::No);
        });
        QTest::mouseClick(w.form.findChild<QPushButton *>("cmd_Exit"), Qt::LeftButton);
        QVERIFY(!w.form.isVisible());
        QCOMPARE(asked, 1);
    }

    void resizeSnapsBack()
    {
        Window w;
        w.form.resize(700, 600);
        QCOMPARE(w.form.size(), QSize(532, 490));
        // Leaving the maximised state brings the fixed size back, also when
        // the window system sends no resize with it.
        w.form.showMaximized();
        QTRY_VERIFY(w.form.size() != QSize(532, 490));
        w.form.overrideWindowState(Qt::WindowNoState);
        QCOMPARE(w.form.size(), QSize(532, 490));

        QVERIFY(WindowGeometry::mustRestoreSize(Qt::WindowNoState, {700, 600}, {532, 490}));
        QVERIFY(!WindowGeometry::mustRestoreSize(Qt::WindowNoState, {532, 490}, {532, 490}));
        QVERIFY(!WindowGeometry::mustRestoreSize(Qt::WindowMaximized, {900, 700}, {532, 490}));
        QVERIFY(!WindowGeometry::mustRestoreSize(Qt::WindowMinimized, {0, 0}, {532, 490}));
        QCOMPARE(WindowGeometry::centredTopLeft({0, 0, 1024, 768}, {532, 490}), QPoint(246, 139));
        QCOMPARE(WindowGeometry::centredTopLeft({0, 30, 1920, 1050}, {545, 521}), QPoint(688, 295));

        // The Find window, 300 x 150 at 400,300 on a 1024 x 768 screen, and a match.
        const QRect find(400, 300, 300, 150), screen(0, 0, 1024, 768);
        QCOMPARE(WindowGeometry::clearOf(find, {100, 200, 50, 15}, screen), QPoint(400, 300));
        QCOMPARE(WindowGeometry::clearOf(find, {450, 320, 50, 15}, screen), QPoint(400, 343));
        QCOMPARE(WindowGeometry::clearOf(find.translated(0, 300), {450, 700, 50, 15}, screen),
                 QPoint(400, 542)); // no room below
    }

    void textPropertyCarriesEveryCharacter()
    {
        Window w;
        const QString text =
            "a" + kNbsp + "b\r\n" + QString(QChar(0)) + "\r\n\r\n" + QString(QChar(0x81)) + "end";
        w.form.setNewsText(text);
        QCOMPARE(w.form.newsText(), text);
        QCOMPARE(w.form.textLength(), text.size());
        // Read back from the text area itself, not from what was handed to it.
        QTest::keyClick(w.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.text, "x");
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.newsText(), text);
        for (const QString &t : {QString(), QString("\r\n"), QString("x\r\n\r\ny")}) {
            w.form.setNewsText(t);
            QCOMPARE(w.form.textLength(), t.size());
        }
        // A lone CR becomes a line break in the text area: the text says so.
        w.form.setNewsText("a\rb");
        QCOMPARE(w.form.newsText(), QString("a\r\nb"));
        QCOMPARE(w.form.textLength(), 4);
    }

    void largeLoadKeepsEveryByteAndTheCaret()
    {
        // Every byte but CR and LF, in a file loaded in several slices.
        QByteArray line;
        for (int b = 0; b < 256; ++b)
            line.append(b == '\r' || b == '\n' ? ' ' : char(b));
        const QByteArray file = (line + "\r\n").repeated(40000);
        writeBytes(path("news.txt"), file);
        Window w;
        w.form.setNewsText("before");
        w.text->moveCursor(QTextCursor::End);
        w.form.document().MarkClean();
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(w.text->textCursor().position(), 0);
        QVERIFY(!w.form.document().Unsaved());
        QCOMPARE(w.form.textLength(), file.size());
        QTest::keyClicks(w.text, "x");
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form.textLength(), file.size()); // the load itself is not undone
        // Copied out a slice at a time, as a very long text is for a save.
        QList<qint64> told;
        const QString sliced =
            w.text->newsText([&told](qint64 done, qint64) { told.append(done); }, 0);
        QVERIFY(sliced == decoded(CodePage::get(1252), file));
        QVERIFY(told.size() >= 10 && std::is_sorted(told.begin(), told.end()));
        QFile::remove(path("news.txt"));
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(path("news.txt")), file);
    }

    void shiftEnterIsAnOrdinaryLineBreak()
    {
        Window w;
        QTest::keyClicks(w.text, "a");
        QTest::keyClick(w.text, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(w.text, "b");
        QCOMPARE(w.form.newsText(), QString("a\r\nb"));
    }

    void cutAndPasteKeepNonBreakingSpaces()
    {
        Window w;
        const QString paragraph = "one" + kNbsp + "two\r\n";
        w.form.setNewsText(paragraph + "rest\r\n");
        QTextCursor cursor = w.text->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
        w.text->setTextCursor(cursor);
        w.text->cut();
        QCOMPARE(w.form.newsText(), QString("rest\r\n"));
        QCOMPARE(QApplication::clipboard()->text(), "one" + kNbsp + "two\n");
        w.text->moveCursor(QTextCursor::End);
        w.text->paste();
        QCOMPARE(w.form.newsText(), "rest\r\n" + paragraph);

        // A large paste from another program, with Windows line ends.
        const QString big = QString("x" + kNbsp + "y\r\n").repeated(250000);
        QApplication::clipboard()->setText(big);
        w.form.setNewsText(QString());
        w.text->paste();
        QCOMPARE(w.form.newsText(), big);
        QVERIFY(w.form.document().Unsaved());
    }

    void oddFilesLoadAndSaveBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected");
        QFile self(QCoreApplication::applicationFilePath());
        QVERIFY(self.open(QIODevice::ReadOnly));
        const QByteArray program = self.readAll();
        QTest::newRow("a program") << program << referenceLineEnds(program);
        QTest::newRow("only line ends")
            << QByteArray("\r\n").repeated(100000) << QByteArray("\r\n").repeated(100000);
        QTest::newRow("one long line") << QByteArray("news ").repeated(400000)
                                       << QByteArray("news ").repeated(400000) + "\r\n";
        QTest::newRow("lone LF, then CR LF") << QByteArray("a\nb\r\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone CR, then CR LF") << QByteArray("a\rb\r\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("tabs, NUL, NBSP") << QByteArray("\tA\xA0"
                                                       "b\0c\r\n\t\r\n",
                                                       11)
                                         << QByteArray("\tA\xA0"
                                                       "b\0c\r\n\t\r\n",
                                                       11);
    }
    void oddFilesLoadAndSaveBack()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        writeBytes(path("news.txt"), file);
        Window w;
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        const QByteArray &normalised = expected;
        QCOMPARE(w.form.textLength(), normalised.size());
        QVERIFY(!w.form.document().Unsaved());
        QTest::keyClick(w.text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(w.text, "x");
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
        QTest::keyClick(w.text, Qt::Key_Backspace);
        QCOMPARE(w.form.windowTitle(), kTitle);
        QTest::keyClick(w.text, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(readBytes(path("news.txt")) == normalised);
    }

    // A file's second pairs through keys in the text area: a character
    // deleted and the deletion undone, a letter typed before another one;
    // then a typed one. The bytes written out by hand.
    void secondPairsThroughKeysAndUndo()
    {
        // 髙橋 with EE E0 for 髙, then 纊 as ED 40 (Windows writes FB FC, FA 5C).
        writeBytes(path("news.txt"), QByteArray::fromHex("EEE08BB40D0AED400D0A"));
        Form1 form(CodePage::get(932));
        form.Form_Load();
        form.show();
        auto *text = form.findChild<NewsTextEdit *>("Text");
        text->setFocus();
        QTest::keyClick(text, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Delete);
        QCOMPARE(form.newsText(), QString::fromUtf16(u"\u6A4B\r\n\u7E8A\r\n"));
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_Down);
        QTest::keyClick(text, Qt::Key_Home);
        QTest::keyClicks(text, "x");
        QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(path("news.txt")).toHex(' '),
                 QByteArray::fromHex("EEE08BB40D0A 78ED400D0A").toHex(' '));
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        // As an input method or a keyboard layout of the language types it.
        QTest::sendKeyEvent(QTest::Press, text, Qt::Key_unknown, QString::fromUtf16(u"\u9AD9"),
                            Qt::NoModifier);
        QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(readBytes(path("news.txt")).toHex(' '),
                 QByteArray::fromHex("EEE08BB40D0A 78ED400D0A FBFC").toHex(' '));
    }

    // Progress shows only for long work, without taking the focus or making
    // anything modal; the text area is painted again afterwards.
    void progressShowsOnlyForLongWork()
    {
        Window w;
        QtRuntimeServices services(&w.form, [] {});
        services.holdWhileWorking(w.text);
        const auto shown = [&w] {
            auto *window = w.form.findChild<QWidget *>("Progress");
            return window && window->isVisible();
        };
        services.beginWork(u"Loading news.txt");
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(!w.text->updatesEnabled());
        QVERIFY(w.form.updatesEnabled()); // the window itself is never held
        services.workProgress(1, 2);
        QVERIFY(!shown());
        services.endWork();
        QVERIFY(w.text->updatesEnabled());
        QVERIFY(!QApplication::overrideCursor());

        services.beginWork(u"Loading news.txt");
        QThread::msleep(QtRuntimeServices::kProgressAfterMs + 20);
        services.workProgress(1, 2);
        QVERIFY(shown());
        QCOMPARE(w.form.findChild<QProgressBar *>()->value(), 500);
        QVERIFY(!QApplication::activeModalWidget());
        services.endWork();
        QVERIFY(!shown());
        QVERIFY(w.text->updatesEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    // After a command started by a button or picture, once its dialogs are
    // closed, typed keys go to the text.
    void keysGoToTheTextAfterACommand_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("dialog"); // what is done in it: "cancel", "save"
        QTest::newRow("Load, cancelled") << "cmd_Open"
                                         << "cancel";
        QTest::newRow("Save as, saved") << "cmd_Save"
                                        << "save";
        QTest::newRow("Save as, cancelled") << "cmd_Save"
                                            << "cancel";
        QTest::newRow("Quickload") << "Image1"
                                   << "";
        QTest::newRow("Quicksave, no file yet") << "Image2"
                                                << "cancel";
        QTest::newRow("Exit, prompt dismissed") << "cmd_Exit"
                                                << "cancel";
    }
    void keysGoToTheTextAfterACommand()
    {
        QFETCH(QString, control);
        QFETCH(QString, dialog);
        Window w;
        if (control != "Image1")
            QTest::keyClicks(w.text, "news ");
        auto *button = w.form.findChild<QAbstractButton *>(control);
        QVERIFY(button);
        if (!dialog.isEmpty()) {
            const QString target = path("saved as.txt");
            whenModalShows([dialog, target](QWidget *modal) {
                auto *files = qobject_cast<QFileDialog *>(modal);
                if (dialog == "save" && files) {
                    files->selectFile(target);
                    static_cast<QDialog *>(files)->accept();
                } else {
                    QTest::keyClick(modal, Qt::Key_Escape);
                }
            });
        }
        button->setFocus(Qt::TabFocusReason);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(w.form.isVisible());
        // The control that takes the keys once the window is active again.
        QWidget *focused = w.form.focusWidget();
        QVERIFY(focused);
        QTest::keyClicks(focused, "abc def");
        QVERIFY2(w.form.newsText().contains("abc def"), qPrintable(w.form.newsText()));
    }

    // With a current file, Load and Save as open in its folder with its name
    // filled in: Enter and Yes save to it; Escape keeps it the current file.
    void fileDialogsOfferTheCurrentFile()
    {
        QVERIFY(QDir(dir.path()).mkpath("desk"));
        const QString file = path("desk/today.txt");
        writeBytes(file, "old\r\n");
        Window w;
        w.form.openFile(file);
        QTest::keyClicks(w.text, "new ");
        QString folder, name, asked;
        whenModalShows([&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(files);
            folder = files->directory().absolutePath();
            auto *field = files->findChild<QLineEdit *>("fileNameEdit");
            name = field->text();
            whenModalShows([&asked](QWidget *box) {
                asked = box->windowTitle();
                pressButton(box, QMessageBox::Yes);
            });
            QTest::keyClick(field, Qt::Key_Return);
        });
        QTest::mouseClick(w.form.findChild<QPushButton *>("cmd_Save"), Qt::LeftButton);
        QCOMPARE(folder, path("desk"));
        QCOMPARE(name, QString("today.txt"));
        QVERIFY(!asked.isEmpty()); // the overwrite question
        QCOMPARE(readBytes(file), QByteArray("new old\r\n"));
        QCOMPARE(w.form.windowTitle(), kTitle);

        whenModalShows([&](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(files);
            folder = files->directory().absolutePath();
            name = files->findChild<QLineEdit *>("fileNameEdit")->text();
            QTest::keyClick(files, Qt::Key_Escape);
        });
        QTest::mouseClick(w.form.findChild<QPushButton *>("cmd_Open"), Qt::LeftButton);
        QCOMPARE(folder, path("desk"));
        QCOMPARE(name, QString("today.txt"));
        QCOMPARE(qtstd::fileName(w.form.dialog().FileName), file);
    }

    // A notice needs no answer: shown near the text area without taking the
    // focus, read by a screen reader as a notification, gone at the next key
    // (which still types) or after a few seconds.
    void noticeNeedsNoAnswer()
    {
        Window w;
        auto *notice = w.form.findChild<Notice *>();
        QVERIFY(notice);
        QTRY_COMPARE(QApplication::focusWidget(), w.text);
        notice->tell("Something happened.");
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QString("Something happened."));
        QCOMPARE(QApplication::focusWidget(), w.text);
        QVERIFY(w.text->geometry().contains(notice->geometry()));
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(notice);
        QVERIFY(spoken);
        QCOMPARE(spoken->role(), QAccessible::Notification);
        QCOMPARE(spoken->text(QAccessible::Name), QString("Something happened."));
        QTest::keyClicks(w.text, "a");
        QVERIFY(!notice->isVisible());
        QCOMPARE(w.form.newsText(), QString("a"));
        // A second message while one shows is shown anew, so that a screen
        // reader speaks it too.
        int shown = 0;
        EventCounter counter(notice, QEvent::Show, shown);
        notice->tell("Once more.");
        notice->tell("And again.");
        QCOMPARE(shown, 2);
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), Notice::kShownMs + 3000);
        QCOMPARE(w.form.windowTitle(), kTitle + "*");
    }

    // Another program changed the loaded file: the reload keeps the caret's
    // line and column and the first line in view, and says so.
    void reloadKeepsThePlace_data()
    {
        QTest::addColumn<QByteArray>("theirs"); // the file they write
        QTest::addColumn<bool>("typed");        // "x" typed at the caret first: Reload asked
        QTest::addColumn<int>("from");          // the caret's line, at its fourth character
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("sameView");
        const QByteArray lines = QByteArray("Relay station news of the day\r\n").repeated(2000);
        QTest::newRow("a line appended") << lines + "appended\r\n"
                                         << false << 1500 << 1500 << 3 << true;
        QTest::newRow("at the top") << lines + "appended\r\n" << false << 0 << 0 << 3 << true;
        QTest::newRow("on the bottom row") << lines + "appended\r\n"
                                           << false << 2000 << 2000 << 0 << true;
        QTest::newRow("unsaved, Reload chosen") << lines + "x\r\n"
                                                << true << 1500 << 1500 << 4 << true;
        QTest::newRow("shortened")
            << QByteArray("short\r\n").repeated(100) << false << 1500 << 100 << 0 << false;
        // Lines of many wrapped rows: the view keeps its row, not only its line.
        // (-1: where the caret was.)
        QTest::newRow("wrapped lines")
            << QByteArray("wrapped") << false << 1990 << -1 << -1 << true;
    }
    void reloadKeepsThePlace()
    {
        QFETCH(QByteArray, theirs);
        QFETCH(bool, typed);
        QFETCH(int, from);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(bool, sameView);
        const bool wrapped = theirs == "wrapped";
        const QByteArray ours =
            wrapped ? QByteArray("Relay station news of the day, told at "
                                 "length so that it wraps. ")
                          .repeated(8)
                          .append("\r\n")
                          .repeated(2000)
                    : QByteArray("Relay station news of the day\r\n").repeated(2000);
        if (wrapped)
            theirs = ours + "appended\r\n";
        writeBytes(path("news.txt"), ours);
        Window w;
        QTest::keyClick(w.text, Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(w.text, from ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
        for (int i = from ? from : 2000; i < 2000; ++i)
            QTest::keyClick(w.text, Qt::Key_Up);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w.text, Qt::Key_Right);
        if (typed)
            QTest::keyClicks(w.text, "x");
        // The character at the view's top left: its line and its wrapped row.
        const auto topLine = [&w] { return w.text->cursorForPosition({2, 2}).position(); };
        if (wrapped) // the caret well inside the view, the top inside a line
            w.text->verticalScrollBar()->setValue(w.text->verticalScrollBar()->value() + 3);
        const int top = topLine();
        const QTextCursor before = w.text->textCursor();
        if (line < 0) {
            line = before.blockNumber();
            column = before.positionInBlock();
        }
        writeBytes(path("news.txt"), theirs);
        if (typed)
            whenModalShows([](QWidget *box) {
                for (QAbstractButton *b : qobject_cast<QMessageBox *>(box)->buttons())
                    if (b->text() == "&Reload")
                        b->click();
            });
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(&w.form, &activated);
        QTRY_COMPARE(w.form.textLength(), theirs.size());
        QCOMPARE(w.form.windowTitle(), kTitle);
        const QTextCursor caret = w.text->textCursor();
        QCOMPARE(caret.blockNumber(), line);
        QCOMPARE(caret.positionInBlock(), column);
        QVERIFY(!caret.hasSelection());
        QVERIFY(w.text->viewport()->rect().contains(w.text->cursorRect()));
        if (sameView)
            QCOMPARE(topLine(), top);
        auto *notice = w.form.findChild<Notice *>();
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QString("Reloaded from news.txt, which another program changed."));
        const QRect row =
            w.text->cursorRect().translated(w.text->viewport()->mapTo(&w.form, QPoint()));
        // Its line, the whole width: the notice may not lie over any of it.
        const QRect shown = notice->geometry();
        QVERIFY2(shown.bottom() < row.top() || shown.top() > row.bottom(),
                 "the notice covers the caret");
    }

    void qtFilterFromTheCommandsFilter()
    {
        QCOMPARE(qtNameFilters("*.txt (Textfiles)|*.txt"),
                 QStringList{"*.txt (Textfiles) (*.txt)"});
        QCOMPARE(qtNameFilters("A|*.a|B|*.b"), QStringList({"A (*.a)", "B (*.b)"}));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
