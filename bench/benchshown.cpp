#include "benchshown.h"

#include "benchsupport.h"
#include "form1.h"
#include "newstextedit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {
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
} // namespace

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
