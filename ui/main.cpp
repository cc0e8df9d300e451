#include "codepage.h"
#include "form1.h"
#include "spelling.h"
#include "systemlocale.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {
// What the command line asks for: the files named, or an exit code when the
// program is to end at once (after --help, --version or a wrong option).
struct CommandLine {
    QStringList files;
    QByteArray unnamable; // the first file's name, when the character set cannot read it
    int exitCode = -1;
};

// Read before the window system is reached, so that --help and --version
// work without a display.
CommandLine readCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tool for creating news for Novaglide"));
    // Only what works without a display and prints and ends: no --help-all,
    // whose options of the toolkit this line does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 Form1::tr("The news file to open (one that is not there yet "
                                           "is created by the first save), or - to read the "
                                           "news from standard input."),
                                 QStringLiteral("[file]"));
    CommandLine line;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "heraldpad: %s\nTry 'heraldpad --help'.\n",
                     qPrintable(parser.errorText()));
        line.exitCode = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText().replace(QLatin1String("<executable_name>"),
                                                        QLatin1String("heraldpad"))),
                   stdout);
        line.exitCode = 0;
    } else if (parser.isSet(version)) {
        std::printf("heraldpad %s\n", HERALDPAD_VERSION);
        line.exitCode = 0;
    }
    line.files = parser.positionalArguments();
    // A name the character set cannot read comes back as other bytes: a
    // file of that name is not the one named.
    if (!line.files.isEmpty()) {
        const QByteArray name = QFile::encodeName(line.files.first());
        if (std::none_of(argv, argv + argc, [&name](const char *raw) { return name == raw; })) {
            for (int i = 1; i < argc && line.unnamable.isEmpty(); ++i)
                if (QFile::encodeName(QFile::decodeName(argv[i])) != argv[i])
                    line.unnamable = argv[i];
        }
    }
    // The window holds one text.
    for (qsizetype i = 1; i < line.files.size() && line.exitCode < 0; ++i)
        std::fprintf(stderr, "heraldpad: %s not opened: one text per window\n",
                     qPrintable(line.files[i]));
    return line;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Orbitane Heraldpad"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HERALDPAD_VERSION));
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitCode >= 0)
        return commandLine.exitCode;

    // Standard input closed (heraldpad - <&-): its descriptor is held by
    // /dev/null before the window system's connection could take it and be
    // read as the news.
    const bool inputClosed = commandLine.files.value(0) == QLatin1String("-") &&
                             ::fcntl(STDIN_FILENO, F_GETFD) < 0 &&
                             ::open("/dev/null", O_RDONLY) == STDIN_FILENO;
    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("org.orbitane.heraldpad"));

    // The writer's locale, read once: the code page of the news files and
    // the language of the spelling.
    const LocaleName locale = systemLocale();
    // One code page for the whole run: the system's, chosen at start.
    const CodePage &codePage = CodePage::get(systemCodePage(locale));

    Form1::useWindowFont();
    // Outlives the window that marks with it.
    std::unique_ptr<SpellChecker> spelling;
    Form1 form(codePage);
    QObject::connect(&form, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    form.Form_Load();
    const QString file = commandLine.files.value(0);
    if (file == QLatin1String("-")) {
#ifdef Q_OS_UNIX
        if (isatty(STDIN_FILENO))
            std::fputs("Reading the news from standard input (Ctrl+D ends it)\n", stderr);
#endif
    }
    form.show();
    // The dictionary is read once the window shows, not before.
    QTimer::singleShot(0, &form, [&form, &spelling, locale] {
        spelling = SpellChecker::forLocale(locale);
        form.useSpelling(spelling.get(), Form1::noDictionaryText(locale));
    });
    // Read while the window shows: a pipe may take its time.
    if (file == QLatin1String("-"))
        form.readStandardInput(inputClosed);
    else if (!commandLine.unnamable.isEmpty())
        form.openUnnamable(commandLine.unnamable);
    else if (!file.isEmpty())
        form.openFile(file);
    return app.exec();
}
