#include "qtruntimeservices.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>

namespace {
// A Yes/No box that Escape and the frame's close button dismiss without an
// answer. (QMessageBox would take either of them as No.)
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            reject();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        reject();
        event->accept();
    }
};
} // namespace

RuntimeServices::Answer QtRuntimeServices::AskYesNo(const QString &prompt, const QString &title)
{
    QuestionBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setObjectName(QStringLiteral("SecureSave"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

QString QtRuntimeServices::CurrentDir() const
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

void QtRuntimeServices::ShowSaveFailure(const QString &fileName, const QString &reason)
{
    QMessageBox box(QMessageBox::Warning,
                    QCoreApplication::translate("QtRuntimeServices", "Save failed"),
                    QCoreApplication::translate("QtRuntimeServices",
                                                "The news could not be saved to %1.\n\n%2\n\n"
                                                "The text is still here, unsaved.")
                        .arg(QDir::toNativeSeparators(fileName), reason),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("SaveFailure"));
    box.exec();
}
