#include "qtfiledialog.h"

#include "stdstrings.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(parts[i] + QLatin1String(" (") + parts[i + 1] + u')');
    return filters;
}

bool QtFileDialog::ShowOpen()
{
    return show(false);
}

bool QtFileDialog::ShowSave()
{
    return show(true);
}

bool QtFileDialog::show(bool save)
{
    // The current file, when there is one: its folder, its name in the name
    // field, so that Enter saves to it; else the initial folder.
    const QFileInfo current(qtstd::fileName(FileName));
    QFileDialog dialog(m_parent, qtstd::string(DialogTitle),
                       FileName.empty() ? qtstd::fileName(InitDir) : current.absolutePath());
    dialog.setObjectName(QStringLiteral("Dialog1"));
    dialog.setNameFilters(qtNameFilters(qtstd::string(Filter)));
    // Shown as its description alone: "*.txt (Textfiles)".
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A typed name of a missing file is taken too; opening it then fails.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (save)
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Flags & OverwritePrompt));
    if (!FileName.empty())
        dialog.selectFile(current.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = qtstd::path(dialog.selectedFiles().constFirst());
    return true;
}
