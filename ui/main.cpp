#include "form1.h"
#include "codepage.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbitane Heraldpad"));
    QApplication::setApplicationVersion(QStringLiteral(HERALDPAD_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.orbitane.heraldpad"));

    // Without a faithful converter every save could change bytes: refuse to start.
    // One code page for the whole run: the system's, chosen at start.
    const CodePage &codePage = CodePage::get(systemCodePage());
    const QString codecProblem = codePage.problem();
    if (!codecProblem.isEmpty()) {
        std::fprintf(stderr, "heraldpad: %s\n", qPrintable(codecProblem));
        QMessageBox::critical(
            nullptr, Form1::plainTitle(),
            codecProblem + QLatin1String("\n\n") +
                QApplication::translate("main", "News text files cannot be read or written "
                                                "safely, so the editor does not start."));
        return 1;
    }

    Form1::useWindowFont();
    Form1 form(codePage);
    QObject::connect(&form, &Form1::programEnded, &app, [] { QCoreApplication::exit(0); });
    form.Form_Load();
    form.show();
    return app.exec();
}
