#include "qtruntimeservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

bool QtRuntimeServices::AskYesNo(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setObjectName(QStringLiteral("SecureSave"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
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
