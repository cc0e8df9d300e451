#include "qtruntimeservices.h"

#include "progresswindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <utility>

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

RuntimeServices::Answer QtRuntimeServices::askYesNo(std::u16string_view prompt,
                                                    std::u16string_view title)
{
    QuestionBox box(QMessageBox::NoIcon, qtstd::string(title), qtstd::string(prompt),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
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

std::filesystem::path QtRuntimeServices::currentDir() const
{
    return qtstd::path(QDir::currentPath());
}

void QtRuntimeServices::showSaveFailure(std::u16string_view file, std::u16string_view reason)
{
    QMessageBox box(QMessageBox::Warning, tr("Save failed"),
                    tr("The news could not be saved to %1.\n\n%2\n\n"
                       "The text is still here, unsaved.")
                        .arg(qtstd::string(file), qtstd::string(reason)),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("SaveFailure"));
    box.exec();
}

RuntimeServices::Answer QtRuntimeServices::askToAct(const QString &name, const QString &title,
                                                    const QString &text, const QString &act,
                                                    const QString &keep)
{
    QuestionBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, m_parent);
    box.setObjectName(name);
    QPushButton *acts = box.addButton(act, QMessageBox::AcceptRole);
    QPushButton *keeps = box.addButton(keep, QMessageBox::RejectRole);
    box.setDefaultButton(keeps);
    box.setEscapeButton(keeps);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == acts ? Answer::Yes : Answer::Cancel;
}

RuntimeServices::Answer QtRuntimeServices::askSaveOver(std::u16string_view shown, DiskNews why,
                                                       std::u16string_view said)
{
    const QString file = qtstd::string(shown);
    const QString detail = qtstd::string(said);
    QString title, text;
    switch (why) {
    case DiskNews::Changed:
        title = tr("File changed by another program");
        text = tr("%1 was changed by another program since it was loaded or saved here.\n\n"
                  "Save over it with the text shown here? What the other program wrote there is "
                  "then lost.")
                   .arg(file);
        break;
    case DiskNews::NotRead:
        title = tr("File not read");
        text = tr("%1 could not be read when it was opened.\n\nSave the text shown here "
                  "into it? Whatever it holds now is replaced.")
                   .arg(file);
        break;
    case DiskNews::NowLink:
        title = tr("File replaced by a link");
        text = tr("%1 is now a link to %2.\n\nSave over it? The text shown here then "
                  "goes into %2.")
                   .arg(file, detail);
        break;
    case DiskNews::Created:
        title = tr("File created by another program");
        text = tr("%1 was not there when the editor looked, and another program has made it "
                  "since.\n\nSave over it with the text shown here? What the other program "
                  "wrote there is then lost.")
                   .arg(file);
        break;
    case DiskNews::Unreadable:
    // (Not asked about: nothing changed, the save makes it again, or it fails.)
    case DiskNews::Nothing:
    case DiskNews::Deleted:
    case DiskNews::Unknown:
        title = tr("File cannot be read");
        text = tr("%1 can no longer be read here (%2), so whether another program changed it "
                  "cannot be told.\n\nSave over it with the text shown here? Whatever it holds "
                  "now is then replaced.")
                   .arg(file, detail);
        break;
    }
    return askToAct(QStringLiteral("SaveOver"), title, text, tr("&Save over it"), tr("Cancel"));
}

RuntimeServices::Answer QtRuntimeServices::askReload(std::u16string_view file)
{
    return askToAct(QStringLiteral("Reload"), tr("File changed by another program"),
                    tr("%1 was changed by another program.\n\nReload it? The unsaved text "
                       "shown here is then thrown away.")
                        .arg(qtstd::string(file)),
                    tr("&Reload"), tr("&Keep my text"));
}

RuntimeServices::Answer QtRuntimeServices::askReloadFromLink(std::u16string_view file,
                                                             std::u16string_view linkTarget,
                                                             bool unsaved)
{
    const QString target = qtstd::string(linkTarget);
    return askToAct(
        QStringLiteral("ReloadFromLink"), tr("File replaced by a link"),
        tr("%1 is now a link to %2. Reload from it?\n\n%3Saving then writes "
           "into %2.")
            .arg(qtstd::string(file), target,
                 unsaved ? tr("The unsaved text shown here is then thrown away. ") : QString()),
        tr("&Reload from it"), tr("&No"));
}

void QtRuntimeServices::showLoadFailure(std::u16string_view source, std::u16string_view reason)
{
    QMessageBox box(QMessageBox::Warning, tr("Not opened"),
                    tr("The news could not be read from %1.\n\n%2")
                        .arg(qtstd::string(source), qtstd::string(reason)),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("LoadFailure"));
    box.exec();
}

void QtRuntimeServices::tellDeleted(std::u16string_view file)
{
    QMessageBox box(QMessageBox::Information, tr("File deleted by another program"),
                    tr("%1 was deleted by another program.\n\nThe text shown here stays; "
                       "saving writes the file again.")
                        .arg(qtstd::string(file)),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("Deleted"));
    box.exec();
}

void QtRuntimeServices::tellNotReloaded(std::u16string_view what)
{
    QMessageBox box(QMessageBox::Warning, tr("File not reloaded"),
                    tr("%1\n\nThe text shown here stays as it was.").arg(qtstd::string(what)),
                    QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("NotReloaded"));
    box.exec();
}

QtRuntimeServices::QtRuntimeServices(QWidget *parent, std::function<void()> endProgram)
    : m_parent(parent), m_endProgram(std::move(endProgram))
{
    m_showProgress.setSingleShot(true);
    m_showProgress.setInterval(kProgressAfterMs);
    m_showProgress.callOnTimeout([this] {
        if (m_progress || !m_workTime.isValid())
            return;
        m_progress = std::make_unique<ProgressWindow>(m_work, m_parent);
        m_progress->show();
        m_progress->setProgress(m_waited, -1);
    });
}

QtRuntimeServices::~QtRuntimeServices() = default;

void QtRuntimeServices::beginWaiting(std::u16string_view what)
{
    m_work = qtstd::string(what);
    m_workTime.start();
    m_waiting = true;
    m_waited = 0;
    m_showProgress.start();
}

void QtRuntimeServices::beginWork(std::u16string_view what)
{
    m_work = qtstd::string(what);
    m_workTime.start();
    m_waiting = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The text area is painted again once the work is done, not while its
    // text is half there: laying out a very long line for that costs seconds.
    // Only the text area: a window whose painting is held while another
    // window of the program is active may not be painted again at all.
    if (m_heldWhileWorking)
        m_heldWhileWorking->setUpdatesEnabled(false);
}

void QtRuntimeServices::workProgress(std::int64_t done, std::int64_t total)
{
    if (total < 0)
        m_waited = done;
    if (!m_progress) {
        if (!m_workTime.isValid() || m_workTime.elapsed() < kProgressAfterMs)
            return;
        m_progress = std::make_unique<ProgressWindow>(m_work, m_parent);
        m_progress->show();
    }
    m_progress->setProgress(done, total);
}

void QtRuntimeServices::endWork()
{
    m_workTime.invalidate();
    m_showProgress.stop();
    m_progress.reset();
    if (std::exchange(m_waiting, false))
        return;
    QApplication::restoreOverrideCursor();
    if (m_heldWhileWorking)
        m_heldWhileWorking->setUpdatesEnabled(true);
}
